// Typing into the window's fields: byte limits, key filters, the EduCode field, the tables.
#include "app/educodeedit.h"
#include "app/gridtable.h"
#include "app/longtextedit.h"
#include "record/textrules.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>

using namespace shenbao;
using namespace shenbao::testing;
using namespace Qt::StringLiterals;

class TestEditing : public QObject
{
    Q_OBJECT

private slots:
    void lineLimits_data();
    void lineLimits();
    void pasteInsertsWhatFits_data();
    void pasteInsertsWhatFits();
    void inputMethodCommitIsLimited();
    void programWritesAreNotLimited();
    void longTextLimits_data();
    void longTextLimits();

    void keyFilters_data();
    void keyFilters();
    void filteredFieldsCloseEveryPasteRoute();
    void filteredFieldsStillEdit();

    void eduCode_data();
    void eduCode();
    void eduCodeLeavingIncompleteReturns();
    void eduCodeLeavingUnchangedDoesNotCheck();
    void eduCodeFocusBackIsNotEntering_data();
    void eduCodeFocusBackIsNotEntering();
    void eduCodeLeavingByAnotherPage();

    void tableEditorAndTab();
};

// ---------------------------------------------------------------------------------------------
// Byte limits

void TestEditing::lineLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    const QString zh40 = repeated(u"汉"_s, 40);
    QTest::newRow("80 ASCII fill 80 bytes")
        << u"ProjectName"_s << repeated(u"a"_s, 81) << repeated(u"a"_s, 80);
    QTest::newRow("40 Chinese fill 80 bytes, the 41st is refused")
        << u"ProjectName"_s << zh40 + u"字"_s << zh40;
    QTest::newRow("a Chinese character does not fit in the last byte")
        << u"ProjectName"_s << repeated(u"a"_s, 79) + u"汉b"_s << repeated(u"a"_s, 79) + u"b"_s;
    QTest::newRow("Presider 20 bytes") << u"Presider"_s << repeated(u"张"_s, 11) << repeated(u"张"_s, 10);
    QTest::newRow("OutlayPostcode 6 bytes") << u"OutlayPostcode"_s << u"1234567"_s << u"123456"_s;
    QTest::newRow("blanks count") << u"PostCode"_s << u"      x"_s << u"      "_s;
}

void TestEditing::lineLimits()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    WindowFixture f;
    auto* edit = f.get<QLineEdit>(field);
    typeText(edit, typed);
    QCOMPARE(edit->text(), expected);
}

void TestEditing::pasteInsertsWhatFits_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("expected");

    QTest::newRow("into the empty field") << QString() << 0 << repeated(u"汉"_s, 50) << repeated(u"汉"_s, 40);
    QTest::newRow("in the middle, the rest of the text kept")
        << repeated(u"a"_s, 70) << 10 << repeated(u"汉"_s, 10)
        << repeated(u"a"_s, 10) + repeated(u"汉"_s, 5) + repeated(u"a"_s, 60);
    QTest::newRow("only whole characters")
        << repeated(u"a"_s, 77) << 77 << u"汉汉"_s << repeated(u"a"_s, 77) + u"汉"_s;
    QTest::newRow("nothing fits: nothing changes")
        << repeated(u"a"_s, 80) << 0 << u"b"_s << repeated(u"a"_s, 80);
}

void TestEditing::pasteInsertsWhatFits()
{
    QFETCH(QString, before);
    QFETCH(int, cursor);
    QFETCH(QString, clipboard);
    QFETCH(QString, expected);
    WindowFixture f;
    auto* edit = f.field<QLineEdit>(Field::ProjectName);
    typeText(edit, before);
    edit->setCursorPosition(cursor);
    setClipboard(clipboard);
    press(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), expected);
}

void TestEditing::inputMethodCommitIsLimited()
{
    WindowFixture f;
    auto* edit = f.field<QLineEdit>(Field::KeyWord); // 50 bytes
    commitText(edit, repeated(u"词"_s, 30));
    QCOMPARE(edit->text(), repeated(u"词"_s, 25));
    commitText(edit, u"多"_s);
    QCOMPARE(edit->text(), repeated(u"词"_s, 25));
}

