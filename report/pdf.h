#pragma once

// The printed form as a PDF file.

#include "report/sheet.h"

#include <QByteArray>
#include <QPageSize>
#include <QString>
#include <vector>

class QIODevice;

namespace shenbao {

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
