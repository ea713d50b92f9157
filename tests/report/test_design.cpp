// The built-in design: lookup, the items the print command fills, and the page texts.

#include "report/textlayout.h"
#include "reporttest.h"

#include <QTest>

using namespace shenbao;
using namespace shenbao::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(shenbao::ItemKind)

class TestDesign : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { initFonts(); }
    void pagesFormAChain();
    void lookupIgnoresCase();
    void everyFilledItemExists();
    void itemKinds_data();
    void itemKinds();
    void fillWritesValuesAndMarks();
    void copiesFollowTheirMaster();
    void pageTexts_data();
    void pageTexts();
    void optionBoxesAreFull();
    void cityListLettering();
    void verticalLabelRunsDown();
};

void TestDesign::pagesFormAChain()
{
    const ReportDesign d = builtInDesign();
    QCOMPARE(d.name(), u"Report1"_s);
    QCOMPARE(int(d.pages().size()), 15);
    for (int i = 0; i < 15; ++i) {
        const ReportPage& p = d.pages()[i];
        QCOMPARE(p.name, u"Page%1"_s.arg(i + 1));
        QCOMPARE(p.next, i < 14 ? u"Page%1"_s.arg(i + 2) : QString());
        QCOMPARE(p.width, 8.5);
        QCOMPARE(p.height, 11.0);
    }
}

void TestDesign::lookupIgnoresCase()
{
    ReportDesign d = builtInDesign();
    const ReportItem* edu = d.item(u"Page1"_s, u"educode"_s);
    QVERIFY(edu);
    QCOMPARE(edu->name, u"EduCode"_s);
    QCOMPARE(d.page(u"report1.page4"_s), d.page(u"Page4"_s));
    QVERIFY(d.page(u"Page4"_s));
    QVERIFY(!d.page(u"Page16"_s));
    QVERIFY(!d.page(u"Report2.Page1"_s));
    // The same name on several pages: always addressed by page.
    QVERIFY(d.item(u"Page1"_s, u"ProjectName"_s) != d.item(u"Page14"_s, u"PROJECTNAME"_s));
    QCOMPARE(d.item(u"Page1"_s, u"ProjectName"_s)->kind, ItemKind::Memo);
    QCOMPARE(d.item(u"Page14"_s, u"ProjectName"_s)->kind, ItemKind::Text);
    // Band items are found through their page.
    QVERIFY(d.item(u"page6"_s, u"projectreasoning"_s));
    QVERIFY(!d.item(u"Page2"_s, u"ProjectName"_s));
    QVERIFY(!d.setText(u"Page2"_s, u"ProjectName"_s, u"x"_s));
    QVERIFY(!d.setText(u"Page1"_s, u"Bitmap1"_s, u"x"_s)); // an image has no text
    QVERIFY(d.setText(u"PAGE1"_s, u"presider"_s, u"林"_s));
    QCOMPARE(d.item(u"Page1"_s, u"Presider"_s)->text, u"林"_s);
}

void TestDesign::everyFilledItemExists()
{
    QCOMPARE(missingFillItems(builtInDesign()), QStringList());
    // and the check does notice a missing one
    ReportDesign d = builtInDesign();
    d.item(u"Page8"_s, u"ExpectProduction105"_s)->name = u"Gone"_s;
    QCOMPARE(missingFillItems(d), QStringList{u"Page8.ExpectProduction105"_s});
}

