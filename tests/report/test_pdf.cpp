// The PDF read back: texts land where the design puts them (an inch is 72 pt), fonts embedded.

#include "report/paint.h"
#include "report/pdf.h"
#include "report/textlayout.h"
#include "reporttest.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <poppler-qt6.h>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace shenbao;
using namespace shenbao::test;
using namespace Qt::StringLiterals;

namespace {

struct Word
{
    QString text;
    QRectF box; // points from the page's top-left corner
};

std::vector<Word> words(const Poppler::Page& page)
{
    std::vector<Word> out;
    for (const auto& box : page.textList())
        out.push_back({box->text(), box->boundingBox()});
    return out;
}

const Word* find(const std::vector<Word>& ws, const QString& text)
{
    for (const Word& w : ws)
        if (w.text == text)
            return &w;
    return nullptr;
}

} // namespace

class TestPdf : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void pageCountAndSize_data();
    void pageCountAndSize();
    void textsWhereTheDesignSays_data();
    void textsWhereTheDesignSays();
    void fontsAreEmbedded();
    void officialPrintHasPictures();
    void failureLeavesNoFile();
    void previewMatchesPaper();
    void boldOfFacesWithoutABoldFace();

private:
    QString writeSample(bool official, const QPageSize& size = QPageSize(QPageSize::A4));
    static ApplicationRecord sample();

    QTemporaryDir m_dir;
    int m_count = 0;
};

void TestPdf::initTestCase()
{
    initFonts();
    QVERIFY(m_dir.isValid());
}

ApplicationRecord TestPdf::sample()
{
    ApplicationRecord r;
    r.setValue(Field::Presider, u"林晓岚"_s);
    r.setValue(Field::EduCode, u"3207154286"_s);
    r.setValue(Field::ProjectReasoning, u"农村初中科学探究能力培养\r\n第二段"_s);
    r.table(Field::MainActor).setCell(15, 6, u"岚川市第二初级中学"_s);
    return r;
}

QString TestPdf::writeSample(bool official, const QPageSize& size)
{
    const QString path = m_dir.filePath(u"form%1.pdf"_s.arg(++m_count));
    QString error;
    if (!writeReportPdf(sample(), official, path, size, &error))
        qFatal("writeReportPdf: %s", qPrintable(error));
    return path;
}

void TestPdf::pageCountAndSize_data()
{
    QTest::addColumn<int>("paper");
    QTest::addColumn<QSizeF>("points");
    QTest::newRow("A4") << int(QPageSize::A4) << QSizeF(595.3, 841.9);
    QTest::newRow("Letter") << int(QPageSize::Letter) << QSizeF(612, 792);
}

void TestPdf::pageCountAndSize()
{
    QFETCH(int, paper);
    QFETCH(QSizeF, points);
    const auto doc = Poppler::Document::load(writeSample(false, QPageSize(QPageSize::PageSizeId(paper))));
    QVERIFY(doc);
    QCOMPARE(doc->numPages(), 15);
    const QSizeF size = doc->page(0)->pageSizeF();
    QVERIFY2(qAbs(size.width() - points.width()) < 1 && qAbs(size.height() - points.height()) < 1,
             qPrintable(u"%1 x %2"_s.arg(size.width()).arg(size.height())));
}

void TestPdf::textsWhereTheDesignSays_data()
{
    QTest::addColumn<int>("page"); // from 0
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("left"); // inches
    QTest::addColumn<double>("top");  // inches: the line's top; the glyphs start a little below
    QTest::newRow("informal mark") << 0 << u"非正式文档"_s << 3.0 << 0.5;
    QTest::newRow("EduCode in Times") << 0 << u"3207154286"_s << 1.1 << 1.8;
    QTest::newRow("cover leader") << 0 << u"林晓岚"_s << 3.1 << 6.88;
    QTest::newRow("declaration title") << 1 << u"申请者的承诺与成果使用授权"_s << 3.1 << 0.7;
    QTest::newRow("participant row 15") << 3 << u"岚川市第二初级中学"_s << 5.5 << 9.8;
    QTest::newRow("page number") << 3 << u"-1-"_s << 7.4 << 10.8;
    QTest::newRow("design argument line 1") << 5 << u"农村初中科学探究能力培养"_s << 1.0 << 1.65;
    QTest::newRow("design argument line 2") << 5 << u"第二段"_s << 1.0 << 1.65 + 11 / 60.0;
    QTest::newRow("preset result form") << 7 << u"研究报告"_s << 6.2 << 9.05;
    QTest::newRow("loose leaf 1 label") << 13 << u"——活页1——"_s << 3.6 << 10.6;
}

void TestPdf::textsWhereTheDesignSays()
{
    QFETCH(int, page);
    QFETCH(QString, text);
    QFETCH(double, left);
    QFETCH(double, top);
    static const QString path = writeSample(false);
    const auto doc = Poppler::Document::load(path);
    QVERIFY(doc);
    const auto ws = words(*doc->page(page));
    const Word* w = find(ws, text);
    QVERIFY2(w, qPrintable(text));
    QVERIFY2(qAbs(w->box.left() - left * 72) < 0.5, qPrintable(QString::number(w->box.left())));
    // The box poppler reports spans the font's ascent and descent, so it starts at the line's top
    // within a point or two, and never above it.
    QVERIFY2(w->box.top() > top * 72 - 0.5 && w->box.top() < top * 72 + 3,
             qPrintable(QString::number(w->box.top())));
}

void TestPdf::fontsAreEmbedded()
{
    const auto doc = Poppler::Document::load(writeSample(false));
    QVERIFY(doc);
    const QList<Poppler::FontInfo> fonts = doc->fonts();
    QVERIFY(fonts.size() >= 3);
    for (const Poppler::FontInfo& f : fonts)
        QVERIFY2(f.isEmbedded(), qPrintable(f.name()));
}

