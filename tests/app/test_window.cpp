// The window as it starts, its layout, the copies on page 2, Modified, help and the link.
#include "app/educodeedit.h"
#include "app/fieldlineedit.h"
#include "app/gridtable.h"
#include "app/interaction.h"
#include "app/windowlayout.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

using namespace shenbao;
using namespace shenbao::testing;
using namespace Qt::StringLiterals;

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void startUpState();
    void tableHeaders();
    void recordRoundTripsThroughTheControls();
    void layoutFollowsTheTables();
    void resizing();
    void dropDownsShowEightItems_data();
    void dropDownsShowEightItems();
    void tabOrder();
    void flatButtonsLeaveTheFocus();
    void copiesFollow();
    void modified_data();
    void modified();
    void help_data();
    void help();
    void registrationLink();
    void errorBoxText_data();
    void errorBoxText();
    void defaultSuffix_data();
    void defaultSuffix();
    void qtDialogsInChineseBoxesUnchanged(); // last: it installs a translator for good
};

void TestWindow::dropDownsShowEightItems_data()
{
    QTest::addColumn<QString>("style");
    for (const QString& key : QStyleFactory::keys())
        QTest::newRow(qPrintable(key)) << key;
}

// Under every style the list shows 8 items and scrolls for the rest.
void TestWindow::dropDownsShowEightItems()
{
    QFETCH(QString, style);
    const QString before = QApplication::style()->name();
    QApplication::setStyle(style);
    {
        WindowFixture f;
        QVERIFY(f.show());
        for (const FieldSpec& spec : fieldCatalogue()) {
            if (spec.kind != FieldKind::Choice || choiceItems(spec.field).size() <= 8)
                continue;
            auto* combo = f.field<QComboBox>(spec.field);
            f.window->pageControl()->setCurrentIndex(spec.page - 1);
            combo->showPopup();
            QAbstractItemView* view = combo->view();
            QTRY_VERIFY(view->isVisible());
            const QRect viewport = view->viewport()->rect();
            QCOMPARE(view->indexAt(QPoint(2, viewport.bottom() - 1)).row(), 7);
            QVERIFY(view->verticalScrollBar()->maximum() > 0);
            combo->hidePopup();
        }
    }
    QApplication::setStyle(before);
}

