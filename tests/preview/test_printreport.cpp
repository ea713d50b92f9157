// "预览\打印" in the window: what reaches the printed form, the marks, fresh runs, the status
// window's cancel button, and that the command leaves the application alone.
#include "../app/documents.h"
#include "../app/windowtest.h"
#include "../common/fixtures.h"
#include "../report/reporttest.h"
#include "app/preview/reportpreview.h"
#include "app/preview/reportstatus.h"
#include "previewtest.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

using namespace shenbao;
using namespace shenbao::test;
using namespace shenbao::testing;
using namespace Qt::StringLiterals;

class TestPrintReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }
    void valuesReachTheirItems();
    void freshApplication();
    void savedBesideItsDocument();
    void marksByMode_data();
    void marksByMode();
    void everyRunStartsFresh();
    void statusWindow();
    void cancelShowsNoPreview();
    void tooManySheetsIsAnError();
    void leavesTheApplicationAlone_data();
    void leavesTheApplicationAlone();
};

namespace {

// Presses "预览\打印" and returns the sheets the preview was opened with (none when it was not).
std::vector<Sheet> printReport(WindowFixture& f)
{
    std::vector<Sheet> sheets;
    f.ui.onModal = [&](QDialog* d) { sheets = sheetsShown(d); };
    QTest::mouseClick(f.get<QAbstractButton>(u"printreport"_s), Qt::LeftButton);
    f.ui.onModal = nullptr;
    return sheets;
}

// Opens doc through "打 开", as the user would.
void openDocument(WindowFixture& f, const QTemporaryDir& dir, const QByteArray& doc)
{
    f.ui.openAnswers.enqueue(writeFile(dir, u"a.xdx"_s, doc));
    QTest::mouseClick(f.get<QAbstractButton>(u"openxmlfile"_s), Qt::LeftButton);
}

QString withoutBlanks(QString s)
{
    s.remove(QRegularExpression(u"\\s"_s));
    return s;
}

QString cellItem(Field table, int row, int column)
{
    return fieldName(table) + QString::number(row) + QString::number(column);
}

bool isValueItem(const QString& item)
{
    if (fieldByName(item))
        return true;
    for (Field t : kTableFields)
        if (item.startsWith(fieldName(t), Qt::CaseInsensitive) && item.size() > fieldName(t).size() &&
            item.at(fieldName(t).size()).isDigit())
            return true;
    return false;
}

} // namespace

void TestPrintReport::valuesReachTheirItems()
{
    WindowFixture f;
    const ApplicationRecord r = completeSample();
    f.window->setRecord(r);
    const std::vector<Sheet> sheets = printReport(f);
    QCOMPARE(f.ui.modals, QStringList{u"报表预览"_s});
    QVERIFY(sheets.size() >= 15);

    // Page 4's one-line items carry their fields exactly.
    for (const char* name : {"KeyWord", "ProjectClass", "SubjectClass", "ResearchClass", "Presider",
                             "Department", "Sex", "Nation", "Birthday", "BelongCity", "ContactTelDepartmet",
                             "IDcard", "ApplyOutlay", "ExpectCompleteDate"}) {
        const QString item = QString::fromLatin1(name);
        QCOMPARE(itemText(sheets, u"Page4"_s, item), r.value(*fieldByName(item)));
    }
    QCOMPARE(itemText(sheets, u"Page1"_s, u"EduCode"_s), r.value(Field::EduCode));
    QCOMPARE(itemText(sheets, u"Page1"_s, u"InputDate"_s), r.value(Field::InputDate));
    QCOMPARE(itemText(sheets, u"Page9"_s, u"OutlayAccounts"_s), r.value(Field::OutlayAccounts));

    // Table cells, first and last of each table that the sample fills there.
    QCOMPARE(itemText(sheets, u"Page4"_s, cellItem(Field::MainActor, 1, 1)),
             r.table(Field::MainActor).cell(1, 0));
    QCOMPARE(itemText(sheets, u"Page4"_s, cellItem(Field::MainActor, 1, 7)),
             r.table(Field::MainActor).cell(1, 6));
    QCOMPARE(withoutBlanks(itemText(sheets, u"Page5"_s, cellItem(Field::Production, 1, 1))),
             withoutBlanks(r.table(Field::Production).cell(1, 0)));
    QCOMPARE(withoutBlanks(itemText(sheets, u"Page8"_s, cellItem(Field::ExpectProduction, 1, 2))),
             withoutBlanks(r.table(Field::ExpectProduction).cell(1, 1)));
    QVERIFY(!r.table(Field::MainActor).cell(1, 0).isEmpty());

    // The loose leaves: the project name, and the long texts whole, over as many sheets as they take.
    QCOMPARE(itemText(sheets, u"Page14"_s, u"ProjectName"_s), r.value(Field::ProjectName));
    QCOMPARE(withoutBlanks(itemText(sheets, u"Page14"_s, u"ProjectReasoning"_s)),
             withoutBlanks(r.value(Field::ProjectReasoning)));
    QCOMPARE(withoutBlanks(itemText(sheets, u"Page15"_s, u"ProjectAnalyze"_s)),
             withoutBlanks(r.value(Field::ProjectAnalyze)));
    // ...and no personal data there.
    for (const Sheet& s : sheets)
        if (s.page == u"Page14" || s.page == u"Page15")
            QVERIFY(!findText(s, r.value(Field::Presider)));
}