void TestEditing::programWritesAreNotLimited()
{
    WindowFixture f;
    ApplicationRecord r;
    const QString title = repeated(u"长"_s, 60);       // 120 bytes
    const QString reasoning = repeated(u"论"_s, 4100); // 8200 bytes
    r.setValue(Field::ProjectName, title);
    r.setValue(Field::ProjectReasoning, reasoning);
    f.window->setRecord(r);
    auto* edit = f.field<QLineEdit>(Field::ProjectName);
    QCOMPARE(edit->text(), title);
    QCOMPARE(f.window->record().value(Field::ProjectReasoning), reasoning);
    // The user may shorten such a text but not lengthen it.
    edit->setCursorPosition(60);
    typeText(edit, u"x"_s);
    QCOMPARE(edit->text(), title);
    press(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), repeated(u"长"_s, 59));
}

void TestEditing::longTextLimits_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("before"); // typed first
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("typed"); // typed after the paste
    QTest::addColumn<QString>("expected");

    const QString zh349 = repeated(u"意"_s, 349);
    QTest::newRow("a line break counts 2 bytes")
        << u"danweiyijian"_s << zh349 << QString() << u"\nX"_s << zh349 + u"\n"_s;
    QTest::newRow("no room for a line break at 699 bytes")
        << u"danweiyijian"_s << zh349 + u"a"_s << QString() << u"\nb"_s << zh349 + u"ab"_s;
    QTest::newRow("paste keeps what fits, the line break included")
        << u"jiaoyujuyijian"_s << QString() << zh349 + u"\n"_s + u"XY"_s << QString() << zh349 + u"\n"_s;
    QTest::newRow("4000 Chinese characters in one paragraph")
        << u"ProjectReasoning"_s << QString() << repeated(u"研"_s, 4001) << u"z"_s << repeated(u"研"_s, 4000);
    QTest::newRow("OutlayPromises 1100 bytes") << u"OutlayPromises"_s << QString() << repeated(u"a"_s, 1099)
                                               << u"bc"_s << repeated(u"a"_s, 1099) + u"b"_s;
}

void TestEditing::longTextLimits()
{
    QFETCH(QString, field);
    QFETCH(QString, before);
    QFETCH(QString, pasted);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    WindowFixture f;
    auto* edit = f.get<QPlainTextEdit>(field);
    typeText(edit, before);
    if (!pasted.isEmpty()) {
        setClipboard(pasted);
        edit->paste();
    }
    typeText(edit, typed);
    QCOMPARE(edit->toPlainText(), expected);
    QVERIFY(gbkByteLength(edit->toPlainText()) <= static_cast<LongTextEdit*>(edit)->byteLimit());
}

// ---------------------------------------------------------------------------------------------
// Key filters

void TestEditing::keyFilters_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("IDcard refuses a letter") << u"IDcard"_s << u"a"_s << QString();
    QTest::newRow("IDcard refuses a hyphen") << u"IDcard"_s << u"-"_s << QString();
    QTest::newRow("IDcard refuses Chinese") << u"IDcard"_s << u"中"_s << QString();
    QTest::newRow("IDcard keeps lower-case x") << u"IDcard"_s << u"12x"_s << u"12x"_s;
    QTest::newRow("IDcard takes X anywhere") << u"IDcard"_s << u"X1X"_s << u"X1X"_s;
    QTest::newRow("IDcard 18 characters, then full")
        << u"IDcard"_s << u"11010519491231002X9"_s << u"11010519491231002X"_s;
    QTest::newRow("ApplyOutlay one point") << u"ApplyOutlay"_s << u"12.5"_s << u"12.5"_s;
    QTest::newRow("ApplyOutlay two points in a row") << u"ApplyOutlay"_s << u"1..2"_s << u"1..2"_s;
    QTest::newRow("ApplyOutlay drops letters, blanks, signs")
        << u"ApplyOutlay"_s << u"a1 -+,2万"_s << u"12"_s;
    QTest::newRow("ApplyOutlay 6 bytes") << u"ApplyOutlay"_s << u"1234567"_s << u"123456"_s;
}

