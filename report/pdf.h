#pragma once

// The printed form as a PDF file.

#include "report/sheet.h"

#include <QByteArray>
#include <QPageSize>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;
class QPdfWriter;
class QPainter;

namespace shenbao {

// A PDF written sheet by sheet, so that many forms can go into one file: fonts are embedded
// once for all of them. The device must stay open until finish().
class ReportPdfWriter
{
public:
    ReportPdfWriter(QIODevice* device, const QPageSize& pageSize);
    ~ReportPdfWriter();
    ReportPdfWriter(const ReportPdfWriter&) = delete;
    ReportPdfWriter& operator=(const ReportPdfWriter&) = delete;

    // Adds each sheet as a page.
    void add(const std::vector<Sheet>& sheets);
    qsizetype pages() const { return m_pages; }
    // Ends the file (the fonts are written now); false and *error when it could not be begun or
    // no page was added.
    bool finish(QString* error);

private:
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    QString m_error;
    qsizetype m_pages = 0;
};

class ApplicationRecord;

// Writes the sheets as a PDF with embedded fonts, one page of pageSize per sheet, no margins,
// drawing unscaled from the page's top-left corner. The file is replaced only when complete;
// on failure returns false and sets *error.
bool writeReportPdf(const std::vector<Sheet>& sheets, const QString& path,
                    const QPageSize& pageSize = QPageSize(QPageSize::A4), QString* error = nullptr);
bool writeReportPdf(const std::vector<Sheet>& sheets, QIODevice* device,
                    const QPageSize& pageSize = QPageSize(QPageSize::A4), QString* error = nullptr);

// Replaces the file at path with bytes (a PDF made before) only when all of them were written;
// a short write (a full disk) or any other failure leaves what was there and sets *error.
bool saveReportFile(const QByteArray& bytes, const QString& path, QString* error = nullptr);

// The whole printed form of record: the built-in design, filled, laid out and written.
bool writeReportPdf(const ApplicationRecord& record, bool official, const QString& path,
                    const QPageSize& pageSize = QPageSize(QPageSize::A4), QString* error = nullptr);

} // namespace shenbao
