// Sheets of the printed form: page sequence, repeat sheets, bands, page numbers and marks.

#include "report/textlayout.h"
#include "reporttest.h"

#include <QTest>

using namespace shenbao;
using namespace shenbao::test;
using namespace Qt::StringLiterals;

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initFonts(); }
    void freshFormHasFifteenNumberedSheets();
    void repeatSheetsTakeNumbers();
    void memoLinesPerSheet_data();
    void memoLinesPerSheet();
    void flowingMemoContinuesOthersRestart();
    void cutMemoRepeatsWhole_data();
    void cutMemoRepeatsWhole();
    void bandRepeatSheetsShowOnlyTheBody();
    void looseLeafTitleOnFirstSheetOnly();
    void bandGrowsToHoldItsText();
    void marks_data();
    void marks();
    void freshApplicationPrintsOnlyTwoValues();
    void valuesPrintedWhole();
    void blockJustifiedDeclaration();
    void progressCountsAndCancels();
    void runsDoNotShareState();
    void faultyDesignsStillEnd();
    void sheetBound();
};

void TestLayout::freshFormHasFifteenNumberedSheets()
{
    const ReportLayout layout = layoutOf(ApplicationRecord());
    QCOMPARE(int(layout.sheets.size()), 15);
    // Page1 to Page3 carry no number; Page4 to Page13 run -1- to -10-; the reset at the end of
    // Page13 makes the loose leaves -1- and -2-.
    const QStringList expected{u""_s,    u""_s,    u""_s,     u"-1-"_s, u"-2-"_s,
                               u"-3-"_s, u"-4-"_s, u"-5-"_s,  u"-6-"_s, u"-7-"_s,
                               u"-8-"_s, u"-9-"_s, u"-10-"_s, u"-1-"_s, u"-2-"_s};
    for (int i = 0; i < 15; ++i) {
        QCOMPARE(layout.sheets[i].number, i + 1);
        QCOMPARE(layout.sheets[i].page, u"Page%1"_s.arg(i + 1));
        QVERIFY(!layout.sheets[i].repeat);
        QCOMPARE(pageNumberOf(layout.sheets[i]), expected[i]);
    }
}

void TestLayout::repeatSheetsTakeNumbers()
{
    // Page10 on two sheets: they read -7- and -8-; Page13 becomes -11-, the loose leaves stay -1-, -2-.
    ApplicationRecord r;
    r.setValue(Field::tuijian1, shortLines(30));
    const ReportLayout layout = layoutOf(r);
    QCOMPARE(int(layout.sheets.size()), 16);
    const auto page10 = sheetsOf(layout, u"Page10"_s);
    QCOMPARE(int(page10.size()), 2);
    QCOMPARE(pageNumberOf(*page10[0]), u"-7-"_s);
    QCOMPARE(pageNumberOf(*page10[1]), u"-8-"_s);
    QVERIFY(page10[1]->repeat);
    QCOMPARE(pageNumberOf(*sheetsOf(layout, u"Page13"_s)[0]), u"-11-"_s);
    QCOMPARE(pageNumberOf(*sheetsOf(layout, u"Page14"_s)[0]), u"-1-"_s);
    QCOMPARE(pageNumberOf(*sheetsOf(layout, u"Page15"_s)[0]), u"-2-"_s);
}