void TestDesign::itemKinds_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("item");
    QTest::addColumn<ItemKind>("kind");
    QTest::addColumn<bool>("flowing");
    const auto row = [](const char* tag, const QString& page, const QString& item, ItemKind kind,
                        bool flowing) { QTest::newRow(tag) << page << item << kind << flowing; };
    row("cover title", u"Page1"_s, u"ProjectName"_s, ItemKind::Memo, false);
    row("cover EduCode", u"Page1"_s, u"EduCode"_s, ItemKind::Text, false);
    row("participant", u"Page4"_s, u"MainActor157"_s, ItemKind::Text, false);
    row("result title", u"Page5"_s, u"Production11"_s, ItemKind::Memo, false);
    row("result author", u"Page5"_s, u"Production12"_s, ItemKind::Text, false);
    row("journal row 2", u"Page5"_s, u"Production24"_s, ItemKind::Memo, true);
    row("journal row 14", u"Page5"_s, u"Production144"_s, ItemKind::Memo, false);
    row("project leader", u"Page5"_s, u"ResearchedProject11"_s, ItemKind::Text, false);
    row("project title", u"Page5"_s, u"ResearchedProject52"_s, ItemKind::Memo, false);
    row("project date", u"Page5"_s, u"ResearchedProject54"_s, ItemKind::Text, false);
    row("design argument", u"Page6"_s, u"ProjectReasoning"_s, ItemKind::Memo, true);
    row("stage result", u"Page8"_s, u"ExpectProduction105"_s, ItemKind::Memo, false);
    row("final result", u"Page8"_s, u"FinallyProduction35"_s, ItemKind::Memo, false);
    row("funding promise", u"Page9"_s, u"OutlayPromises"_s, ItemKind::Memo, false);
    row("funding address", u"Page9"_s, u"OutlayAddress"_s, ItemKind::Memo, true);
    row("funding postcode", u"Page9"_s, u"OutlayPostcode"_s, ItemKind::Text, false);
    row("recommender", u"Page10"_s, u"tuijian2"_s, ItemKind::Memo, true);
    row("unit opinion", u"Page11"_s, u"danweiyijian"_s, ItemKind::Memo, false);
    row("loose leaf 2", u"Page15"_s, u"ProjectAnalyze"_s, ItemKind::Memo, true);
    row("page number on Page4", u"Page4"_s, u"pagedata"_s, ItemKind::PageNumber, false);
    row("reset on Page13", u"Page13"_s, u"PageNumInit1"_s, ItemKind::PageNumberReset, false);
}

void TestDesign::itemKinds()
{
    QFETCH(QString, page);
    QFETCH(QString, item);
    QFETCH(ItemKind, kind);
    QFETCH(bool, flowing);
    const ReportDesign d = builtInDesign();
    const ReportItem* it = d.item(page, item);
    QVERIFY(it);
    QCOMPARE(it->kind, kind);
    QCOMPARE(it->flowing, flowing);
}

void TestDesign::fillWritesValuesAndMarks()
{
    ApplicationRecord r;
    r.setValue(Field::ProjectReasoning, u"一\r\n二\r\n"_s);
    r.setValue(Field::SubjectClass, u"德育"_s);
    r.table(Field::Production).setCell(14, 4, u"2007年"_s);
    r.table(Field::MainActor).setCell(1, 0, u"周"_s);
    ReportDesign d = builtInDesign();
    fillReport(d, r, false);
    QCOMPARE(d.item(u"Page6"_s, u"ProjectReasoning"_s)->text, u"一\r\n二\r\n"_s);
    QCOMPARE(d.item(u"Page14"_s, u"ProjectReasoning"_s)->text, u"一\r\n二\r\n"_s);
    QCOMPARE(d.item(u"Page1"_s, u"SubjectClass"_s)->text, u"德育"_s);
    QCOMPARE(d.item(u"Page4"_s, u"SubjectClass"_s)->text, u"德育"_s);
    QCOMPARE(d.item(u"Page5"_s, u"Production145"_s)->text, u"2007年"_s); // column 5 is cell column 4
    QCOMPARE(d.item(u"Page4"_s, u"MainActor11"_s)->text, u"周"_s);
    QCOMPARE(d.item(u"Page4"_s, u"MainActor12"_s)->text, QString());
    QVERIFY(d.item(u"Page1"_s, u"informal"_s)->visible);
    QVERIFY(!d.item(u"Page1"_s, u"Bitmap1"_s)->visible);
    QVERIFY(!d.item(u"Page6"_s, u"Bitmap1"_s)->visible);

    fillReport(d, r, true);
    QVERIFY(!d.item(u"Page1"_s, u"informal"_s)->visible);
    QVERIFY(d.item(u"Page1"_s, u"Bitmap1"_s)->visible);
    QVERIFY(d.item(u"Page6"_s, u"Bitmap1"_s)->visible);
}

