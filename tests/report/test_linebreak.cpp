// Line breaking of memo boxes: the form's own rules, not the Unicode ones.

#include "report/textlayout.h"
#include "reporttest.h"

#include <QTest>

using namespace shenbao;
using namespace Qt::StringLiterals;

namespace {

// Widths in characters of the font size ("em"): the fonts of the form draw a Chinese character
// one em wide and a Latin character or blank half an em, which is what these cases count with.
double ems(double n, double pt)
{
    return n * pt / 72.0;
}

QStringList texts(const std::vector<MemoLine>& lines)
{
    QStringList out;
    for (const MemoLine& l : lines)
        out.append(l.text);
    return out;
}

} // namespace

class TestLineBreak : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { test::initFonts(); }
    void fontsHaveTheDesignWidths();
    void breaking_data();
    void breaking();
    void neverSplitsACharacter();
    void linesInBox_data();
    void linesInBox();

private:
    TextMeasurer m_measurer;
};

void TestLineBreak::fontsHaveTheDesignWidths()
{
    // The counts below, and the form's boxes, assume these widths.
    FontMeasure& song = m_measurer.font({u"宋体"_s, 10, false});
    QCOMPARE(song.advance(U'中'), ems(1, 10));
    QCOMPARE(song.advance(U'a'), ems(0.5, 10));
    QCOMPARE(song.advance(U' '), ems(0.5, 10));
    QCOMPARE(song.pitch(), 10 / 60.0);
}

void TestLineBreak::breaking_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("width"); // in ems of 10 pt
    QTest::addColumn<QStringList>("lines");

    const QString thirty = u"一二三四五六七八九十"_s.repeated(3);
    // Production11: 1.9 in holds 13.68 ems, so 13 characters a line; the 4 left over make a third.
    QTest::newRow("Chinese run fills each line")
        << thirty << 1.9 * 72 / 10 << QStringList{thirty.left(13), thirty.mid(13, 13), thirty.mid(26)};
    QTest::newRow("exactly full line fits")
        << thirty.left(26) << 13.0 << QStringList{thirty.left(13), thirty.mid(13, 13)};
    QTest::newRow("whole words while they fit")
        << u"aaaa bbbb cccc"_s << 4.5 << QStringList{u"aaaa bbbb"_s, u"cccc"_s};
    QTest::newRow("blanks starting a paragraph stay")
        << u"  一二三四五六"_s << 4.0 << QStringList{u"  一二三"_s, u"四五六"_s};
    QTest::newRow("blanks starting a wrapped line go")
        << u"一二  三四"_s << 2.0 << QStringList{u"一二"_s, u"三四"_s};
    // "一二三四" fits a line of its own, so it does not start on the line that holds "ab".
    QTest::newRow("word that fits a line moves down")
        << u"ab 一二三四"_s << 4.0 << QStringList{u"ab"_s, u"一二三四"_s};
    // A word wider than any line fills the rest of the current one first.
    QTest::newRow("word wider than a line fills it")
        << u"ab 一二三四五六"_s << 4.0 << QStringList{u"ab 一二"_s, u"三四五六"_s};
    QTest::newRow("no break before Chinese punctuation rule")
        << u"一二三，四"_s << 3.0 << QStringList{u"一二三"_s, u"，四"_s};
    QTest::newRow("CR LF ends a paragraph") << u"一\r\n二三"_s << 10.0 << QStringList{u"一"_s, u"二三"_s};
    QTest::newRow("empty paragraph is an empty line")
        << u"一\r\n\r\n二"_s << 10.0 << QStringList{u"一"_s, QString(), u"二"_s};
    QTest::newRow("trailing break adds no line")
        << u"一\r\n二\r\n"_s << 10.0 << QStringList{u"一"_s, u"二"_s};
    QTest::newRow("lone LF breaks too") << u"一\n二"_s << 10.0 << QStringList{u"一"_s, u"二"_s};
    QTest::newRow("empty text has no line") << QString() << 10.0 << QStringList{};
    QTest::newRow("box narrower than a character") << u"一二"_s << 0.5 << QStringList{u"一"_s, u"二"_s};
}

void TestLineBreak::breaking()
{
    QFETCH(QString, text);
    QFETCH(double, width);
    QFETCH(QStringList, lines);
    FontMeasure& font = m_measurer.font({u"宋体"_s, 10, false});
    const std::vector<MemoLine> got = breakLines(text, ems(width, 10), font);
    QCOMPARE(texts(got), lines);
    for (const MemoLine& l : got)
        QVERIFY2(l.width <= ems(width, 10) + 1e-9 || l.text.size() == 1, qPrintable(l.text));
    if (!got.empty())
        QVERIFY(got.back().endsParagraph);
}

void TestLineBreak::neverSplitsACharacter()
{
    // Characters outside the BMP take two UTF-16 units; a line must never end between them.
    const QString wide = QString::fromUcs4(U"\U00020000\U00020001\U00020002\U00020003\U00020004");
    FontMeasure& font = m_measurer.font({u"宋体"_s, 10, false});
    const double one = font.advance(U'\U00020000');
    QVERIFY(one > 0);
    const std::vector<MemoLine> got = breakLines(wide, one * 2.5, font);
    QCOMPARE(int(got.size()), 3);
    QString joined;
    for (const MemoLine& l : got) {
        QVERIFY(!l.text.isEmpty());
        QVERIFY(!l.text.back().isHighSurrogate());
        QVERIFY(!l.text.front().isLowSurrogate());
        joined += l.text;
    }
    QCOMPARE(joined, wide);
}

void TestLineBreak::linesInBox_data()
{
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<int>("lines");
    QTest::newRow("0.4 in, 10 pt") << 0.4 << 10.0 << 2;
    QTest::newRow("0.4 in, 11 pt") << 0.4 << 11.0 << 2;
    QTest::newRow("8.0 in, 12 pt (declaration)") << 8.0 << 12.0 << 40;
    // Quotients that are whole numbers in decimal but not in binary floating point.
    QTest::newRow("0.6 in, 12 pt is 3 lines") << 0.6 << 12.0 << 3; // 2.9999999999999996
    QTest::newRow("0.5 in, 10 pt is 3 lines") << 0.5 << 10.0 << 3;
    QTest::newRow("7.7 in, 11 pt is 42 lines") << 7.7 << 11.0 << 42;
    QTest::newRow("8.4 in, 11 pt") << 8.4 << 11.0 << 45;
    QTest::newRow("8.7 in, 11 pt") << 8.7 << 11.0 << 47;
    QTest::newRow("2.3 in, 10 pt (unit opinion)") << 2.3 << 10.0 << 13;
    QTest::newRow("3.9 in, 10 pt (recommender)") << 3.9 << 10.0 << 23;
    QTest::newRow("no height") << 0.0 << 10.0 << 0;
}

void TestLineBreak::linesInBox()
{
    QFETCH(double, height);
    QFETCH(double, pointSize);
    QFETCH(int, lines);
    QCOMPARE(shenbao::linesInBox(height, pointSize / 60.0), lines);
}

QTEST_MAIN(TestLineBreak)
#include "test_linebreak.moc"