void TestWindow::startUpState()
{
    WindowFixture f;
    MainWindow& w = *f.window;
    QCOMPARE(w.windowTitle(), u"澄岚省教育科学规划课题立项申请填写程序"_s);
    QCOMPARE(w.size(), QSize(792, 562));
    QCOMPARE(w.pageControl()->currentIndex(), 0);
    QCOMPARE(w.pageControl()->count(), 10);
    QCOMPARE(w.pageControl()->tabText(9), u"推荐意见"_s);
    QVERIFY(!w.isModified());
    QCOMPARE(w.startupFileName(), QString());
    QVERIFY(f.ui.boxes.isEmpty() && f.ui.openRequests.isEmpty());

    // Every field in its control, at its initial value.
    const ApplicationRecord fresh;
    QCOMPARE(w.record(), fresh);
    for (const FieldSpec& spec : fieldCatalogue()) {
        QWidget* c = f.get<QWidget>(QString::fromUtf16(spec.name));
        QCOMPARE(c, w.fieldControl(spec.field));
        if (spec.kind == FieldKind::Choice) {
            auto* combo = static_cast<QComboBox*>(c);
            QCOMPARE(combo->currentIndex(), -1);
            QCOMPARE(combo->currentText(), QString());
            QCOMPARE(combo->maxVisibleItems(), 8);
            QVERIFY(!combo->isEditable());
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items.append(combo->itemText(i));
            QCOMPARE(items, choiceItems(spec.field));
        }
    }
    QCOMPARE(f.field<QLineEdit>(Field::EduCode)->text(), u"000-000-0000"_s);
    QCOMPARE(f.get<QLineEdit>(u"EduCode1"_s)->text(), u"000-000-0000"_s);
    QCOMPARE(f.get<QLineEdit>(u"Presider1"_s)->text(), QString());
    QCOMPARE(w.record().value(Field::EduCode), u"0000000000"_s);
    QCOMPARE(f.field<GridTable>(Field::FinallyProduction)->cellText(1, 3), u"研究报告"_s);
    QCOMPARE(f.get<QLabel>(u"ProjectID"_s)->text(), QString(24, u'0'));
    QVERIFY(f.get<QLabel>(u"ProjectID"_s)->isHidden());
    QVERIFY(f.get<QLabel>(u"passby"_s)->isHidden());
    QCOMPARE(f.get<QListWidget>(u"verifylist"_s)->count(), 0);
    QCOMPARE(f.get<QListWidget>(u"verifylist"_s)->toolTip(), u"鼠标点击错误记录，可以定位到页面"_s);
    auto* edit4 = f.get<QLineEdit>(u"Edit4"_s);
    QCOMPARE(edit4->text(), u"研究报告"_s);
    QVERIFY(edit4->isReadOnly());
    for (const char16_t* copy : {u"Presider1", u"EduCode1"}) {
        auto* c = f.get<QLineEdit>(QString::fromUtf16(copy));
        QVERIFY(c->isReadOnly());
        QVERIFY(!c->isEnabled());
    }
    QCOMPARE(f.get<QPlainTextEdit>(u"Memo1"_s)->toPlainText().split(u'\n').size(), 4);
    QCOMPARE(f.get<QPlainTextEdit>(u"Memo3"_s)->toPlainText().split(u'\n').at(3),
             u"的研究基础）。 （限4000字以内）"_s);
    QVERIFY(f.get<QPlainTextEdit>(u"Memo1"_s)->isReadOnly());
    QCOMPARE(f.field<QWidget>(Field::ApplyOutlay)->toolTip(), u"必须填写阿拉伯数字，不可复制粘贴"_s);
    // The hint, and the command's key after it.
    QCOMPARE(f.get<QWidget>(u"savexmlfile"_s)->toolTip(), u"保存文档前请先审核（Ctrl+S）"_s);
    QCOMPARE(f.get<QAbstractButton>(u"printreport"_s)->text(), u"预览\\打印"_s);
}