void TestPrintReport::freshApplication()
{
    WindowFixture f;
    const std::vector<Sheet> sheets = printReport(f);
    QVERIFY(!sheets.empty());
    QStringList filled;
    for (const Sheet& s : sheets)
        for (const SheetOp& op : s.ops)
            if (const auto* t = std::get_if<SheetText>(&op); t && isValueItem(t->item) && !t->text.isEmpty())
                filled.append(s.page + u'.' + t->item + u'=' + t->text);
    QCOMPARE(filled, (QStringList{u"Page1.EduCode=0000000000"_s, u"Page8.FinallyProduction14=研究报告"_s}));
    QVERIFY(f.ui.boxes.isEmpty()); // an incomplete application prints without a word
}

// The preview's 保存 proposes the document's own name as a PDF in its folder.
void TestPrintReport::savedBesideItsDocument()
{
    QTemporaryDir dir;
    WindowFixture f;
    openDocument(f, dir, readAll(sourcePath(u"samples/complete.xdx"_s)));
    f.ui.onModal = [](QDialog* d) { qobject_cast<ReportPreview*>(d)->save(); };
    QTest::mouseClick(f.get<QAbstractButton>(u"printreport"_s), Qt::LeftButton);
    QCOMPARE(f.ui.saveRequests.size(), 1);
    QCOMPARE(f.ui.saveRequests.first().fileName, dir.filePath(u"a.pdf"_s));
}

void TestPrintReport::marksByMode_data()
{
    QTest::addColumn<bool>("official");
    QTest::newRow("informal") << false;
    QTest::newRow("official") << true;
}

void TestPrintReport::marksByMode()
{
    QFETCH(bool, official);
    QTemporaryDir dir;
    WindowFixture f;
    const ApplicationRecord r = completeSample();
    const QByteArray doc =
        official ? gbkBytes(withElement(documentText(r), u"PASSBY"_s, leaf(u"PASSBY"_s, u"1"_s)))
                 : xdxBytes(r, {});
    openDocument(f, dir, doc);
    QCOMPARE(f.window->isOfficial(), official);

    const std::vector<Sheet> sheets = printReport(f);
    for (const Sheet& s : sheets) {
        const bool marked = s.page != u"Page2" && s.page != u"Page3";
        const bool informalMark = findText(s, u"非正式文档 仅供个人校对"_s) != nullptr;
        QVERIFY2(informalMark == (marked && !official), qPrintable(s.page));
        QVERIFY2(imagesOf(s).empty() == !(marked && official), qPrintable(s.page));
    }
}

void TestPrintReport::everyRunStartsFresh()
{
    WindowFixture f;
    f.window->setRecord(completeSample());
    const std::vector<Sheet> first = printReport(f);
    const std::vector<Sheet> second = printReport(f);
    QCOMPARE(describe(second), describe(first));

    // An edit shows in the next run, on the cover and on the loose leaves alike.
    auto* name = f.field<QLineEdit>(Field::ProjectName);
    name->selectAll();
    typeText(name, u"改过的课题名称"_s);
    auto* analyze = f.field<QPlainTextEdit>(Field::ProjectAnalyze);
    analyze->selectAll();
    typeText(analyze, u"第一行\n第二行"_s);
    const std::vector<Sheet> third = printReport(f);
    QCOMPARE(itemText(third, u"Page1"_s, u"ProjectName"_s), u"改过的课题名称"_s);
    QCOMPARE(itemText(third, u"Page14"_s, u"ProjectName"_s), u"改过的课题名称"_s);
    QStringList lines;
    for (const Sheet& s : third)
        if (s.page == u"Page15")
            for (const SheetText* t : textsOf(s, u"ProjectAnalyze"_s))
                lines.append(t->text);
    QCOMPARE(lines, (QStringList{u"第一行"_s, u"第二行"_s}));
    QCOMPARE(std::count_if(third.begin(), third.end(), [](const Sheet& s) { return s.page == u"Page15"; }),
             1);
}

