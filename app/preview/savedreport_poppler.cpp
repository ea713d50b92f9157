#include "app/preview/previewpages.h"

#include "app/messages.h"
#include "files/files.h"
#include "report/pdf.h"

#include <QDir>
#include <QPainter>
#include <algorithm>
#include <poppler-qt6.h>

namespace shenbao {
namespace {

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

    PdfPages(QByteArray bytes, std::unique_ptr<Poppler::Document> document);

private:
    QByteArray m_bytes;
    std::unique_ptr<Poppler::Document> m_document;
};

// Printing a saved report draws its pages as pictures of this resolution at most.
constexpr double kPrintDpi = 300;
constexpr qint64 kMaxPdfBytes = qint64(256) << 20;

QString readError(const QString& path, const QString& why)
{
    return appmsg::cannotOpenReport(shownPath(path), why);
}

PdfPages::PdfPages(QByteArray bytes, std::unique_ptr<Poppler::Document> document)
    : m_bytes(std::move(bytes)), m_document(std::move(document))
{
    m_document->setRenderHint(Poppler::Document::Antialiasing);
    m_document->setRenderHint(Poppler::Document::TextAntialiasing);
}

PdfPages::~PdfPages() = default;

std::unique_ptr<PdfPages> PdfPages::load(const QString& path, QString* error)
{
    // poppler reports every flaw of a damaged file on the console; the error box says enough.
    static const bool quiet = [] {
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
        return true;
    }();
    Q_UNUSED(quiet);
    // A report of the form is a few hundred kB, a very long one some MB; anything this large
    // is no report and would only fill the memory.
    FileResult<QByteArray> read = readRegularFile(path, kMaxPdfBytes);
    if (!read) {
        if (error)
            *error = readError(path, read.error().why());
        return nullptr;
    }
    QByteArray bytes = std::move(read).value();
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (!document || document->isLocked() || document->numPages() < 1) {
        if (error)
            *error = readError(path, appmsg::notAReport());
        return nullptr;
    }
    return std::unique_ptr<PdfPages>(new PdfPages(std::move(bytes), std::move(document)));
}

int PdfPages::count() const
{
    return m_document->numPages();
}

QSizeF PdfPages::size(int index) const
{
    const std::unique_ptr<Poppler::Page> page = m_document->page(index);
    return page ? page->pageSizeF() / 72.0 : QSizeF(8.5, 11);
}

QImage PdfPages::image(int index, double dpi) const
{
    const std::unique_ptr<Poppler::Page> page = m_document->page(index);
    QImage image = page ? page->renderToImage(dpi, dpi) : QImage();
    if (image.isNull()) {
        // A page poppler cannot draw shows as an empty sheet rather than nothing.
        const QSizeF inches = size(index);
        image = QImage(qMax(1, qRound(inches.width() * dpi)), qMax(1, qRound(inches.height() * dpi)),
                       QImage::Format_RGB32);
        image.fill(Qt::white);
    }
    return image;
}

void PdfPages::paint(QPainter& painter, int index) const
{
    const QPaintDevice* device = painter.device();
    const double dpiX = device ? device->logicalDpiX() : 72;
    const double dpiY = device ? device->logicalDpiY() : 72;
    const QImage picture = image(index, std::min({dpiX, dpiY, kPrintDpi}));
    const QSizeF inches = size(index);
    painter.drawImage(QRectF(0, 0, inches.width() * dpiX, inches.height() * dpiY), picture);
}

bool PdfPages::save(const QString& path, QString* error) const
{
    return saveReportFile(m_bytes, path, error);
}

} // namespace

SavedReport openSavedReport(const QString& path)
{
    SavedReport report;
    report.pages = PdfPages::load(path, &report.error);
    return report;
}

} // namespace shenbao