void TestLayout::memoLinesPerSheet_data()
{
    QTest::addColumn<QString>("item"); // the field or table cell written
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("page"); // the page observed
    QTest::addColumn<QList<int>>("linesPerSheet");

    // Band pages: the body memo holds 45 lines at design height (to y 10.05) and 47 when the band
    // has grown to the region's bottom (to y 10.35), on the first sheet and every repeat sheet.
    QTest::newRow("Page6, 45 lines") << u"ProjectReasoning"_s << shortLines(45) << u"Page6"_s
                                     << QList<int>{45};
    QTest::newRow("Page6, 47 lines") << u"ProjectReasoning"_s << shortLines(47) << u"Page6"_s
                                     << QList<int>{47};
    QTest::newRow("Page6, 48 lines") << u"ProjectReasoning"_s << shortLines(48) << u"Page6"_s
                                     << QList<int>{47, 1};
    QTest::newRow("Page6, 100 lines")
        << u"ProjectReasoning"_s << shortLines(100) << u"Page6"_s << QList<int>{47, 47, 6};
    // Page14: 42 lines at design height, at most 43 (the box from y 2.4 to 10.4).
    QTest::newRow("Page14, 42 lines")
        << u"ProjectReasoning"_s << shortLines(42) << u"Page14"_s << QList<int>{42};
    QTest::newRow("Page14, 100 lines")
        << u"ProjectReasoning"_s << shortLines(100) << u"Page14"_s << QList<int>{43, 43, 14};
    // Page7: 43 at design height, 45 at most; Page15: 45 and 47.
    QTest::newRow("Page7, 100 lines")
        << u"ProjectAnalyze"_s << shortLines(100) << u"Page7"_s << QList<int>{45, 45, 10};
    QTest::newRow("Page15, 100 lines")
        << u"ProjectAnalyze"_s << shortLines(100) << u"Page15"_s << QList<int>{47, 47, 6};
    // Fixed boxes: a flowing memo continues on repeat sheets, a truncating one drops what is left.
    QTest::newRow("tuijian1, 23 lines") << u"tuijian1"_s << shortLines(23) << u"Page10"_s << QList<int>{23};
    QTest::newRow("tuijian1, 24 lines")
        << u"tuijian1"_s << shortLines(24) << u"Page10"_s << QList<int>{23, 1};
    QTest::newRow("tuijian1, two and a half boxes")
        << u"tuijian1"_s << shortLines(58) << u"Page10"_s << QList<int>{23, 23, 12};
    QTest::newRow("danweiyijian cut at 13")
        << u"danweiyijian"_s << shortLines(20) << u"Page11"_s << QList<int>{13};
    QTest::newRow("jiaoyujuyijian cut at 15")
        << u"jiaoyujuyijian"_s << shortLines(20) << u"Page11"_s << QList<int>{15};
    QTest::newRow("OutlayPromises cut at 27")
        << u"OutlayPromises"_s << shortLines(40) << u"Page9"_s << QList<int>{27};
    QTest::newRow("OutlayAddress flows")
        << u"OutlayAddress"_s << shortLines(3) << u"Page9"_s << QList<int>{2, 1};
    // Only the journal box of row 2 flows.
    QTest::newRow("Production24 flows")
        << u"Production24"_s << shortLines(5) << u"Page5"_s << QList<int>{2, 2, 1};
    QTest::newRow("Production34 is cut") << u"Production34"_s << shortLines(5) << u"Page5"_s << QList<int>{2};
    // 30 characters in a box of 13 a line: 13 + 13, the last 4 dropped.
    QTest::newRow("Production11 is cut")
        << u"Production11"_s << u"研"_s.repeated(30) << u"Page5"_s << QList<int>{2};
    // The cover's title box holds 21 characters a line and two lines.
    QTest::newRow("cover title of 50 characters")
        << u"ProjectName"_s << u"题"_s.repeated(50) << u"Page1"_s << QList<int>{2};
}

void TestLayout::memoLinesPerSheet()
{
    QFETCH(QString, item);
    QFETCH(QString, text);
    QFETCH(QString, page);
    QFETCH(QList<int>, linesPerSheet);
    ApplicationRecord r;
    setByItem(r, item, text);
    const ReportLayout layout = layoutOf(r);
    const auto sheets = sheetsOf(layout, page);
    QList<int> got;
    for (const Sheet* s : sheets)
        got.append(int(textsOf(*s, item).size()));
    QCOMPARE(got, linesPerSheet);
}

