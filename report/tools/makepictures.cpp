// Draws the two pictures of the official marks: the watermark (320 × 320, the words running
// diagonally from bottom-left to top-right) and the banner (1022 × 85, one line). Each shows
// "澄岚省教育科学规划课题" as pale grey outlined characters with rounded strokes on white.
//
//   shenbao_make_pictures OUTDIR      writes OUTDIR/watermark.png and OUTDIR/banner.png

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTextStream>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {

const QString kWords = u"澄岚省教育科学规划课题"_s;

// The outline: a wide stroke with round joins and caps gives the rounded look; filling the
// glyphs white over it leaves only a pale ring around each character.
void drawOutlined(QPainter& p, const QPainterPath& glyphs, double ring)
{
    QPainterPathStroker stroker;
    stroker.setWidth(ring * 2);
    stroker.setJoinStyle(Qt::RoundJoin);
    stroker.setCapStyle(Qt::RoundCap);
    const QPainterPath outline = stroker.createStroke(glyphs).united(glyphs);
    p.fillPath(outline, QColor(194, 194, 194));
    QPainterPathStroker inner;
    inner.setWidth(ring * 0.6);
    inner.setJoinStyle(Qt::RoundJoin);
    inner.setCapStyle(Qt::RoundCap);
    p.fillPath(glyphs, Qt::white);
    p.fillPath(inner.createStroke(glyphs), QColor(228, 228, 228));
}

// The words as one path, letter by letter, spaced so that they take `length` pixels,
// centred on the origin.
QPainterPath wordsPath(int pixelSize, double length)
{
    QFont font(u"WenQuanYi Zen Hei"_s);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    QPainterPath path;
    const QFontMetricsF fm(font);
    const double step = (length - pixelSize) / (kWords.size() - 1);
    for (qsizetype i = 0; i < kWords.size(); ++i) {
        QPainterPath ch;
        ch.addText(0, 0, font, kWords.mid(i, 1));
        const QRectF box = ch.boundingRect();
        // Each character centred in its em box, the boxes `step` apart.
        const double cx = i * step + pixelSize / 2.0;
        path.addPath(ch.translated(cx - box.center().x(), -(fm.ascent() - fm.descent()) / 2.0));
    }
    const QRectF all = path.boundingRect();
    return path.translated(-all.center());
}

bool save(const QImage& image, const QString& path, QTextStream& err)
{
    if (image.save(path, "PNG"))
        return true;
    err << "cannot write " << path << '\n';
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        err << "usage: shenbao_make_pictures OUTDIR\n";
        return 2;
    }
    const QDir out(args.at(1));

    QImage watermark(320, 320, QImage::Format_Grayscale8);
    watermark.fill(Qt::white);
    {
        QPainter p(&watermark);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(160, 160);
        p.rotate(-45); // from the bottom-left corner up to the top-right corner
        drawOutlined(p, wordsPath(32, 372), 2.2);
    }

    QImage banner(1022, 85, QImage::Format_Grayscale8);
    banner.fill(Qt::white);
    {
        QPainter p(&banner);
        p.setRenderHint(QPainter::Antialiasing);
        p.translate(511, 42.5);
        drawOutlined(p, wordsPath(62, 980), 3.0);
    }

    return save(watermark, out.filePath(u"watermark.png"_s), err) &&
                   save(banner, out.filePath(u"banner.png"_s), err)
               ? 0
               : 1;
}
