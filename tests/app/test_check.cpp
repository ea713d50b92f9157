// "检 查" and the error list: what the check lists in the window, what it leaves alone, and
// where its entries lead.
#include "../common/fixtures.h"
#include "app/helpviewer.h"
#include "check/verify.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QRegularExpression>
#include <QTabWidget>

using namespace shenbao;
using namespace shenbao::testing;
using namespace Qt::StringLiterals;

class TestCheck : public QObject
{
    Q_OBJECT

private slots:
    void listsWhatIsMissing_data();
    void listsWhatIsMissing();
    void changesNothingElse();
    void navigation_data();
    void navigation();
    void navigationByKeyboard();
    void clickingTheSelectedEntryAgain();
    void helpQuotesTheCheck();
};

namespace {

QStringList entries(QListWidget* list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out.append(list->item(i)->text());
    return out;
}

void clickEntry(QListWidget* list, int row)
{
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

} // namespace

void TestCheck::listsWhatIsMissing_data()
{
    QTest::addColumn<QString>("application");
    QTest::addColumn<QStringList>("expected"); // empty: all 48 messages of a fresh application
    QTest::newRow("fresh: all 48 in rule order") << u"fresh"_s << QStringList();
    QTest::newRow("complete: nothing") << u"complete"_s << QStringList();
    QTest::newRow("partly filled: only the gaps, in rule order")
        << u"partial"_s
        << QStringList{checkEntry(Field::IDcard), checkEntry(Field::MainActor),
                       checkEntry(Field::jiaoyujuyijian)};
}

void TestCheck::listsWhatIsMissing()
{
    QFETCH(QString, application);
    QFETCH(QStringList, expected);
    WindowFixture f;
    if (application == u"fresh") {
        expected = verify(ApplicationRecord());
        QCOMPARE(expected.size(), 48);
        QCOMPARE(expected.first(), checkEntry(Field::ProjectName));
    } else {
        ApplicationRecord r = test::completeSample();
        if (application == u"partial") {
            r.setValue(Field::IDcard, u"99010219820714352"_s); // 17 characters
            r.table(Field::MainActor).setCell(1, 6, QString());
            r.setValue(Field::jiaoyujuyijian, QString());
        }
        f.window->setRecord(r);
    }
    auto* list = f.get<QListWidget>(u"verifylist"_s);
    QTest::mouseClick(f.get<QAbstractButton>(u"verifydata"_s), Qt::LeftButton);
    QCOMPARE(entries(list), expected);
    // A second run replaces the list: nothing left over, nothing twice.
    QTest::mouseClick(f.get<QAbstractButton>(u"verifydata"_s), Qt::LeftButton);
    QCOMPARE(entries(list), expected);
    QVERIFY(f.ui.boxes.isEmpty());
}

void TestCheck::changesNothingElse()
{
    WindowFixture f;
    QVERIFY(f.show());
    auto* list = f.get<QListWidget>(u"verifylist"_s);
    f.window->verifydataClick();
    clickEntry(list, 20);
    QCOMPARE(f.window->pageControl()->currentIndex(), 1);

    // The focus in a field on page 4, an entry selected: the check switches no page, selects
    // nothing, leaves the focus and the fields alone and does not touch Modified.
    f.window->pageControl()->setCurrentIndex(3);
    f.field<QWidget>(Field::Production)->setFocus();
    QWidget* focus = QApplication::focusWidget();
    QVERIFY(f.field<QWidget>(Field::Production)->isAncestorOf(focus)); // the cell editor
    const ApplicationRecord before = f.window->record();
    f.window->verifydataClick();
    QCOMPARE(f.window->pageControl()->currentIndex(), 3);
    QVERIFY(list->selectedItems().isEmpty());
    QCOMPARE(QApplication::focusWidget(), focus);
    QCOMPARE(f.window->record(), before);
    QVERIFY(!f.window->isModified());
    // The tooltip keeps the entry last selected.
    QCOMPARE(list->toolTip(), verify(ApplicationRecord()).at(20));
    // Editing does not update the list.
    f.window->pageControl()->setCurrentIndex(0);
    typeText(f.field<QLineEdit>(Field::KeyWord), u"x"_s);
    QCOMPARE(entries(list), verify(ApplicationRecord()));
}

void TestCheck::navigation_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("tab"); // the caption of the tab that must come to the front
    QTest::newRow("01") << checkEntry(Field::ProjectName) << u"基本资料"_s;
    QTest::newRow("02") << checkEntry(Field::Sex) << u"主持人信息"_s;
    QTest::newRow("03") << checkEntry(Field::MainActor) << u"主要参加者"_s;
    QTest::newRow("04") << checkEntry(Field::Production) << u"相关成果"_s;
    QTest::newRow("05") << checkEntry(Field::ResearchedProject) << u"承担课题"_s;
    QTest::newRow("06") << checkEntry(Field::ProjectReasoning) << u"设计论证"_s;
    QTest::newRow("07") << checkEntry(Field::ProjectAnalyze) << u"可行性分析"_s;
    QTest::newRow("08") << checkEntry(Field::FinallyProduction) << u"预期成果"_s;
    QTest::newRow("09") << checkEntry(Field::OutlayAccounts) << u"经费"_s;
    QTest::newRow("10") << checkEntry(Field::jiaoyujuyijian) << u"推荐意见"_s;
}