void TestLayout::flowingMemoContinuesOthersRestart()
{
    ApplicationRecord r;
    r.setValue(Field::tuijian1, shortLines(25, u"甲"_s));
    r.setValue(Field::tuijian2, shortLines(2, u"乙"_s));
    const ReportLayout layout = layoutOf(r);
    const auto sheets = sheetsOf(layout, u"Page10"_s);
    QCOMPARE(int(sheets.size()), 2);
    // tuijian1 goes on with line 24 at the top of its box; tuijian2 starts again from its beginning.
    const auto first = textsOf(*sheets[1], u"tuijian1"_s);
    QCOMPARE(int(first.size()), 2);
    QCOMPARE(first[0]->text, u"甲24"_s);
    QCOMPARE(first[0]->top, 1.8);
    const auto second = textsOf(*sheets[1], u"tuijian2"_s);
    QCOMPARE(int(second.size()), 2);
    QCOMPARE(second[0]->text, u"乙1"_s);
    // Static texts, in text items and in memo boxes, appear on both sheets.
    for (const Sheet* s : sheets) {
        QVERIFY(findText(*s, u"第一推荐人意见："_s));
        QVERIFY(findText(*s, u"八、推荐人意见"_s));
        QVERIFY(findText(
            *s, u"不具有副高专业技术职称的申请人，须由两名具有副高专业技术职称的同行专家推荐。推荐人须"_s));
    }
}

void TestLayout::cutMemoRepeatsWhole_data()
{
    QTest::addColumn<QString>("cut");
    QTest::addColumn<QString>("cutText");
    QTest::addColumn<QString>("flowing");
    QTest::addColumn<QString>("page");
    QTest::newRow("Page9") << u"OutlayPromises"_s << shortLines(30) << u"OutlayAddress"_s << u"Page9"_s;
    QTest::newRow("Page5") << u"Production11"_s << u"研"_s.repeated(30) << u"Production24"_s << u"Page5"_s;
}

// A truncating memo never continues: every repeat sheet shows what fits from its beginning.
void TestLayout::cutMemoRepeatsWhole()
{
    QFETCH(QString, cut);
    QFETCH(QString, cutText);
    QFETCH(QString, flowing);
    QFETCH(QString, page);
    ApplicationRecord r;
    setByItem(r, cut, cutText);
    setByItem(r, flowing, shortLines(5));
    const ReportLayout layout = layoutOf(r);
    const auto sheets = sheetsOf(layout, page);
    QVERIFY(sheets.size() >= 2);
    const auto lines = [&](const Sheet* s) {
        QStringList out;
        for (const SheetText* t : textsOf(*s, cut))
            out.append(t->text);
        return out;
    };
    QVERIFY(!lines(sheets[0]).isEmpty());
    for (const Sheet* s : sheets)
        QCOMPARE(lines(s), lines(sheets[0]));
}

void TestLayout::bandRepeatSheetsShowOnlyTheBody()
{
    ApplicationRecord r;
    r.setValue(Field::ProjectReasoning, shortLines(100));
    const ReportLayout layout = layoutOf(r);
    const auto sheets = sheetsOf(layout, u"Page6"_s);
    QCOMPARE(int(sheets.size()), 3);
    const double pitch = 11 / 60.0;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const Sheet& s = *sheets[i];
        const bool first = i == 0;
        QCOMPARE(bool(findText(s, u"四、课题设计论证"_s)), first);
        QCOMPARE(bool(findText(s, u"1、问题的提出、课题界定、国内外研究现状评述、选题意义和研究价值。"_s)),
                 first);
        QVERIFY(findText(s, u"非正式文档 仅供个人校对"_s));
        QVERIFY(!pageNumberOf(s).isEmpty());
        // The outer frame on every sheet, the white box of the guidance lines on the first only.
        int frames = 0;
        for (const SheetOp& op : s.ops)
            if (std::holds_alternative<SheetRect>(op))
                ++frames;
        QCOMPARE(frames, first ? 2 : 1);
        // The text continues at the body memo's own place, below the space of the guidance box.
        const auto lines = textsOf(s, u"ProjectReasoning"_s);
        QCOMPARE(lines.front()->top, 1.65);
        QCOMPARE(lines.front()->x, 1.0);
        QCOMPARE(lines.front()->text, u"行%1"_s.arg(1 + 47 * int(i)));
        // A full sheet holds 47 lines: the band grown to the region's bottom at 10.35.
        if (i < 2)
            QVERIFY(lines.back()->top + pitch <= 10.35);
    }
}