void TestPdf::officialPrintHasPictures()
{
    const auto official = Poppler::Document::load(writeSample(true));
    const auto informal = Poppler::Document::load(writeSample(false));
    QVERIFY(official && informal);
    QVERIFY(!find(words(*official->page(0)), u"非正式文档"_s));
    // The watermark lies under the cover's titles: the rendered page is grey there only when official.
    const auto greyIn = [](const Poppler::Document& doc) {
        const QImage img = doc.page(0)->renderToImage(36, 36);
        // 36 dpi: the watermark spans x 2.0..5.5 in, y 3.0..6.5 in
        int grey = 0;
        for (int y = 3 * 36; y < int(6.5 * 36); ++y)
            for (int x = 2 * 36; x < int(5.5 * 36); ++x) {
                const int v = qGray(img.pixel(x, y));
                grey += (v > 150 && v < 245) ? 1 : 0;
            }
        return grey;
    };
    QVERIFY(greyIn(*official) > greyIn(*informal) + 200);
}

void TestPdf::failureLeavesNoFile()
{
    QString error;
    const QString path = m_dir.filePath(u"missing/dir/form.pdf"_s);
    QVERIFY(!writeReportPdf(sample(), false, path, QPageSize(QPageSize::A4), &error));
    QVERIFY(error.contains(QDir::toNativeSeparators(path)));
    QVERIFY(!QFile::exists(path));

    // An existing file stays as it was when nothing could be written.
    const QString kept = m_dir.filePath(u"kept.pdf"_s);
    {
        QFile f(kept);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    const auto keptBytes = [&] {
        QFile f(kept);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("unreadable");
    };
    QVERIFY(!writeReportPdf(std::vector<Sheet>{}, kept, QPageSize(QPageSize::A4), &error));
    QCOMPARE(keptBytes(), QByteArray("old"));

    // A disk that fills up half-way: the short write is a failure, the old file stays.
#ifdef Q_OS_UNIX
    const ReportLayout layout = layoutOf(sample());
    {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 64 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = writeReportPdf(layout.sheets, kept, QPageSize(QPageSize::A4), &error);
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!written);
    }
    QVERIFY(error.contains(QDir::toNativeSeparators(kept)));
    QCOMPARE(keptBytes(), QByteArray("old"));
#endif

    // A folder in the file's place.
    QVERIFY(!saveReportFile("%PDF", m_dir.path(), &error));
    QVERIFY(error.contains(u"文件夹"_s));
}

void TestPdf::previewMatchesPaper()
{
    // A preview at 96 dpi is the same drawing as the PDF: the cover's leader name at the same place.
    const ReportLayout layout = layoutOf(sample());
    const QImage preview = sheetImage(layout.sheets[0], 96);
    QCOMPARE(preview.size(), QSize(816, 1056));
    QCOMPARE(preview.dotsPerMeterX(), qRound(96 / 0.0254));
    // The 1 pt underline of the leader's row at y 7.12 in runs from x 3.0 to 7.5 in.
    const int y = qRound(7.12 * 96);
    int dark = 0;
    for (int x = qRound(3.05 * 96); x < qRound(7.45 * 96); ++x)
        dark += qGray(preview.pixel(x, y)) < 160 || qGray(preview.pixel(x, y - 1)) < 160 ? 1 : 0;
    QVERIFY2(dark > int(4.3 * 96), qPrintable(QString::number(dark)));
    QCOMPARE(qGray(preview.pixel(qRound(2.9 * 96), y)), 255);
}

// The Chinese faces have no bold face on any system; their bold is the form's own drawing, so it
// is the same wherever it is drawn: on screen and in the PDF, on Linux and on Windows.
void TestPdf::boldOfFacesWithoutABoldFace()
{
    const auto sheetOf = [](bool bold) {
        Sheet sheet;
        SheetText t;
        t.font = FontSpec{u"楷体_GB2312"_qs, 24, bold};
        t.text = u"课题名称学科分类"_qs;
        t.x = 0.5;
        t.baseline = 1.0;
        sheet.ops.push_back(t);
        return sheet;
    };
    const auto ink = [](const QImage& image) {
        qint64 sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                sum += 255 - qGray(image.pixel(x, y));
        return double(sum);
    };
    // Asked of the engine as a regular face: no engine emboldens it its own way.
    QVERIFY(!reportFont(FontSpec{u"楷体_GB2312"_qs, 12, true}).bold());
    QVERIFY(reportFont(FontSpec{u"Arial"_qs, 12, true}).bold());
    const double screen = ink(sheetImage(sheetOf(true), 96)) / ink(sheetImage(sheetOf(false), 96));
    QVERIFY2(screen > 1.2, qPrintable(QString::number(screen)));
    // The PDF, read back and drawn by poppler: heavier too.
    double paper[2];
    for (const bool bold : {false, true}) {
        const QString path = m_dir.filePath(bold ? u"bold.pdf"_qs : u"regular.pdf"_qs);
        QVERIFY(writeReportPdf({sheetOf(bold)}, path));
        const auto doc = Poppler::Document::load(path);
        QVERIFY(doc);
        paper[bold] = ink(doc->page(0)->renderToImage(96, 96));
        QVERIFY(doc->page(0)->text(QRectF()).contains(u"课题名称"_qs)); // still text
    }
    QVERIFY2(paper[1] / paper[0] > 1.2, qPrintable(QString::number(paper[1] / paper[0])));
}

QTEST_MAIN(TestPdf)
#include "test_pdf.moc"
