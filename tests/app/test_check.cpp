// "检 查" and the error list: what the check lists in the window, what it leaves alone, and
// where its entries lead.
#include "../common/fixtures.h"
#include "check/verify.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
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
        << QStringList{u"02、身份证号码  应该为15或者18位"_s, u"03、主要参加者  资料未填写完整"_s,
                       u"10、市教育局意见  未填写 高校、省直单位可不填"_s};
}

void TestCheck::listsWhatIsMissing()
{
    QFETCH(QString, application);
    QFETCH(QStringList, expected);
    WindowFixture f;
    if (application == u"fresh") {
        expected = verify(ApplicationRecord());
        QCOMPARE(expected.size(), 48);
        QCOMPARE(expected.first(), u"01、课题名称  未填写"_s);
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
    QTest::newRow("01") << u"01、课题名称  未填写"_s << u"基本资料"_s;
    QTest::newRow("02") << u"02、性别  未填写"_s << u"主持人信息"_s;
    QTest::newRow("03") << u"03、主要参加者  资料未填写完整"_s << u"主要参加者"_s;
    QTest::newRow("04") << u"04、相关成果  资料未填写完整"_s << u"相关成果"_s;
    QTest::newRow("05") << u"05、承担课题  资料未填写完整"_s << u"承担课题"_s;
    QTest::newRow("06") << u"06、设计论证  未填写"_s << u"设计论证"_s;
    QTest::newRow("07") << u"07、可行性分析  未填写"_s << u"可行性分析"_s;
    QTest::newRow("08") << u"08、最终研究成果  资料未填写完整"_s << u"预期成果"_s;
    QTest::newRow("09") << u"09、帐号  未填写"_s << u"经费"_s;
    QTest::newRow("10") << u"10、市教育局意见  未填写 高校、省直单位可不填"_s << u"推荐意见"_s;
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
    QCOMPARE(list->currentItem()->text(), u"03、主要参加者  资料未填写完整"_s);
    QCOMPARE(f.window->pageControl()->currentIndex(), 2);
    QCOMPARE(list->toolTip(), u"03、主要参加者  资料未填写完整"_s);
    press(list, Qt::Key_End);
    QCOMPARE(f.window->pageControl()->currentIndex(), 9);
    QCOMPARE(list->toolTip(), u"10、市教育局意见  未填写 高校、省直单位可不填"_s);
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

QTEST_MAIN(TestCheck)
#include "test_check.moc"