void TestWindow::tableHeaders()
{
    WindowFixture f;
    for (Field table : kTableFields) {
        auto* grid = f.field<GridTable>(table);
        const TableSpec& spec = *fieldSpec(table).table;
        QCOMPARE(grid->rowCount(), spec.dataRows);
        QCOMPARE(grid->columnCount(), int(spec.columns.size()));
        for (int c = 0; c < grid->columnCount(); ++c) {
            QCOMPARE(grid->horizontalHeaderItem(c)->text(),
                     QString::fromUtf16(spec.columns[std::size_t(c)].header));
            QCOMPARE(grid->columnWidth(c), spec.columns[std::size_t(c)].width);
        }
        QCOMPARE(grid->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
        for (int r = 1; r <= spec.dataRows; ++r)
            for (int c = 0; c < grid->columnCount(); ++c)
                if (!(table == Field::FinallyProduction && r == 1 && c == 3))
                    QCOMPARE(grid->cellText(r, c), QString());
    }
    QCOMPARE(f.field<GridTable>(Field::Production)->horizontalHeaderItem(0)->text(), u"        成果名称"_s);
    QCOMPARE(f.field<GridTable>(Field::FinallyProduction)->horizontalHeaderItem(1)->text(),
             u"             完成时间"_s);
}

void TestWindow::recordRoundTripsThroughTheControls()
{
    WindowFixture f;
    ApplicationRecord r = ApplicationRecord::empty();
    r.setValue(Field::ProjectName, u"  教育 "_s);
    r.setValue(Field::BelongCity, choiceItems(Field::BelongCity).at(1)); // the capital's second entry
    r.setValue(Field::Sex, u"女"_s);
    r.setValue(Field::ResearchClass, u"no such item"_s);
    r.setValue(Field::EduCode, u"12 4567890"_s);
    r.setValue(Field::tuijian1, u"第一行\r\n\r\n第三行\r\n"_s);
    r.table(Field::MainActor).setCell(15, 6, u"某校"_s);
    r.table(Field::FinallyProduction).setCell(1, 3, QString());
    r.setProjectId(u"{0123}"_s);
    f.window->setRecord(r);
    QCOMPARE(f.window->record(), r);
    QCOMPARE(f.field<QComboBox>(Field::BelongCity)->currentIndex(), 0);
    QCOMPARE(f.field<QComboBox>(Field::ResearchClass)->currentIndex(), -1);
    QCOMPARE(f.field<QLineEdit>(Field::EduCode)->text(), u"12 -456-7890"_s);
}

namespace {
QString rectText(const QRect& r)
{
    return u"(%1,%2 %3x%4)"_s.arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}
} // namespace

void TestWindow::layoutFollowsTheTables()
{
    WindowFixture f;
    // A sample of each kind of placement: in a group box, caption at left, caption above,
    // on a page, in the command panel.
    QCOMPARE(f.get<QGroupBox>(u"GroupBox1"_s)->geometry(), QRect(0, 128, 569, 265));
    QCOMPARE(f.field<QWidget>(Field::ProjectName)->geometry(), QRect(72, 28, 473, 21));
    QCOMPARE(f.field<QWidget>(Field::ProjectName)->parentWidget()->objectName(), u"GroupBox1"_s);
    QCOMPARE(f.get<QLabel>(u"ProjectNameCaption"_s)->pos(), QPoint(8, 32));
    QCOMPARE(f.get<QLabel>(u"EduCodeCaption"_s)->text(), u"教育电子身份证号：     "_s);
    QCOMPARE(f.get<QLabel>(u"ContactTelAreaCaption"_s)->geometry(),
             QRect(80, 424, f.get<QLabel>(u"ContactTelAreaCaption"_s)->width(), 13));
    QCOMPARE(f.field<QWidget>(Field::OutlayPromises)->geometry(), QRect(16, 80, 585, 249));
    QCOMPARE(f.field<QWidget>(Field::jiaoyujuyijian)->geometry(), QRect(16, 456, 577, 65));
    QCOMPARE(f.get<QWidget>(u"verifylist"_s)->geometry(), QRect(8, 36, 154, 333));
    QCOMPARE(f.get<QWidget>(u"printreport"_s)->geometry(), QRect(96, 464, 66, 66));
    QCOMPARE(f.get<QLabel>(u"Label41"_s)->size(), QSize(88, 13));
    QCOMPARE(f.get<QLabel>(u"MainActorHint"_s)->text(), QString::fromUtf16(fieldSpec(Field::MainActor).hint));

    // No two controls of a container overlap, captions included.
    for (QWidget* container : f.window->findChildren<QWidget*>()) {
        if (container->objectName() == u"PageControl1" || qobject_cast<QTabWidget*>(container))
            continue;
        QList<QWidget*> children;
        for (QObject* o : container->children())
            if (auto* c = qobject_cast<QWidget*>(o);
                c && !c->isWindow() && !c->isHidden() &&
                (qobject_cast<QLabel*>(c) || qobject_cast<QLineEdit*>(c) || qobject_cast<QComboBox*>(c)))
                children.append(c);
        for (qsizetype i = 0; i < children.size(); ++i)
            for (qsizetype j = i + 1; j < children.size(); ++j)
                QVERIFY2(!children[i]->geometry().intersects(children[j]->geometry()),
                         qPrintable(u"%1 %2 overlaps %3 %4 (font %5)"_s.arg(children[i]->objectName())
                                        .arg(rectText(children[i]->geometry()), children[j]->objectName(),
                                             rectText(children[j]->geometry()),
                                             QFontInfo(children[j]->font()).family())));
    }
}

void TestWindow::resizing()
{
    WindowFixture f;
    QVERIFY(f.show());
    auto* mainActor = f.field<QWidget>(Field::MainActor);
    auto* finals = f.field<QWidget>(Field::FinallyProduction);
    auto* expected = f.field<QWidget>(Field::ExpectProduction);
    f.window->pageControl()->setCurrentIndex(7);
    QCoreApplication::processEvents();
    const QSize finalsSize = finals->size();
    const int expectedHeight = expected->height();
    f.window->pageControl()->setCurrentIndex(2);
    QCoreApplication::processEvents();
    const QRect name = f.field<QWidget>(Field::ProjectName)->geometry();
    const QRect memo = f.field<QWidget>(Field::ProjectReasoning)->geometry();
    const QRect hint = f.get<QWidget>(u"MainActorHint"_s)->geometry();
    const int tableWidth = mainActor->width();

    f.window->resize(892, 662);
    QTRY_COMPARE(mainActor->width(), tableWidth + 100);
    QCOMPARE(mainActor->height(), 410);
    QCOMPARE(f.get<QWidget>(u"verifylist"_s)->parentWidget()->width(), 168);
    QCOMPARE(f.field<QWidget>(Field::ProjectName)->geometry(), name);
    QCOMPARE(f.field<QWidget>(Field::ProjectReasoning)->geometry(), memo);
    QCOMPARE(f.get<QWidget>(u"MainActorHint"_s)->geometry(), hint);
    // Pages that are not shown take their size when they are.
    f.window->pageControl()->setCurrentIndex(7);
    QTRY_COMPARE(finals->size(), finalsSize + QSize(100, 100));
    QCOMPARE(expected->height(), expectedHeight);
    QCOMPARE(expected->width(), finals->width());

    f.window->resize(742, 562);
    f.window->pageControl()->setCurrentIndex(2);
    QTRY_COMPARE(mainActor->width(), tableWidth - 50);

    // Lower than the design (a small screen at a high scaling): nothing moves, the pages scroll.
    f.window->resize(792, 400);
    auto* scroller = f.get<QScrollArea>(u"MainScroller"_s);
    QTRY_VERIFY(scroller->verticalScrollBar()->isVisible());
    QCOMPARE(f.get<QWidget>(u"printreport"_s)->geometry(), QRect(96, 464, 66, 66));
    QCOMPARE(mainActor->height(), 410);
    scroller->verticalScrollBar()->setValue(scroller->verticalScrollBar()->maximum());
    QVERIFY(f.get<QWidget>(u"printreport"_s)->visibleRegion().boundingRect().height() == 66);
}

void TestWindow::tabOrder()
{
    WindowFixture f;
    QVERIFY(f.show());
    // Page 1's group box in its tab order, then the panel comes first in the window.
    const QStringList page1{u"ProjectName"_s,
                            u"KeyWord"_s,
                            u"ProjectClass"_s,
                            u"SubjectClass"_s,
                            u"ResearchClass"_s,
                            u"ApplyOutlay"_s,
                            u"Edit4"_s,
                            u"ExpectProduction1"_s,
                            u"Presider"_s,
                            u"EduCode"_s,
                            u"ExpectProduction2"_s,
                            u"InputDate"_s,
                            u"ExpectCompleteDate"_s,
                            u"verifylist"_s,
                            u"verifydata"_s};
    f.field<QWidget>(Field::ProjectName)->setFocus(Qt::TabFocusReason);
    for (qsizetype i = 1; i < page1.size(); ++i) {
        press(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), page1[i]);
    }
    // Page 2: the disabled copies are skipped.
    f.window->pageControl()->setCurrentIndex(1);
    f.field<QWidget>(Field::Nation)->setFocus(Qt::TabFocusReason);
    const QStringList page2{u"Nation"_s, u"Sex"_s, u"IDcard"_s, u"DutyAdmin"_s};
    for (qsizetype i = 1; i < page2.size(); ++i) {
        press(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), page2[i]);
    }
    f.field<QWidget>(Field::Department)->setFocus(Qt::TabFocusReason);
    press(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"Birthday"_s);
    // Page 9: the caption-above boxes first, the promise last.
    f.window->pageControl()->setCurrentIndex(8);
    f.field<QWidget>(Field::OutlayAccounts)->setFocus(Qt::TabFocusReason);
    press(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), u"OutlayPromises"_s);
}