void TestLayout::looseLeafTitleOnFirstSheetOnly()
{
    ApplicationRecord r;
    r.setValue(Field::ProjectName, u"乡村学校课题"_s);
    r.setValue(Field::ProjectReasoning, shortLines(100));
    const ReportLayout layout = layoutOf(r);
    const auto sheets = sheetsOf(layout, u"Page14"_s);
    QCOMPARE(int(sheets.size()), 3);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        QCOMPARE(bool(findText(*sheets[i], u"课题设计论证书"_s)), i == 0);
        QCOMPARE(int(textsOf(*sheets[i], u"ProjectName"_s).size()), i == 0 ? 1 : 0);
        QVERIFY(findText(*sheets[i], u"——活页1——"_s));
        QCOMPARE(textsOf(*sheets[i], u"ProjectReasoning"_s).front()->top, 2.4);
    }
}

void TestLayout::bandGrowsToHoldItsText()
{
    // 46 lines do not fit the design height (45) but fit a grown band: one sheet, no repeat.
    ApplicationRecord r;
    r.setValue(Field::ProjectReasoning, shortLines(46));
    const ReportLayout layout = layoutOf(r);
    QCOMPARE(int(sheetsOf(layout, u"Page6"_s).size()), 1);
    const auto lines = textsOf(*sheetsOf(layout, u"Page6"_s)[0], u"ProjectReasoning"_s);
    QCOMPARE(int(lines.size()), 46);
    QVERIFY(qAbs(lines.back()->top - (1.65 + 45 * 11 / 60.0)) < 1e-9);
}

void TestLayout::marks_data()
{
    QTest::addColumn<bool>("official");
    QTest::newRow("informal") << false;
    QTest::newRow("official") << true;
}

void TestLayout::marks()
{
    QFETCH(bool, official);
    const ReportLayout layout = layoutOf(ApplicationRecord(), official);
    // Where each page's marks stand: the informal mark, and the official pictures.
    struct Expect
    {
        QPointF informal;
        Picture picture;
        std::vector<QPointF> pictures;
    };
    const Expect none{{}, Picture::None, {}};
    const std::vector<Expect> expected = {
        {{3.0, 0.5}, Picture::Watermark, {{2.0, 3.0}}},
        none,
        none,
        {{3.0, 0.4}, Picture::Watermark, {{2.0, 5.0}}},
        {{3.0, 0.2}, Picture::Watermark, {{2.0, 5.0}}},
        {{3.0, 0.5}, Picture::Banner, {{3.9, 0.5}, {0.8, 10.5}}},
        {{3.7, 0.5}, Picture::Banner, {{4.1, 0.5}, {0.8, 10.5}}},
        {{3.0, 0.3}, Picture::Watermark, {{2.0, 5.0}}},
        {{3.0, 0.5}, Picture::Watermark, {{2.0, 5.0}}},
        {{3.0, 0.5}, Picture::Watermark, {{2.0, 5.0}}},
        {{4.2, 0.5}, Picture::Watermark, {{2.0, 5.0}}},
        {{4.3, 0.5}, Picture::Watermark, {{2.0, 5.0}}},
        {{5.4, 0.5}, Picture::Watermark, {{2.0, 5.0}}},
        {{3.5, 0.4}, Picture::Banner, {{0.8, 10.5}, {4.4, 0.4}}},
        {{3.5, 0.5}, Picture::Banner, {{0.8, 10.7}, {4.4, 0.5}}},
    };
    QCOMPARE(int(layout.sheets.size()), 15);
    for (int i = 0; i < 15; ++i) {
        const Sheet& s = layout.sheets[i];
        const Expect& e = expected[i];
        const SheetText* mark = findText(s, u"非正式文档 仅供个人校对"_s);
        const auto images = imagesOf(s);
        if (e.picture == Picture::None || official) {
            QVERIFY2(!mark, qPrintable(s.page));
        } else {
            QVERIFY2(mark, qPrintable(s.page));
            QCOMPARE(QPointF(mark->x, mark->top), e.informal);
            QCOMPARE(mark->font, (FontSpec{u"宋体"_s, 16, false}));
        }
        if (!official) {
            QVERIFY2(images.empty(), qPrintable(s.page));
            continue;
        }
        QCOMPARE(int(images.size()), int(e.pictures.size()));
        for (std::size_t k = 0; k < images.size(); ++k) {
            QCOMPARE(images[k]->picture, e.picture);
            QCOMPARE(images[k]->rect.topLeft(), e.pictures[k]);
            // The watermark 3.5 × 3.5 in, the banner 3.4 × 0.283 in.
            QCOMPARE(images[k]->rect.width(), e.picture == Picture::Watermark ? 3.5 : 3.4);
            QVERIFY(qAbs(images[k]->rect.height() - (e.picture == Picture::Watermark ? 3.5 : 0.283)) < 0.001);
        }
        // The watermark is its page's first item, under everything else.
        if (e.picture == Picture::Watermark)
            QVERIFY(std::holds_alternative<SheetImage>(s.ops.front()));
    }
}