void TestCheck::navigation()
{
    QFETCH(QString, entry);
    QFETCH(QString, tab);
    WindowFixture f;
    QVERIFY(f.show());
    f.window->verifydataClick();
    auto* list = f.get<QListWidget>(u"verifylist"_s);
    const int row = int(entries(list).indexOf(entry));
    QVERIFY(row >= 0);
    // Start from another page than the entry's.
    QTabWidget* pages = f.window->pageControl();
    pages->setCurrentIndex(tab == u"推荐意见" ? 0 : 9);
    clickEntry(list, row);
    QCOMPARE(pages->tabText(pages->currentIndex()), tab);
    QCOMPARE(list->toolTip(), entry);
    QVERIFY(f.ui.boxes.isEmpty());
}

void TestCheck::navigationByKeyboard()
{
    WindowFixture f;
    QVERIFY(f.show());
    f.window->verifydataClick();
    auto* list = f.get<QListWidget>(u"verifylist"_s);
    clickEntry(list, 30); // "02、手机号码  未填写"
    QCOMPARE(f.window->pageControl()->currentIndex(), 1);
    press(list, Qt::Key_Down);
    QCOMPARE(list->currentItem()->text(), checkEntry(Field::MainActor));
    QCOMPARE(f.window->pageControl()->currentIndex(), 2);
    QCOMPARE(list->toolTip(), checkEntry(Field::MainActor));
    press(list, Qt::Key_End);
    QCOMPARE(f.window->pageControl()->currentIndex(), 9);
    QCOMPARE(list->toolTip(), checkEntry(Field::jiaoyujuyijian));
}

void TestCheck::clickingTheSelectedEntryAgain()
{
    WindowFixture f;
    QVERIFY(f.show());
    f.window->verifydataClick();
    auto* list = f.get<QListWidget>(u"verifylist"_s);
    clickEntry(list, 34); // "06、设计论证  未填写"
    QCOMPARE(f.window->pageControl()->currentIndex(), 5);
    f.window->pageControl()->setCurrentIndex(0);
    clickEntry(list, 34);
    QCOMPARE(f.window->pageControl()->currentIndex(), 5);
}

// The help quotes entries of the check as the check writes them.
void TestCheck::helpQuotesTheCheck()
{
    QStringList entries;
    for (int f = 0; f < kFieldCount; ++f)
        entries.append(checkEntry(Field(f)));
    qsizetype quoted = 0;
    static const QRegularExpression kQuote(u"“(\\d\\d、[^”]+)”"_s);
    for (const QRegularExpressionMatch& m : kQuote.globalMatch(HelpViewer::helpText())) {
        QVERIFY2(entries.contains(m.captured(1)), qPrintable(m.captured(1)));
        ++quoted;
    }
    QCOMPARE_GE(quoted, 5);
}

QTEST_MAIN(TestCheck)
#include "test_check.moc"
