#pragma once

#include "report/sheet.h"

#include <QByteArray>
#include <QImage>
#include <QPageSize>
#include <QSizeF>
#include <QString>
#include <memory>
#include <vector>

class QPainter;

namespace shenbao {

// What the preview shows and prints: the sheets of a report just generated, or a report saved
// before and opened again.
class PreviewPages
{
public:
    virtual ~PreviewPages();

    virtual int count() const = 0;
    // A page's size in inches.
    virtual QSizeF size(int index) const = 0;
    // A page as an image at dpi dots per inch, white background.
    virtual QImage image(int index, double dpi) const = 0;
    // Draws a page with its top-left corner at the painter's origin, unscaled: an inch is the
    // painter's device's logicalDpiX() units.
    virtual void paint(QPainter& painter, int index) const = 0;
    // Writes the pages as a PDF file; the file is replaced only when complete.
    virtual bool save(const QString& path, QString* error) const = 0;
};

// The generated report: its sheets, saved as a PDF on A4 paper.
class SheetPages : public PreviewPages
{
public:
    explicit SheetPages(std::vector<Sheet> sheets, QPageSize paper = QPageSize(QPageSize::A4));

    const std::vector<Sheet>& sheets() const { return m_sheets; }
    int count() const override { return int(m_sheets.size()); }
    QSizeF size(int index) const override;
    QImage image(int index, double dpi) const override;
    void paint(QPainter& painter, int index) const override;
    bool save(const QString& path, QString* error) const override;

private:
    std::vector<Sheet> m_sheets;
    QPageSize m_paper;
};

// A report saved before, opened again: in the preview where this system draws PDF files
// (pages), else in the system's PDF viewer (no pages, no error).
struct SavedReport
{
    std::unique_ptr<PreviewPages> pages;
    QString error; // why it could not be opened: the error box's text
};
SavedReport openSavedReport(const QString& path);

} // namespace shenbao
