// Renders an SVG icon to PNG files of the given sizes (OUTDIR/NAME-SIZE.png, NAME the SVG's base
// name) and, with --ico, to one Windows icon holding every size. A host tool: the Windows build
// has no SVG support of its own.
#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>
#include <vector>

namespace {

void putLe(QByteArray& out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

// An ICO file whose images are PNG streams, as Windows Vista and later read them.
QByteArray icoFile(const std::vector<QByteArray>& pngs, const std::vector<int>& sizes)
{
    QByteArray out;
    putLe(out, 0, 2); // reserved
    putLe(out, 1, 2); // icon
    putLe(out, quint32(pngs.size()), 2);
    quint32 offset = 6 + 16 * quint32(pngs.size());
    for (std::size_t i = 0; i < pngs.size(); ++i) {
        const int size = sizes[i];
        out.append(char(size >= 256 ? 0 : size)); // 0 means 256
        out.append(char(size >= 256 ? 0 : size));
        putLe(out, 0, 1); // no palette
        putLe(out, 0, 1);
        putLe(out, 1, 2);  // planes
        putLe(out, 32, 2); // bits per pixel
        putLe(out, quint32(pngs[i].size()), 4);
        putLe(out, offset, 4);
        offset += quint32(pngs[i].size());
    }
    for (const QByteArray& png : pngs)
        out.append(png);
    return out;
}

} // namespace

int main(int argc, char** argv)
{
    QString ico;
    int first = 1;
    if (argc > 2 && QByteArray(argv[1]) == "--ico") {
        ico = QString::fromLocal8Bit(argv[2]);
        first = 3;
    }
    if (argc - first < 3) {
        std::fprintf(stderr, "usage: mkicons [--ico OUT.ico] icon.svg outdir size...\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString source = QString::fromLocal8Bit(argv[first]);
    QSvgRenderer svg(source);
    if (!svg.isValid()) {
        std::fprintf(stderr, "mkicons: cannot read %s\n", argv[first]);
        return 1;
    }
    const QString name = QFileInfo(source).completeBaseName();
    std::vector<QByteArray> pngs;
    std::vector<int> sizes;
    for (int i = first + 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter);
        painter.end();
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        const QString out =
            QString::fromLocal8Bit(argv[first + 1]) + QStringLiteral("/%1-%2.png").arg(name).arg(size);
        QFile file(out);
        if (png.isEmpty() || !file.open(QIODevice::WriteOnly) || file.write(png) != png.size()) {
            std::fprintf(stderr, "mkicons: cannot write %s\n", qPrintable(out));
            return 1;
        }
        pngs.push_back(png);
        sizes.push_back(size);
    }
    if (!ico.isEmpty()) {
        QFile file(ico);
        const QByteArray bytes = icoFile(pngs, sizes);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "mkicons: cannot write %s\n", qPrintable(ico));
            return 1;
        }
    }
    return 0;
}