void TestLayout::freshApplicationPrintsOnlyTwoValues()
{
    // Every value item of a fresh application prints empty but the cover's EduCode and the
    // preset result form: no placeholder of the design reaches the output.
    const ReportLayout layout = layoutOf(ApplicationRecord());
    QStringList printed;
    for (const Sheet& s : layout.sheets)
        for (const SheetOp& op : s.ops)
            if (const auto* t = std::get_if<SheetText>(&op);
                t && !t->item.isEmpty() && t->kind != ItemKind::PageNumber && t->item != u"informal")
                printed.append(s.page + u'.' + t->item + u'=' + t->text);
    QCOMPARE(printed, (QStringList{u"Page1.EduCode=0000000000"_s, u"Page8.FinallyProduction14=研究报告"_s}));
}

void TestLayout::valuesPrintedWhole()
{
    ApplicationRecord r;
    const QString unit = u"澄州市第一中学教育科学研究室附属实验学校"_s;
    r.table(Field::MainActor).setCell(15, 6, unit);
    r.setValue(Field::EduCode, u"12_45"_s.replace(u'_', u' '));
    r.setValue(Field::OutlayAccounts, u"  6222 0000 1111  "_s);
    const ReportLayout layout = layoutOf(r);
    const Sheet& page4 = *sheetsOf(layout, u"Page4"_s)[0];
    // Row 15 of the participants at top 9.8; the work unit runs on past its nominal width, whole.
    const auto cell = textsOf(page4, u"MainActor157"_s);
    QCOMPARE(int(cell.size()), 1);
    QCOMPARE(cell[0]->text, unit);
    QCOMPARE(QPointF(cell[0]->x, cell[0]->top), QPointF(5.5, 9.8));
    // Nothing is trimmed or formatted.
    QCOMPARE(textsOf(layout.sheets[0], u"EduCode"_s)[0]->text, u"12 45"_s);
    QCOMPARE(textsOf(*sheetsOf(layout, u"Page9"_s)[0], u"OutlayAccounts"_s)[0]->text,
             u"  6222 0000 1111  "_s);
}

void TestLayout::blockJustifiedDeclaration()
{
    const ReportLayout layout = layoutOf(ApplicationRecord());
    const Sheet& page2 = layout.sheets[1];
    std::vector<const SheetText*> lines;
    for (const SheetOp& op : page2.ops)
        if (const auto* t = std::get_if<SheetText>(&op); t && t->kind == ItemKind::Memo)
            lines.push_back(t);
    QCOMPARE(int(lines.size()), 40); // fills its box: one sheet
    TextMeasurer m;
    FontMeasure& font = m.font({u"宋体"_s, 12, false});
    int stretched = 0;
    for (const SheetText* t : lines) {
        if (t->positions.empty())
            continue; // a paragraph's last line, left-aligned
        ++stretched;
        const QList<uint> chars = t->text.toUcs4();
        QCOMPARE(qsizetype(t->positions.size()), chars.size());
        QCOMPARE(t->positions.front().x(), 0.9);
        // The last character ends at the box's right edge, 0.9 + 6.8.
        QVERIFY(qAbs(t->positions.back().x() + font.advance(chars.back()) - 7.7) < 1e-6);
    }
    QCOMPARE(stretched, 40 - 13); // all but the last line of each of the 13 paragraphs
}

void TestLayout::progressCountsAndCancels()
{
    ReportDesign design = builtInDesign();
    fillReport(design, ApplicationRecord(), false);
    QList<int> seen;
    const ReportLayout all = layoutReport(design, [&](int n) {
        seen.append(n);
        return true;
    });
    QCOMPARE(seen.size(), 15);
    QCOMPARE(seen.front(), 1);
    QCOMPARE(seen.back(), 15);
    QVERIFY(!all.cancelled);

    const ReportLayout cut = layoutReport(design, [](int n) { return n < 3; });
    QVERIFY(cut.cancelled);
    QCOMPARE(int(cut.sheets.size()), 2);
}