void TestWindow::flatButtonsLeaveTheFocus()
{
    WindowFixture f;
    QVERIFY(f.show());
    auto* name = f.field<QWidget>(Field::ProjectName);
    name->setFocus();
    for (const char16_t* button : {u"openxmlfile", u"savexmlfile", u"helpinfo", u"printreport"}) {
        auto* b = f.get<QAbstractButton>(QString::fromUtf16(button));
        QCOMPARE(b->focusPolicy(), Qt::NoFocus);
        QTest::mouseClick(b, Qt::LeftButton);
        QTRY_VERIFY(name->hasFocus()); // the print command's windows come and go first
    }
    QVERIFY(f.get<QWidget>(u"verifydata"_s)->focusPolicy() & Qt::TabFocus);
}

void TestWindow::copiesFollow()
{
    WindowFixture f;
    auto* presider = f.field<QLineEdit>(Field::Presider);
    auto* presider1 = f.get<QLineEdit>(u"Presider1"_s);
    typeText(presider, u"张"_s);
    QCOMPARE(presider1->text(), u"张"_s);
    typeText(presider, u"三"_s);
    QCOMPARE(presider1->text(), u"张三"_s);
    presider->selectAll();
    press(presider, Qt::Key_Delete);
    QCOMPARE(presider1->text(), QString());

    // Program writes are followed too, the code's copy through the same mask.
    ApplicationRecord r;
    r.setValue(Field::Presider, u"李四"_s);
    r.setValue(Field::EduCode, u"12345"_s);
    f.window->setRecord(r);
    QCOMPARE(presider1->text(), u"李四"_s);
    QCOMPARE(f.get<QLineEdit>(u"EduCode1"_s)->text(), u"123-45_-____"_s);
    // The copies are not part of the record.
    QVERIFY(!fieldByName(u"Presider1").has_value());
}