void TestDesign::copiesFollowTheirMaster()
{
    ReportDesign d = builtInDesign();
    const ReportItem* copy = d.item(u"Page9"_s, u"informal"_s);
    QVERIFY(copy && copy->isCopy());
    d.setText(u"Page1"_s, u"informal"_s, u"样稿"_s);
    QCOMPARE(d.resolve(*copy).text, u"样稿"_s);
    d.setVisible(u"Page9"_s, u"informal"_s, false); // a copy's own visibility does not count
    d.setVisible(u"Page1"_s, u"informal"_s, true);
    const ReportLayout layout = layoutReport(d);
    const auto texts = textsOf(*sheetsOf(layout, u"Page9"_s)[0], u"informal"_s);
    QCOMPARE(int(texts.size()), 1);
    QCOMPARE(texts[0]->text, u"样稿"_s);
    QCOMPARE(QPointF(texts[0]->x, texts[0]->top), QPointF(3.0, 0.5));
}

void TestDesign::pageTexts_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<double>("top");
    QTest::addColumn<int>("characters"); // line breaks not counted
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<int>("lines");
    // The declaration fills all 40 lines of its box, so Page2 takes one sheet.
    QTest::newRow("declaration") << u"Page2"_s << 1.3 << 1273 << 13 << 40;
    QTest::newRow("instructions") << u"Page3"_s << 1.2 << 422 << 8 << 13;
}

void TestDesign::pageTexts()
{
    QFETCH(QString, page);
    QFETCH(double, top);
    QFETCH(int, characters);
    QFETCH(int, paragraphs);
    QFETCH(int, lines);
    const ReportDesign d = builtInDesign();
    const ReportItem* memo = nullptr;
    for (const ReportItem& it : d.page(page)->items)
        if (it.kind == ItemKind::Memo && it.top == top)
            memo = &it;
    QVERIFY(memo);
    const QStringList paras = memo->text.split(u"\r\n"_s);
    QCOMPARE(int(paras.size()), paragraphs);
    QCOMPARE(int(paras.join(QString()).size()), characters);
    TextMeasurer m;
    QCOMPARE(int(breakLines(memo->text, memo->width, m.font(memo->font)).size()), lines);
    QVERIFY(lines <= linesInBox(memo->height, memo->font.linePitch()));
}

void TestDesign::optionBoxesAreFull()
{
    // Every option box on Page3 is filled to its last line, and none overflows.
    const ReportDesign d = builtInDesign();
    TextMeasurer m;
    int boxes = 0;
    for (const ReportItem& it : d.page(u"Page3"_s)->items) {
        if (it.kind != ItemKind::Memo || it.top < 4.5)
            continue;
        ++boxes;
        const int lines = int(breakLines(it.text, it.width, m.font(it.font)).size());
        QCOMPARE(lines, linesInBox(it.height, it.font.linePitch()));
    }
    QCOMPARE(boxes, 5);
}

void TestDesign::cityListLettering()
{
    const ReportDesign d = builtInDesign();
    QString list;
    for (const ReportItem& it : d.page(u"Page3"_s)->items)
        if (it.kind == ItemKind::Memo && it.top == 7.0)
            list = it.text;
    const QStringList cities = provinceCities();
    QCOMPARE(cities.size(), 14);
    QVERIFY(list.startsWith(u"A."_s + cities.first() + u"  "_s));
    QVERIFY(list.contains(u"  M."_s + cities.last() + u"  "_s)); // the autonomous prefecture
    QVERIFY(list.endsWith(u"N."_s + cities[12] + u" "_s));       // the twelfth city
    QCOMPARE(list.count(u"  "_s), 13);
}

void TestDesign::verticalLabelRunsDown()
{
    const ReportLayout layout = layoutOf(ApplicationRecord());
    const SheetText* label = findText(layout.sheets[3], u"主  要  参  加  者"_s);
    QVERIFY(label);
    QCOMPARE(label->rotation, 270);
    QCOMPARE(qsizetype(label->positions.size()), label->text.size());
    // Upright characters one under another in the column at x = 1.0: five characters of 11 pt
    // and eight half-width blanks span 1.375 in from the top 6.975.
    for (std::size_t k = 0; k < label->positions.size(); ++k)
        QCOMPARE(label->positions[k].x(), 1.0);
    const double first = label->positions.front().y();
    const double last = label->positions.back().y();
    QVERIFY(first > 6.975 && first < 6.975 + 11 / 72.0);
    QVERIFY(qAbs(last - first - (4 * 11 + 8 * 5.5) / 72.0) < 1e-6);
}

QTEST_MAIN(TestDesign)
#include "test_design.moc"
