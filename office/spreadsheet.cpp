#include "office/spreadsheet.h"

#include "office/csvreader.h"
#include "office/messages.h"
#include "office/workbookreader.h"

namespace shenbao::office {
namespace {

QString suffixOf(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1).toLower();
}

} // namespace

bool isSpreadsheet(const QString& path)
{
    const QString suffix = suffixOf(path);
    return suffix == u"csv" || suffix == u"xlsx";
}

Expected<void, QString>
readSpreadsheetRows(const QString& path, int columns, qsizetype longest,
                    const std::function<bool(qsizetype row, const QStringList& cells)>& take)
{
    if (!isSpreadsheet(path))
        return unexpected(msg::notASpreadsheet());
    if (suffixOf(path) == u"csv")
        return readCsvRows(path, columns, longest, take);
    return readWorkbookRows(path, columns, longest, take);
}

Expected<SpreadsheetRows, QString> readSpreadsheet(const QString& path, int columns, qsizetype longest)
{
    SpreadsheetRows rows;
    const Expected<void, QString> read =
        readSpreadsheetRows(path, columns, longest, [&](qsizetype row, const QStringList& cells) {
            for (const QString& c : cells)
                if (!c.trimmed().isEmpty()) {
                    rows.emplace(row, cells);
                    break;
                }
            return true;
        });
    if (!read)
        return unexpected(read.error());
    return rows;
}

} // namespace shenbao::office
