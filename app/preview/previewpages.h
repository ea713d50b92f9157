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

namespace Poppler {
class Document;
}

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

// A saved report read back with poppler. Saving it again writes the very bytes that were read.
class PdfPages : public PreviewPages
{
public:
    // nullptr with *error set when path is not a readable PDF with at least one page.
    static std::unique_ptr<PdfPages> load(const QString& path, QString* error);
    ~PdfPages() override;

    int count() const override;
    QSizeF size(int index) const override;
    QImage image(int index, double dpi) const override;
    void paint(QPainter& painter, int index) const override;
    bool save(const QString& path, QString* error) const override;

private:
    PdfPages(QByteArray bytes, std::unique_ptr<Poppler::Document> document);

    QByteArray m_bytes;
    std::unique_ptr<Poppler::Document> m_document;
};

} // namespace shenbao
