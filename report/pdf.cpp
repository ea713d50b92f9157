#include "report/pdf.h"

#include "files/files.h"
#include "record/textrules.h"
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
ReportPdfWriter::ReportPdfWriter(QIODevice* device, const QPageSize& pageSize)
    : m_writer(std::make_unique<QPdfWriter>(device)), m_painter(std::make_unique<QPainter>())
{
    m_writer->setResolution(kLayoutDpi);
    m_writer->setCreator(u"shenbao"_s);
    m_writer->setTitle(u"课题立项申请·评审书"_s);
    // QPdfWriter's default margins are 10 pt; the form is placed from the paper's corner.
    m_writer->setPageLayout(
        QPageLayout(pageSize, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Inch));
    if (!m_painter->begin(m_writer.get()))
        m_error = device->errorString();
}

ReportPdfWriter::~ReportPdfWriter()
{
    if (m_painter->isActive())
        m_painter->end();
}

void ReportPdfWriter::add(const std::vector<Sheet>& sheets)
{
    if (!m_painter->isActive())
        return;
    for (const Sheet& sheet : sheets) {
        if (m_pages++ > 0)
            m_writer->newPage();
        paintSheet(*m_painter, sheet);
    }
}

bool ReportPdfWriter::finish(QString* error)
{
    const bool began = m_painter->isActive();
    if (began)
        m_painter->end();
    if (began && m_pages > 0)
        return true;
    if (error)
        *error = reportmsg::cannotWritePdf(began ? reportmsg::noSheets() : m_error);
    return false;
}

bool writeReportPdf(const std::vector<Sheet>& sheets, QIODevice* device, const QPageSize& pageSize,
                    QString* error)
{
    if (sheets.empty()) {
        if (error)
            *error = reportmsg::cannotWritePdf(reportmsg::noSheets());
        return false;
    }
    ReportPdfWriter pdf(device, pageSize);
    pdf.add(sheets);
    return pdf.finish(error);
}

bool saveReportFile(const QByteArray& bytes, const QString& path, QString* error)
{
    const FileResult<void> written = replaceFile(path, bytes);
    if (!written && error)
        *error = reportmsg::cannotWritePdf(shownPath(path), written.error().why());
    return written.has_value();
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
