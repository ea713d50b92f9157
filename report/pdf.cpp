#include "report/pdf.h"

#include "files/files.h"
#include "report/fillreport.h"
#include "report/messages.h"
#include "report/paint.h"
#include "report/textlayout.h"

#include <QBuffer>
#include <QDir>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace shenbao {
bool writeReportPdf(const std::vector<Sheet>& sheets, QIODevice* device, const QPageSize& pageSize,
                    QString* error)
{
    if (sheets.empty()) {
        if (error)
            *error = reportmsg::cannotWritePdf(reportmsg::noSheets());
        return false;
    }
    QPdfWriter writer(device);
    writer.setResolution(kLayoutDpi);
    writer.setCreator(u"shenbao"_s);
    writer.setTitle(u"课题立项申请·评审书"_s);
    // QPdfWriter's default margins are 10 pt; the form is placed from the paper's corner.
    writer.setPageLayout(
        QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Inch));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = reportmsg::cannotWritePdf(device->errorString());
        return false;
    }
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        if (i > 0)
            writer.newPage();
        paintSheet(painter, sheets[i]);
    }
    painter.end();
    return true;
}

bool saveReportFile(const QByteArray& bytes, const QString& path, QString* error)
{
    const FileWrite written = replaceFile(path, bytes);
    if (!written.ok && error)
        *error = reportmsg::cannotWritePdf(QDir::toNativeSeparators(path), written.reason);
    return written.ok;
}

bool writeReportPdf(const std::vector<Sheet>& sheets, const QString& path, const QPageSize& pageSize,
                    QString* error)
{
    // Made in memory first (a few hundred kB): QPdfWriter writes in small pieces, which an
    // unbuffered file would turn into a system call each.
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    if (!writeReportPdf(sheets, &buffer, pageSize, error))
        return false;
    buffer.close();
    return saveReportFile(pdf, path, error);
}

bool writeReportPdf(const ApplicationRecord& record, bool official, const QString& path,
                    const QPageSize& pageSize, QString* error)
{
    const ReportLayout layout = layoutForm(record, official);
    if (layout.tooLong) {
        if (error)
            *error = tooManySheetsMessage();
        return false;
    }
    return writeReportPdf(layout.sheets, path, pageSize, error);
}

} // namespace shenbao