// Which edits set Modified. "how" names the edit made after start-up.
void TestWindow::modified_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("modified");
    QTest::newRow("typing into a text field") << u"type:ProjectName"_s << true;
    QTest::newRow("typing into OutlayPostcode") << u"type:OutlayPostcode"_s << true;
    QTest::newRow("a refused character in IDcard") << u"refused:IDcard"_s << false;
    QTest::newRow("a refused character at the limit") << u"full:PostCode"_s << true; // the fill itself
    QTest::newRow("choosing an item by the keyboard") << u"choose:Sex"_s << true;
    QTest::newRow("a choice written by the program") << u"write:Sex"_s << false;
    QTest::newRow("a text written by the program") << u"write:KeyWord"_s << true;
    QTest::newRow("EduCode written by the program") << u"write:EduCode"_s << true;
    QTest::newRow("typing into EduCode") << u"type:EduCode"_s << true;
    QTest::newRow("moving between table cells without typing") << u"move:Production"_s << true;
    QTest::newRow("typing into a table cell") << u"cell:ResearchedProject"_s << true;
    QTest::newRow("ProjectReasoning") << u"type:ProjectReasoning"_s << true;
    // Our choice: every long text sets it, so that closing never loses an opinion typed in.
    QTest::newRow("OutlayPromises") << u"type:OutlayPromises"_s << true;
    QTest::newRow("tuijian1") << u"type:tuijian1"_s << true;
    QTest::newRow("jiaoyujuyijian") << u"type:jiaoyujuyijian"_s << true;
    QTest::newRow("selecting text in Memo1") << u"select:Memo1"_s << false;
    QTest::newRow("switching pages") << u"page:"_s << false;
    QTest::newRow("the start-up state") << u"none:"_s << false;
}

void TestWindow::modified()
{
    QFETCH(QString, how);
    QFETCH(bool, modified);
    WindowFixture f;
    QVERIFY(f.show());
    const QString action = how.section(u':', 0, 0);
    const QString name = how.section(u':', 1);
    if (action == u"type") {
        QWidget* w = f.get<QWidget>(name);
        f.window->pageControl()->setCurrentIndex(fieldSpec(*fieldByName(name)).page - 1);
        w->setFocus(Qt::MouseFocusReason);
        if (auto* code = qobject_cast<EduCodeEdit*>(w))
            code->setCursorPosition(0);
        typeText(w, u"1"_s);
    } else if (action == u"refused") {
        typeText(f.get<QWidget>(name), u"a"_s);
    } else if (action == u"full") {
        typeText(f.get<QWidget>(name), u"1234567"_s);
    } else if (action == u"choose") {
        f.window->pageControl()->setCurrentIndex(1);
        f.get<QWidget>(name)->setFocus();
        press(f.get<QWidget>(name), Qt::Key_Down);
        QCOMPARE(f.get<QComboBox>(name)->currentIndex(), 0);
    } else if (action == u"write") {
        ApplicationRecord r;
        r.setValue(*fieldByName(name), name == u"Sex" ? u"男"_s : name == u"EduCode" ? u"1"_s : u"x"_s);
        f.window->setRecord(r);
    } else if (action == u"move" || action == u"cell") {
        auto* grid = f.get<GridTable>(name);
        f.window->pageControl()->setCurrentIndex(fieldSpec(*fieldByName(name)).page - 1);
        grid->setFocus(Qt::MouseFocusReason);
        QVERIFY(!f.window->isModified());
        if (action == u"cell")
            typeText(QApplication::focusWidget(), u"x"_s);
        else
            press(QApplication::focusWidget(), Qt::Key_Down);
        QVERIFY(grid->isEditing());
    } else if (action == u"select") {
        f.window->pageControl()->setCurrentIndex(5);
        auto* memo = f.get<QPlainTextEdit>(name);
        memo->setFocus();
        memo->selectAll();
        typeText(memo, u"x"_s);
    } else if (action == u"page") {
        for (int i = 0; i < 10; ++i)
            f.window->pageControl()->setCurrentIndex(i);
    }
    QCOMPARE(f.window->isModified(), modified);
    QVERIFY(!f.get<QWidget>(u"Presider1"_s)->isEnabled());
}

