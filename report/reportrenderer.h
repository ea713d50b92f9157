#pragma once

#include "report/reportdesign.h"
#include "report/sheet.h"

#include <QByteArray>
#include <QImage>
#include <QPageSize>
#include <QString>
#include <functional>
#include <vector>

class QIODevice;
class QPainter;

namespace shenbao {

class ApplicationRecord;

// Called as each sheet begins, with its number counted from 1; returning false cancels.
using SheetProgress = std::function<bool(int sheetNumber)>;

// The most sheets one print makes. The largest form that can be typed into the window (every
// long text at its limit, all of it line breaks) makes 389; a file made elsewhere could
// make millions, which no printer and no reviewer should be sent.
inline constexpr int kMaxSheets = 5000;

struct ReportLayout
{
    std::vector<Sheet> sheets;
    bool cancelled = false; // the progress callback said stop; sheets holds those finished before
    bool tooLong = false;   // the form would pass kMaxSheets; sheets is empty
};

// What the window and xdxtool say when a form would pass kMaxSheets.
QString tooManySheetsMessage();

// Turns a (filled) design into sheets: its pages in their chain from the first, each repeated
// while a flowing memo or its band has text left. Needs a QGuiApplication (fonts).
ReportLayout layoutReport(const ReportDesign& design, const SheetProgress& progress = {});

// Paints one sheet with its top-left corner at the painter's origin, in the device's own
// resolution, unscaled: an inch is logicalDpiX() device units. Works on any device (QPdfWriter,
// QPrinter with setFullPage(true), QImage); a transform already set on the painter applies on
// top, which is how sheetImage scales a preview down.
void paintSheet(QPainter& painter, const Sheet& sheet);

// A preview of one sheet at dpi dots per inch, white background. The painting happens at the
// layout resolution and is scaled down, so its lines break exactly like the paper's.
QImage sheetImage(const Sheet& sheet, double dpi = 96);

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
