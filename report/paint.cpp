#include "files/files.h"
#include "record/applicationrecord.h"
#include "report/fillreport.h"
#include "report/pictures.h"
#include "report/reportrenderer.h"
#include "report/textlayout.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <cmath>

using namespace Qt::StringLiterals;

namespace shenbao {
namespace {

class SheetPainter
{
public:
    explicit SheetPainter(QPainter& painter)
        : m_p(painter), m_dpiX(painter.device()->logicalDpiX()), m_dpiY(painter.device()->logicalDpiY())
    {
    }

    void operator()(const SheetText& t)
    {
        m_p.setFont(font(t.font));
        m_p.setPen(Qt::black);
        if (t.positions.empty()) {
            m_p.drawText(at(QPointF(t.x, t.baseline)), t.text);
            return;
        }
        qsizetype k = 0;
        for (const QPointF& pos : t.positions) {
            if (k >= t.text.size())
                break;
            const qsizetype len = (t.text[k].isHighSurrogate() && k + 1 < t.text.size()) ? 2 : 1;
            m_p.drawText(at(pos), t.text.mid(k, len));
            k += len;
        }
    }

    void operator()(const SheetLine& l)
    {
        QPen pen(Qt::black);
        if (l.widthPt > 0) {
            pen.setWidthF(l.widthPt * m_dpiX / 72.0);
        } else {
            pen.setWidth(0); // hairline: the thinnest line the device draws
            pen.setCosmetic(true);
        }
        pen.setCapStyle(Qt::FlatCap);
        m_p.setPen(pen);
        m_p.drawLine(at(l.from), at(l.to));
    }

    void operator()(const SheetRect& r)
    {
        const QRectF rect(at(r.rect.topLeft()), at(r.rect.bottomRight()));
        if (r.fillWhite)
            m_p.fillRect(rect, Qt::white);
        QPen pen(Qt::black);
        pen.setWidthF(r.borderPt * m_dpiX / 72.0);
        pen.setJoinStyle(Qt::MiterJoin);
        m_p.setPen(pen);
        m_p.setBrush(Qt::NoBrush);
        m_p.drawRect(rect);
    }

    void operator()(const SheetImage& i)
    {
        const QImage& image = pictureImage(i.picture);
        if (!image.isNull())
            m_p.drawImage(QRectF(at(i.rect.topLeft()), at(i.rect.bottomRight())), image);
    }

private:
    QPointF at(QPointF inches) const { return {inches.x() * m_dpiX, inches.y() * m_dpiY}; }

    const QFont& font(const FontSpec& spec)
    {
        for (const auto& [s, f] : m_fonts)
            if (s == spec)
                return f;
        m_fonts.emplace_back(spec, reportFont(spec));
        return m_fonts.back().second;
    }

    QPainter& m_p;
    double m_dpiX;
    double m_dpiY;
    std::vector<std::pair<FontSpec, QFont>> m_fonts;
};

QString writeError(const QString& what)
{
    return u"无法写出 PDF 文件：%1"_s.arg(what);
}

} // namespace

void paintSheet(QPainter& painter, const Sheet& sheet)
{
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::TextAntialiasing);
    SheetPainter sp(painter);
    for (const SheetOp& op : sheet.ops)
        std::visit(sp, op);
    painter.restore();
}

QImage sheetImage(const Sheet& sheet, double dpi)
{
    QImage image(int(std::ceil(sheet.width * dpi)), int(std::ceil(sheet.height * dpi)), QImage::Format_RGB32);
    image.fill(Qt::white);
    // Fonts resolve against the device's resolution: claim the layout's, and scale down.
    const int layoutDpm = qRound(kLayoutDpi / 0.0254);
    image.setDotsPerMeterX(layoutDpm);
    image.setDotsPerMeterY(layoutDpm);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(dpi / kLayoutDpi, dpi / kLayoutDpi);
        paintSheet(p, sheet);
    }
    const int dpm = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    return image;
}

bool writeReportPdf(const std::vector<Sheet>& sheets, QIODevice* device, const QPageSize& pageSize,
                    QString* error)
{
    if (sheets.empty()) {
        if (error)
            *error = writeError(u"没有可输出的页"_s);
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
            *error = writeError(device->errorString());
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
        *error = writeError(u"“%1”：%2"_s.arg(QDir::toNativeSeparators(path), written.reason));
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