void TestWindow::help_data()
{
    QTest::addColumn<QString>("beside");    // what stands at <program dir>/help.doc
    QTest::addColumn<QString>("installed"); // what stands at <program dir>/../share/shenbao/help.doc
    QTest::addColumn<QString>("opened");    // "beside", "installed" or "" for the message
    QTest::newRow("beside the program") << u"file"_s << QString() << u"beside"_s;
    QTest::newRow("missing") << QString() << QString() << QString();
    QTest::newRow("a folder of that name") << u"folder"_s << QString() << QString();
    QTest::newRow("installed") << QString() << u"file"_s << u"installed"_s;
    QTest::newRow("beside the program comes first") << u"file"_s << u"file"_s << u"beside"_s;
    QTest::newRow("a folder beside, the installed file") << u"folder"_s << u"file"_s << u"installed"_s;
    QTest::newRow("an installed folder") << QString() << u"folder"_s << QString();
}

void TestWindow::help()
{
    QFETCH(QString, beside);
    QFETCH(QString, installed);
    QFETCH(QString, opened);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(u"bin"_s) && QDir(dir.path()).mkpath(u"share/shenbao"_s));
    const QString besidePath = dir.filePath(u"bin/help.doc"_s);
    const QString installedPath = dir.filePath(u"share/shenbao/help.doc"_s);
    for (const auto& [kind, path] : {std::pair{beside, besidePath}, std::pair{installed, installedPath}}) {
        if (kind == u"file") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (kind == u"folder") {
            QVERIFY(QDir().mkdir(path));
        }
    }
    WindowFixture f({}, dir.filePath(u"bin"_s));
    QTest::mouseClick(f.get<QAbstractButton>(u"helpinfo"_s), Qt::LeftButton);
    if (!opened.isEmpty()) {
        QCOMPARE(f.ui.urls,
                 QList<QUrl>{QUrl::fromLocalFile(opened == u"beside" ? besidePath : installedPath)});
        QVERIFY(f.ui.boxes.isEmpty());
    } else {
        QVERIFY(f.ui.urls.isEmpty());
        QCOMPARE(f.ui.texts(ScriptedInteraction::Box::Plain),
                 QStringList{u"程序目录下没有找到帮助文档help.doc，请上网下载帮助文档！"_s});
    }
    QVERIFY(!f.window->isModified());
}

void TestWindow::registrationLink()
{
    WindowFixture f;
    auto* link = f.get<QLabel>(u"Label41"_s);
    QCOMPARE(link->text(), u"点击申请号码    "_s);
    QCOMPARE(link->focusPolicy(), Qt::NoFocus);
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(f.ui.urls.size(), 1);
    QCOMPARE(f.ui.urls.first().host(), u"eduid.example.org"_s);
    QVERIFY(f.ui.boxes.isEmpty());
}

