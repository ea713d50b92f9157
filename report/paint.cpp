#include "report/paint.h"

#include "report/fonts.h"
#include "report/pictures.h"
#include "report/textlayout.h"

#include <QPainter>
#include <QPainterPath>
#include <QRawFont>
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
        const QFont& f = font(t.font);
        m_p.setFont(f);
        m_p.setPen(Qt::black);
        const bool embolden = t.font.bold && !hasBoldFace(t.font.face);
        if (t.positions.empty()) {
            m_p.drawText(at(QPointF(t.x, t.baseline)), t.text);
            if (embolden)
                emboldenRun(f, t.font, QPointF(t.x, t.baseline), t.text);
            return;
        }
        qsizetype k = 0;
        for (const QPointF& pos : t.positions) {
            if (k >= t.text.size())
                break;
            const qsizetype len = (t.text[k].isHighSurrogate() && k + 1 < t.text.size()) ? 2 : 1;
            m_p.drawText(at(pos), t.text.mid(k, len));
            if (embolden)
                emboldenRun(f, t.font, pos, t.text.mid(k, len));
            k += len;
        }
    }

    // Bold for a face that has none: the glyphs' outlines stroked over the text, a twenty-fourth
    // of the em wide, as FreeType emboldens. The text stays text (a PDF's words copy out as
    // before); only its ink grows, and the same on every system and device.
    void emboldenRun(const QFont& f, const FontSpec& spec, QPointF inches, const QString& text)
    {
        QRawFont raw = QRawFont::fromFont(f);
        if (!raw.isValid())
            return;
        const double em = spec.pointSize * m_dpiY / 72.0;
        raw.setPixelSize(em);
        const QList<quint32> glyphs = raw.glyphIndexesForString(text);
        const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
        QPainterPath outline;
        QPointF pen = at(inches);
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            if (glyphs[i] != 0)
                outline.addPath(raw.pathForGlyph(glyphs[i]).translated(pen));
            pen += advances.value(i);
        }
        QPen stroke(Qt::black, em / 24.0);
        stroke.setJoinStyle(Qt::RoundJoin);
        m_p.strokePath(outline, stroke);
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

} // namespace shenbao
