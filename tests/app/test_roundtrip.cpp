// An application typed into the window key by key, saved with "保 存", and opened by a second
// window started with the file on its command line: every field must come back.
#include "../common/fixtures.h"
#include "app/educodeedit.h"
#include "app/gridtable.h"
#include "check/verify.h"
#include "documents.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

using namespace shenbao;
using namespace shenbao::testing;
using namespace Qt::StringLiterals;

class TestRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void typedSavedAndOpenedAgain();
};

namespace {

// Types r's value of one field into its control as a user would: the page shown, the control
// focused, choices made with the arrow keys, cells reached by moving the cell cursor.
void typeField(WindowFixture& f, const FieldSpec& spec, const ApplicationRecord& r)
{
    f.window->pageControl()->setCurrentIndex(spec.page - 1);
    QWidget* w = f.window->fieldControl(spec.field);
    w->setFocus(Qt::MouseFocusReason);
    QCOMPARE(QApplication::focusWidget() == w || w->isAncestorOf(QApplication::focusWidget()), true);
    switch (spec.kind) {
    case FieldKind::Text:
    case FieldKind::LongText:
        typeText(w, QString(r.value(spec.field)).replace(u"\r\n"_s, u"\n"_s));
        break;
    case FieldKind::Code:
        static_cast<EduCodeEdit*>(w)->setCursorPosition(0);
        typeText(w, r.value(spec.field));
        break;
    case FieldKind::Choice: {
        const int wanted = choiceIndex(spec.field, r.value(spec.field));
        auto* combo = static_cast<QComboBox*>(w);
        while (combo->currentIndex() < wanted)
            press(combo, Qt::Key_Down);
        break;
    }
    case FieldKind::Table: {
        auto* grid = static_cast<GridTable*>(w);
        const TableGrid& table = r.table(spec.field);
        for (int row = 1; row <= table.rows(); ++row)
            for (int column = 0; column < table.columns(); ++column) {
                const QString text = table.cell(row, column);
                if (text.isEmpty() && grid->cellText(row, column).isEmpty())
                    continue;
                grid->setCurrentCell(row - 1, column);
                QVERIFY(grid->isEditing());
                QWidget* editor = QApplication::focusWidget();
                if (text.isEmpty())
                    press(editor, Qt::Key_Delete); // the editor opens with its text selected
                else
                    typeText(editor, text);
            }
        press(QApplication::focusWidget(), Qt::Key_Tab); // leaves the table
        QVERIFY(!grid->isEditing());
        break;
    }
    }
}

} // namespace

void TestRoundTrip::typedSavedAndOpenedAgain()
{
    // The complete sample with what typing must not lose: an empty cell between filled ones, a
    // cell with a comma and a quote, the preset cell typed over, blank lines and leading blanks
    // in a long text, the second of two items with the same text.
    ApplicationRecord r = test::completeSample();
    r.table(Field::MainActor).setCell(2, 4, QString());
    r.table(Field::MainActor).setCell(15, 6, u"末行,\"引号\""_s);
    r.table(Field::FinallyProduction).setCell(1, 3, u"专著"_s);
    r.table(Field::FinallyProduction).setCell(3, 0, u"3"_s);
    r.setValue(Field::tuijian2, u"第一段\r\n\r\n  缩进的第三段"_s);
    r.setValue(Field::BelongCity, choiceItems(Field::BelongCity).at(1));
    QVERIFY(verify(r).isEmpty());

    QTemporaryDir dir;
    const QString path = dir.filePath(u"键入的申请书.xdx"_s);
    WindowFixture first;
    QVERIFY(first.show());
    for (const FieldSpec& spec : fieldCatalogue()) {
        typeField(first, spec, r);
        if (QTest::currentTestFailed())
            QFAIL(qPrintable(u"while typing "_s + QString::fromUtf16(spec.name)));
    }
    // The first item of that text was chosen; one more step down chooses the second.
    first.window->pageControl()->setCurrentIndex(1);
    first.field<QWidget>(Field::BelongCity)->setFocus(Qt::MouseFocusReason);
    press(first.field<QWidget>(Field::BelongCity), Qt::Key_Down);
    QVERIFY(first.ui.boxes.isEmpty());
    QCOMPARE(first.field<QComboBox>(Field::BelongCity)->currentIndex(), 1);
    QVERIFY(first.window->isModified());
    ApplicationRecord typed = r;
    typed.setProjectId(initialProjectId());
    COMPARE_RECORDS(first.window->record(), typed);

    first.ui.saveAnswers.enqueue(path);
    QTest::mouseClick(first.get<QAbstractButton>(u"savexmlfile"_s), Qt::LeftButton);
    QVERIFY(first.ui.boxes.isEmpty());
    QVERIFY(!first.window->isModified());
    QVERIFY(first.window->errorList().isEmpty());
    typed.setProjectId(first.get<QLabel>(u"ProjectID"_s)->text());

    WindowFixture second({path});
    QVERIFY(second.ui.boxes.isEmpty());
    QVERIFY(second.ui.openRequests.isEmpty());
    COMPARE_RECORDS(second.window->record(), asReadBack(typed));
    for (const char16_t* name : {u"EduCode", u"EduCode1", u"Presider1", u"ProjectName", u"IDcard"})
        QCOMPARE(second.get<QLineEdit>(QString::fromUtf16(name))->text(),
                 first.get<QLineEdit>(QString::fromUtf16(name))->text());
    QCOMPARE(second.field<QComboBox>(Field::BelongCity)->currentIndex(), 0); // same text as item 1
    QVERIFY(second.window->errorList().isEmpty());
    QVERIFY(!second.window->isModified());
    QVERIFY(!second.window->isOfficial());
    QCOMPARE(second.window->saveDialogFileName(), path);
}

QTEST_MAIN(TestRoundTrip)
#include "test_roundtrip.moc"