void TestWindow::errorBoxText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a full stop is added") << u"Invalid input value.  Use escape key to abandon changes"_s
                                          << u"Invalid input value.  Use escape key to abandon changes."_s;
    QTest::newRow("ends in a full stop") << u"Done."_s << u"Done."_s;
    QTest::newRow("ends in !") << u"Stop!"_s << u"Stop!"_s;
    QTest::newRow("ends in )") << u"(x)"_s << u"(x)"_s;
    QTest::newRow("ends in a blank") << u"x "_s << u"x "_s;
    QTest::newRow("ends in a digit") << u"Line: 3"_s << u"Line: 3."_s;
    QTest::newRow("ends in Chinese") << u"无法写入"_s << u"无法写入."_s;
    QTest::newRow("empty") << QString() << QString();
}

void TestWindow::errorBoxText()
{
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(shenbao::errorBoxText(message), shown);
}

void TestWindow::defaultSuffix_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("used");
    QTest::newRow("no extension") << u"/tmp/a"_s << u"/tmp/a.xdx"_s;
    QTest::newRow("xdx") << u"/tmp/a.xdx"_s << u"/tmp/a.xdx"_s;
    QTest::newRow("another extension is kept") << u"/tmp/a.xml"_s << u"/tmp/a.xml"_s;
    QTest::newRow("a dot in the folder only") << u"/tmp/v1.2/a"_s << u"/tmp/v1.2/a.xdx"_s;
    QTest::newRow("cancelled") << QString() << QString();
}

void TestWindow::defaultSuffix()
{
    QFETCH(QString, typed);
    QFETCH(QString, used);
    QCOMPARE(withDefaultSuffix(typed, u"xdx"_s), used);
}

QTEST_MAIN(TestWindow)
// Qt's own dialogs speak the user's language; the message boxes keep their fixed texts.
void TestWindow::qtDialogsInChineseBoxesUnchanged()
{
    QVERIFY(installQtTranslations(QLocale(QLocale::Chinese, QLocale::China),
                                  QCoreApplication::applicationDirPath()));
    QVERIFY(QCoreApplication::translate("QFileDialog", "File &name:") != u"File &name:"_s);
    QVERIFY(QCoreApplication::translate("QPrintDialog", "Print") != u"Print"_s);

    struct Seen
    {
        QString title;
        QStringList buttons;
    };
    QList<Seen> seen;
    const auto answer = [&seen] {
        QTimer::singleShot(0, [&seen] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            Seen s{box->windowTitle(), {}};
            for (QAbstractButton* b : box->buttons())
                s.buttons.append(b->text());
            seen.append(s);
            box->reject();
        });
    };
    DesktopInteraction desktop;
    answer();
    desktop.errorBox(nullptr, u"x"_s);
    answer();
    desktop.informationBox(nullptr, u"x"_s);
    answer();
    desktop.questionBox(nullptr, u"x"_s);
    QCOMPARE(seen.size(), 3);
    QCOMPARE(seen[0].title, programTitle());
    QCOMPARE(seen[0].buttons, QStringList{u"OK"_s});
    QCOMPARE(seen[1].title, u"Information"_s);
    QCOMPARE(seen[1].buttons, QStringList{u"OK"_s});
    QCOMPARE(seen[2].title, u"Confirm"_s);
    QCOMPARE(seen[2].buttons, (QStringList{u"&Yes"_s, u"&No"_s}));

    // EduCode's own edit menu speaks as every other field's does, with their shortcuts, and its
    // undo takes back the field's own edits.
    WindowFixture f;
    QVERIFY(f.show());
    auto* code = f.field<EduCodeEdit>(Field::EduCode);
    code->setFocus();
    code->setCursorPosition(0);
    typeText(code, u"12"_s);
    QStringList shown, standard;
    QTimer::singleShot(0, [&shown] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        for (const QAction* a : menu->actions())
            shown.append(a->text());
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), code->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(code, &event);
    auto* name = f.field<FieldLineEdit>(Field::ProjectName);
    std::unique_ptr<QMenu> menu(name->createStandardContextMenu());
    for (const QAction* a : menu->actions())
        standard.append(a->text());
    QCOMPARE(shown, standard);
    QVERIFY2(shown.first().startsWith(u"撤消"_s), qPrintable(shown.join(u'|')));
    press(code, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(code->text(), u"100-000-0000"_s);
    press(code, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(code->text(), u"120-000-0000"_s);
}

#include "test_window.moc"