void TestEditing::keyFilters()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    WindowFixture f;
    auto* edit = f.get<QLineEdit>(field);
    typeText(edit, typed);
    QCOMPARE(edit->text(), expected);
    QCOMPARE(f.ui.beeps, 0); // dropped silently
    QVERIFY(f.ui.boxes.isEmpty());
}

void TestEditing::filteredFieldsCloseEveryPasteRoute()
{
    WindowFixture f;
    QVERIFY(f.show());
    for (Field field : {Field::ApplyOutlay, Field::IDcard}) {
        auto* edit = f.field<QLineEdit>(field);
        edit->setFocus();
        setClipboard(u"123"_s);
        press(edit, Qt::Key_V, Qt::ControlModifier);
        press(edit, Qt::Key_Insert, Qt::ShiftModifier);
        QTest::mouseClick(edit, Qt::MiddleButton);
        commitText(edit, u"中文"_s);
        QCOMPARE(edit->text(), QString());
        QVERIFY(!edit->acceptDrops());
        QCOMPARE(edit->contextMenuPolicy(), Qt::PreventContextMenu);

        // Right-clicking puts the focus into the field and offers no menu.
        f.field<QWidget>(Field::ProjectName)->setFocus();
        QTest::mouseClick(edit, Qt::RightButton);
        QVERIFY(edit->hasFocus());
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(2, 2), edit->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(edit, &menu);
        QVERIFY(!QApplication::activePopupWidget());
    }
    // Copy and undo by the keyboard do nothing either.
    auto* outlay = f.field<QLineEdit>(Field::ApplyOutlay);
    outlay->setFocus();
    typeText(outlay, u"42"_s);
    setClipboard(u"before"_s);
    outlay->selectAll();
    press(outlay, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), u"before"_s);
    press(outlay, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(outlay->text(), u"42"_s);
    // Only ApplyOutlay switches the input method off.
    QVERIFY(!outlay->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(f.field<QWidget>(Field::IDcard)->testAttribute(Qt::WA_InputMethodEnabled));
    // Other fields keep the usual routes.
    auto* name = f.field<QLineEdit>(Field::ProjectName);
    setClipboard(u"123"_s);
    name->setFocus();
    press(name, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(name->text(), u"123"_s);
    QCOMPARE(name->contextMenuPolicy(), Qt::DefaultContextMenu);
}

void TestEditing::filteredFieldsStillEdit()
{
    WindowFixture f;
    auto* edit = f.field<QLineEdit>(Field::IDcard);
    typeText(edit, u"123"_s);
    press(edit, Qt::Key_Home);
    press(edit, Qt::Key_Delete);
    QCOMPARE(edit->text(), u"23"_s);
    press(edit, Qt::Key_End);
    press(edit, Qt::Key_Left);
    press(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), u"3"_s);
}

// ---------------------------------------------------------------------------------------------
// EduCode

// Steps: "tab" enters the field by the keyboard, "cN" puts the cursor at N (as a click does),
// "sA,B" selects display positions A..B-1, "t..." types, "p..." pastes, "<bs>", "<del>",
// "<esc>", "<enter>", "<cut>".
void TestEditing::eduCode_data()
{
    QTest::addColumn<QString>("start"); // value written first
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<int>("errorBoxes");

    const QString initial = u"0000000000"_s;
    QTest::newRow("click before the first digit, type 12345: overwrite")
        << initial << QStringList{u"c0"_s, u"t12345"_s} << u"123-450-0000"_s << u"1234500000"_s << 0 << 0;
    QTest::newRow("tab in selects all; typing empties the selection first")
        << initial << QStringList{u"tab"_s, u"t12345"_s} << u"123-45_-____"_s << u"12345"_s << 0 << 0;
    QTest::newRow("esc restores the text from entering the field")
        << initial << QStringList{u"tab"_s, u"t12345"_s, u"<esc>"_s} << u"000-000-0000"_s << initial << 0
        << 0;
    QTest::newRow("enter on an incomplete entry: beep and error box")
        << initial << QStringList{u"tab"_s, u"t12"_s, u"<enter>"_s} << u"12_-___-____"_s << u"12"_s << 1 << 1;
    QTest::newRow("enter on a complete entry says nothing")
        << initial << QStringList{u"c0"_s, u"t9"_s, u"<enter>"_s} << u"900-000-0000"_s << u"9000000000"_s << 0
        << 0;
    QTest::newRow("a blank position is incomplete too")
        << u"12 4567890"_s << QStringList{u"c9"_s, u"t1"_s, u"<enter>"_s} << u"12 -456-7190"_s
        << u"12 4567190"_s << 1 << 1;
    QTest::newRow("letters are refused with a beep")
        << initial << QStringList{u"c0"_s, u"ta"_s, u"t中"_s} << u"000-000-0000"_s << initial << 2 << 0;
    QTest::newRow("typing skips the separators")
        << initial << QStringList{u"c2"_s, u"t12"_s} << u"001-200-0000"_s << u"0012000000"_s << 0 << 0;
    QTest::newRow("hyphen just before a separator moves past it")
        << initial << QStringList{u"c3"_s, u"t-"_s, u"t7"_s} << u"000-700-0000"_s << u"0007000000"_s << 0
        << 0;
    QTest::newRow("hyphen elsewhere is refused")
        << initial << QStringList{u"c1"_s, u"t-"_s} << u"000-000-0000"_s << initial << 1 << 0;
    QTest::newRow("typing at the end is refused")
        << initial << QStringList{u"c12"_s, u"t5"_s} << u"000-000-0000"_s << initial << 1 << 0;
    QTest::newRow("backspace after a separator empties the digit before it")
        << u"1234567890"_s << QStringList{u"c4"_s, u"<bs>"_s} << u"12_-456-7890"_s << u"12 4567890"_s << 0
        << 0;
    QTest::newRow("delete empties the position at the cursor, digits stay put")
        << u"1234567890"_s << QStringList{u"c4"_s, u"<del>"_s} << u"123-_56-7890"_s << u"123 567890"_s << 0
        << 0;
    QTest::newRow("a selection is emptied as a whole") << u"1234567890"_s << QStringList{u"s2,6"_s, u"<bs>"_s}
                                                       << u"12_-__6-7890"_s << u"12   67890"_s << 0 << 0;
    QTest::newRow("trailing empty positions are dropped from the value")
        << u"1234567890"_s << QStringList{u"s6,12"_s, u"<del>"_s} << u"123-45_-____"_s << u"12345"_s << 0
        << 0;
    QTest::newRow("paste meets the separators") << initial << QStringList{u"c0"_s, u"p123-456-7890"_s}
                                                << u"123-456-7890"_s << u"1234567890"_s << 0 << 0;
    QTest::newRow("paste inserts missing separators") << initial << QStringList{u"c0"_s, u"p1234567890"_s}
                                                      << u"123-456-7890"_s << u"1234567890"_s << 0 << 0;
    QTest::newRow("paste: a non-digit becomes an empty position")
        << initial << QStringList{u"c0"_s, u"p12a4"_s} << u"12_-400-0000"_s << u"12 4000000"_s << 0 << 0;
    QTest::newRow("paste: text beyond the last position is ignored")
        << initial << QStringList{u"c9"_s, u"p98765"_s} << u"000-000-0987"_s << u"0000000987"_s << 0 << 0;
    QTest::newRow("cut empties the selection") << u"1234567890"_s << QStringList{u"s0,3"_s, u"<cut>"_s}
                                               << u"___-456-7890"_s << u"   4567890"_s << 0 << 0;
}

void TestEditing::eduCode()
{
    QFETCH(QString, start);
    QFETCH(QStringList, steps);
    QFETCH(QString, display);
    QFETCH(QString, value);
    QFETCH(int, beeps);
    QFETCH(int, errorBoxes);

    WindowFixture f;
    QVERIFY(f.show());
    auto* code = f.field<EduCodeEdit>(Field::EduCode);
    ApplicationRecord r;
    r.setValue(Field::EduCode, start);
    f.window->setRecord(r);
    f.field<QWidget>(Field::Presider)->setFocus();
    for (const QString& step : steps) {
        if (step == u"tab") {
            press(f.field<QWidget>(Field::Presider), Qt::Key_Tab);
            QVERIFY(code->hasFocus());
            QCOMPARE(code->selectedText(), code->text());
        } else if (step.startsWith(u'c')) {
            code->setFocus(Qt::MouseFocusReason);
            code->setCursorPosition(step.mid(1).toInt());
        } else if (step.startsWith(u's')) {
            code->setFocus(Qt::MouseFocusReason);
            const QStringList range = step.mid(1).split(u',');
            code->setSelection(range[0].toInt(), range[1].toInt() - range[0].toInt());
        } else if (step.startsWith(u't')) {
            typeText(code, step.mid(1));
        } else if (step.startsWith(u'p')) {
            setClipboard(step.mid(1));
            press(code, Qt::Key_V, Qt::ControlModifier);
        } else if (step == u"<bs>") {
            press(code, Qt::Key_Backspace);
        } else if (step == u"<del>") {
            press(code, Qt::Key_Delete);
        } else if (step == u"<esc>") {
            press(code, Qt::Key_Escape);
        } else if (step == u"<enter>") {
            press(code, Qt::Key_Return);
        } else if (step == u"<cut>") {
            const QString selected = code->selectedText();
            press(code, Qt::Key_X, Qt::ControlModifier);
            QCOMPARE(QApplication::clipboard()->text(), selected);
        }
    }
    QCOMPARE(code->text(), display);
    QCOMPARE(code->value(), value);
    QCOMPARE(f.window->record().value(Field::EduCode), value);
    QCOMPARE(f.ui.beeps, beeps);
    const QStringList errors = f.ui.texts(ScriptedInteraction::Box::Error);
    QCOMPARE(errors.size(), errorBoxes);
    for (const QString& e : errors)
        QCOMPARE(e, u"Invalid input value.  Use escape key to abandon changes."_s);
    if (errorBoxes > 0) {
        QCOMPARE(code->cursorPosition(), display.indexOf(QRegularExpression(u"[_ ]"_s)));
        QVERIFY(code->hasFocus());
    }
    // The copy on page 2 shows the value through the same mask.
    QCOMPARE(f.get<QLineEdit>(u"EduCode1"_s)->text(), eduCodeDisplay(value));
}

void TestEditing::eduCodeLeavingIncompleteReturns()
{
    WindowFixture f;
    QVERIFY(f.show());
    auto* code = f.field<EduCodeEdit>(Field::EduCode);
    f.field<QWidget>(Field::Presider)->setFocus();
    press(f.field<QWidget>(Field::Presider), Qt::Key_Tab);
    typeText(code, u"12345"_s);
    QCOMPARE(code->text(), u"123-45_-____"_s);
    press(code, Qt::Key_Tab);
    QTRY_COMPARE(f.ui.texts(ScriptedInteraction::Box::Error).size(), 1);
    QVERIFY(code->hasFocus());
    QCOMPARE(f.ui.beeps, 1);
    QCOMPARE(code->cursorPosition(), 6);
    // Esc still restores what the field held when it was first entered.
    press(code, Qt::Key_Escape);
    QCOMPARE(code->text(), u"000-000-0000"_s);
    press(code, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QVERIFY(!code->hasFocus());
    QCOMPARE(f.ui.texts(ScriptedInteraction::Box::Error).size(), 1);
}

void TestEditing::eduCodeLeavingUnchangedDoesNotCheck()
{
    WindowFixture f;
    QVERIFY(f.show());
    ApplicationRecord r;
    r.setValue(Field::EduCode, u"12345"_s); // as a document may hold it
    f.window->setRecord(r);
    auto* code = f.field<EduCodeEdit>(Field::EduCode);
    code->setFocus(Qt::TabFocusReason);
    press(code, Qt::Key_Tab);
    QCoreApplication::processEvents();
    QVERIFY(!code->hasFocus());
    QVERIFY(f.ui.boxes.isEmpty());
}

void TestEditing::eduCodeFocusBackIsNotEntering_data()
{
    QTest::addColumn<QString>("away");
    QTest::newRow("its own error box") << u"box"_s;
    QTest::newRow("the save command's dialog") << u"save"_s;
    QTest::newRow("its context menu") << u"menu"_s;
}

// A box, a dialog or a menu takes the focus and gives it back: Esc still restores what the field
// held when it was entered, and leaving it still checks.
void TestEditing::eduCodeFocusBackIsNotEntering()
{
    QFETCH(QString, away);
    WindowFixture f;
    QVERIFY(f.show());
    int realWindows = 0;
    f.ui.onShown = [&realWindows](QWidget* parent) {
        ++realWindows;
        QDialog dialog(parent);
        QTimer::singleShot(0, &dialog, &QDialog::accept);
        dialog.exec();
        // What the window manager does when a dialog closes.
        if (parent)
            parent->window()->activateWindow();
    };
    auto* code = f.field<EduCodeEdit>(Field::EduCode);
    f.field<QWidget>(Field::Presider)->setFocus();
    press(f.field<QWidget>(Field::Presider), Qt::Key_Tab);
    typeText(code, u"12345"_s);
    if (away == u"box") {
        press(code, Qt::Key_Tab);
        QTRY_COMPARE(f.ui.texts(ScriptedInteraction::Box::Error).size(), 1);
    } else if (away == u"save") {
        QTest::mouseClick(f.get<QAbstractButton>(u"savexmlfile"_s), Qt::LeftButton);
    } else {
        QTimer::singleShot(0, [] {
            if (QWidget* menu = QApplication::activePopupWidget())
                menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(2, 2), code->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(code, &event);
        // Offscreen, the menu took the activation; the window manager would give it back.
        f.window->activateWindow();
    }
    QTRY_VERIFY(code->hasFocus());
    QCOMPARE(code->text(), u"123-45_-____"_s);
    // Leaving still checks: the box comes (again, after its own box).
    const qsizetype before = f.ui.texts(ScriptedInteraction::Box::Error).size();
    press(code, Qt::Key_Tab);
    QTRY_COMPARE(f.ui.texts(ScriptedInteraction::Box::Error).size(), before + 1);
    QTRY_VERIFY(code->hasFocus());
    press(code, Qt::Key_Escape);
    QCOMPARE(code->text(), u"000-000-0000"_s);
    QVERIFY(realWindows >= 1 || away == u"menu");
}

// Clicking another page's tab takes the focus to that page: the field's page comes back, with
// the focus in the field and the box.
void TestEditing::eduCodeLeavingByAnotherPage()
{
    WindowFixture f;
    QVERIFY(f.show());
    auto* pages = f.get<QTabWidget>(u"PageControl1"_s);
    auto* code = f.field<EduCodeEdit>(Field::EduCode);
    code->setFocus(Qt::TabFocusReason);
    typeText(code, u"12345"_s);
    QTabBar* bar = pages->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
    QTRY_COMPARE(f.ui.texts(ScriptedInteraction::Box::Error).size(), 1);
    QCOMPARE(pages->currentIndex(), 0);
    QVERIFY(code->hasFocus());
    QCOMPARE(code->cursorPosition(), 6);
}

// ---------------------------------------------------------------------------------------------
// Tables

void TestEditing::tableEditorAndTab()
{
    WindowFixture f;
    QVERIFY(f.show());
    f.window->pageControl()->setCurrentIndex(2);
    auto* table = f.field<GridTable>(Field::MainActor);
    table->setFocus(Qt::TabFocusReason);
    // The editor is open on the current cell: typing goes straight into it.
    QCOMPARE(table->isEditing(), true);
    typeText(QApplication::focusWidget(), u"张三"_s);
    table->setCurrentCell(0, 1);
    QCOMPARE(table->cellText(1, 0), u"张三"_s);
    QCOMPARE(table->isEditing(), true);
    typeText(QApplication::focusWidget(), u"男"_s);
    // Tab leaves the table instead of moving to the next cell, and hands the text over.
    press(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(table->cellText(1, 1), u"男"_s);
    QVERIFY(!table->isAncestorOf(QApplication::focusWidget()));
    QVERIFY(QApplication::focusWidget() != table);
    // Header texts keep their leading blanks; rows are 24 pixels high.
    QCOMPARE(table->horizontalHeaderItem(0)->text(), u"  姓  名"_s);
    QCOMPARE(table->rowHeight(5), 24);
    QVERIFY(table->verticalHeader()->isHidden());
}

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
