#include "office/xlsxout.h"

#include "office/messages.h"

using namespace Qt::StringLiterals;

namespace shenbao::office {

FileResult<void> writeXlsx(const QString& out,
                           const std::function<Expected<void, QString>(lxw_workbook*)>& fill)
{
    const RunFolder scratch(u"xdxtool"_s);
    if (!scratch.path())
        return fileFailure(FileError::system(msg::xlsxFailed(scratch.path().error().why())));
    const QString temporary = *scratch.path() + u"/book.xlsx"_s;
    lxw_workbook* book = workbook_new(pathToSystem(temporary).constData());
    if (!book)
        return fileFailure(FileError::system(
            msg::xlsxFailed(QString::fromUtf8(lxw_strerror(LXW_ERROR_CREATING_XLSX_FILE)))));
    const Expected<void, QString> filled = fill(book);
    const lxw_error closed = workbook_close(book); // frees it, written or not
    if (!filled)
        return fileFailure(FileError::system(filled.error()));
    if (closed != LXW_NO_ERROR)
        return fileFailure(FileError::system(msg::xlsxFailed(QString::fromUtf8(lxw_strerror(closed)))));
    return replaceFileWith(out, [&](QIODevice& device, QString* why) {
        bool wrote = true;
        const FileResult<void> copied =
            readRegularFileInPieces(temporary, qint64(1) << 32, 1 << 20, [&](QByteArrayView piece) {
                wrote = device.write(piece.data(), piece.size()) == piece.size();
                return wrote;
            });
        if (!copied) {
            *why = msg::xlsxFailed(copied.error().why());
            return false;
        }
        return wrote; // else the device's failure is the reason
    });
}

} // namespace shenbao::office