void TestLayout::runsDoNotShareState()
{
    ApplicationRecord edited;
    edited.setValue(Field::ProjectName, u"第一次"_s);
    ReportDesign first = builtInDesign();
    fillReport(first, edited, true);
    // A new design knows nothing of the last run: placeholders back, marks as designed.
    const ReportDesign second = builtInDesign();
    QCOMPARE(second.item(u"Page14"_s, u"ProjectName"_s)->text, u"ProjectName"_s);
    QVERIFY(!second.item(u"Page1"_s, u"Bitmap1"_s)->visible);
    QVERIFY(second.item(u"Page1"_s, u"informal"_s)->visible);
    // Copies of a design do not share their bands.
    ReportDesign copy = second;
    copy.setText(u"Page6"_s, u"ProjectReasoning"_s, u"改"_s);
    QCOMPARE(second.item(u"Page6"_s, u"ProjectReasoning"_s)->text, u"ProjectReasoning"_s);

    // Two runs of the same application give the same sheets; an edit shows on the loose leaf too.
    const ReportLayout a = layoutOf(edited);
    const ReportLayout b = layoutOf(edited);
    QCOMPARE(a.sheets.size(), b.sheets.size());
    for (std::size_t i = 0; i < a.sheets.size(); ++i)
        QCOMPARE(a.sheets[i].ops.size(), b.sheets[i].ops.size());
    edited.setValue(Field::ProjectName, u"第二次"_s);
    const ReportLayout c = layoutOf(edited);
    QCOMPARE(textsOf(*sheetsOf(c, u"Page14"_s)[0], u"ProjectName"_s)[0]->text, u"第二次"_s);
}

void TestLayout::faultyDesignsStillEnd()
{
    // A flowing box too low for one line could never finish its text, and a chain of pages that
    // leads back would never end: both stop instead of producing sheets without end.
    ReportDesign d(u"R"_s);
    ReportPage a;
    a.name = u"A"_s;
    a.next = u"B"_s;
    ReportItem low;
    low.kind = ItemKind::Memo;
    low.name = u"low"_s;
    low.width = 2;
    low.height = 0.1; // a 10 pt line needs 0.167
    low.font = {u"宋体"_s, 10, false};
    low.flowing = true;
    low.text = shortLines(5);
    a.items.push_back(low);
    ReportPage b;
    b.name = u"B"_s;
    b.next = u"a"_s;
    d.addPage(a);
    d.addPage(b);
    const ReportLayout layout = layoutReport(d);
    QCOMPARE(int(layout.sheets.size()), 2);
    QCOMPARE(layout.sheets[0].page, u"A"_s);
    QCOMPARE(layout.sheets[1].page, u"B"_s);
}

QTEST_MAIN(TestLayout)
// The largest form the window lets one type stays far below the bound; a file of empty lines
// made elsewhere is refused instead of printing hundreds of thousands of sheets.
void TestLayout::sheetBound()
{
    ApplicationRecord typed;
    for (const FieldSpec& spec : fieldCatalogue())
        if (spec.kind == FieldKind::LongText)
            typed.setValue(spec.field, u"\r\n"_s.repeated(spec.byteLimit / 2));
    const ReportLayout largest = layoutOf(typed);
    QVERIFY(!largest.tooLong);
    QVERIFY(largest.sheets.size() * 5 < std::size_t(kMaxSheets));

    ApplicationRecord hostile;
    hostile.setValue(Field::ProjectReasoning, u"\r\n"_s.repeated(2'000'000));
    ReportDesign design = builtInDesign();
    fillReport(design, hostile, false);
    int started = 0;
    const ReportLayout refused = layoutReport(design, [&started](int sheet) {
        started = sheet;
        return true;
    });
    QVERIFY(refused.tooLong);
    QVERIFY(refused.sheets.empty());
    QCOMPARE(started, kMaxSheets);
}

#include "test_layout.moc"