void TestPrintReport::statusWindow()
{
    WindowFixture f;
    f.window->setRecord(completeSample());
    // Watches the status window as each sheet begins (its text changes under the event loop).
    QStringList seen;
    QString title;
    bool modal = false;
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, [&] {
        if (auto* s = qobject_cast<ReportStatus*>(QApplication::activeModalWidget()); s && s->isVisible()) {
            title = s->windowTitle();
            modal = s->windowModality() == Qt::ApplicationModal;
            if (seen.isEmpty() || seen.last() != s->text())
                seen.append(s->text());
        }
    });
    watch.start();
    const std::vector<Sheet> sheets = printReport(f);
    watch.stop();
    QCOMPARE(title, u"报表状态"_s);
    QVERIFY(modal);
    QStringList expected;
    for (std::size_t i = 1; i <= sheets.size(); ++i)
        expected.append(u"正在生成第%1页"_s.arg(i));
    QCOMPARE(seen, expected);
    // Gone once the preview opens.
    for (QWidget* w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<ReportStatus*>(w));
}

void TestPrintReport::tooManySheetsIsAnError()
{
    WindowFixture f;
    ApplicationRecord r = completeSample();
    r.setValue(Field::ProjectReasoning, u"\r\n"_s.repeated(500'000));
    f.window->setRecord(r);
    QVERIFY(printReport(f).empty());
    QVERIFY(f.ui.modals.isEmpty());
    QCOMPARE(f.ui.texts(ScriptedInteraction::Box::Error), QStringList{errorBoxText(tooManySheetsMessage())});
}

void TestPrintReport::cancelShowsNoPreview()
{
    WindowFixture f;
    f.window->setRecord(completeSample());
    QString cancelledAt;
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, [&] {
        auto* s = qobject_cast<ReportStatus*>(QApplication::activeModalWidget());
        if (s && cancelledAt.isEmpty() && s->text() == u"正在生成第3页") {
            cancelledAt = s->text();
            QTest::mouseClick(s->cancelButton(), Qt::LeftButton);
        }
    });
    watch.start();
    const std::vector<Sheet> sheets = printReport(f);
    watch.stop();
    QCOMPARE(cancelledAt, u"正在生成第3页"_s);
    QVERIFY(f.ui.modals.isEmpty());
    QVERIFY(sheets.empty());
    QVERIFY(f.ui.boxes.isEmpty());

    // The next run is whole again.
    QVERIFY(printReport(f).size() >= 15);
}

void TestPrintReport::leavesTheApplicationAlone_data()
{
    QTest::addColumn<bool>("edited");
    QTest::newRow("just opened") << false;
    QTest::newRow("edited") << true;
}

void TestPrintReport::leavesTheApplicationAlone()
{
    QFETCH(bool, edited);
    QTemporaryDir dir;
    WindowFixture f;
    openDocument(f, dir, xdxBytes(incompleteSample(), {}));
    if (edited)
        typeText(f.field<QLineEdit>(Field::KeyWord), u"补"_s);
    QCOMPARE(f.window->isModified(), edited);
    const ApplicationRecord record = f.window->record();
    const QStringList errors = f.window->errorList();
    QVERIFY(!errors.isEmpty());
    const int page = f.window->pageControl()->currentIndex();
    f.ui.clear();

    QVERIFY(!printReport(f).empty());
    QCOMPARE(f.window->record(), record);
    QCOMPARE(f.window->errorList(), errors);
    QCOMPARE(f.window->isModified(), edited);
    QCOMPARE(f.window->pageControl()->currentIndex(), page);
    QVERIFY(f.ui.boxes.isEmpty());
}

QTEST_MAIN(TestPrintReport)
#include "test_printreport.moc"
