// What the window adds for applicants: recovery copies, the room left in each limited field,
// the loose leaves naming their author, keys and names for the keyboard and screen readers.
#include "../common/fixtures.h"
#include "app/anonymitylist.h"
#include "app/fieldlineedit.h"
#include "app/longtextedit.h"
#include "app/messages.h"
#include "app/preview/reportpreview.h"
#include "check/verify.h"
#include "record/textrules.h"
#include "windowtest.h"
#include "xdx/xdxfile.h"

#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace shenbao;
using namespace shenbao::test;
using namespace shenbao::testing;
using namespace Qt::StringLiterals;

namespace {

void typeInto(QWidget* w, const QString& text)
{
    w->setFocus();
    commitText(w, text);
}

QStringList copiesIn(const QString& folder)
{
    return QDir(folder).entryList({u"*.xdx"_s}, QDir::Files);
}

} // namespace

class TestAssistants : public QObject
{
    Q_OBJECT

private slots:
    void recoveryCopyLifeCycle();
    void lostCopiesOfferedOnceTheirProgramIsGone();
    void unreadableCopyIsKeptAndSaid();
    void officialAndUnwritable();
    void roomOfEveryLimitedField();
    void looseLeafNamingTheLeader();
    void commandKeysAndSpokenNames();
};

// Written when typing pauses (or the window loses the focus), gone with a save or the
// applicant's No.
void TestAssistants::recoveryCopyLifeCycle()
{
    QTemporaryDir data, docs;
    WindowFixture f;
    f.window->keepRecoveryCopies(data.path());
    QVERIFY(f.show());
    typeInto(f.field(Field::ProjectName), u"农村初中科学探究"_s);
    typeInto(f.field(Field::Presider), u"林晓岚"_s);
    RecoveryKeeper* keeper = f.window->recovery();
    QVERIFY(keeper->pending());
    QVERIFY(copiesIn(data.path()).isEmpty()); // not at every key
    keeper->flush();
    QCOMPARE(openXdxFile(keeper->ownCopy()).record.value(Field::ProjectName), u"农村初中科学探究"_s);
    QVERIFY(!QFile::exists(docs.filePath(u"x.xdx"_s))); // never beside the document

    f.ui.saveAnswers.enqueue(docs.filePath(u"app.xdx"_s));
    f.window->savexmlfileClick();
    QVERIFY(copiesIn(data.path()).isEmpty());

    typeInto(f.field(Field::KeyWord), u"探究"_s);
    keeper->flush();
    QCOMPARE(copiesIn(data.path()).size(), 1);
    f.ui.questionAnswers.enqueue(false); // No at the close question: the edits are given up
    QVERIFY(f.window->close());
    QVERIFY(copiesIn(data.path()).isEmpty());
}

// A copy is offered only when no program holds it; restoring fills the form as opening does,
// and the close question then protects it.
void TestAssistants::lostCopiesOfferedOnceTheirProgramIsGone()
{
    QTemporaryDir data;
    ApplicationRecord typed;
    {
        WindowFixture first;
        first.window->keepRecoveryCopies(data.path());
        QVERIFY(first.show());
        typeInto(first.field(Field::ProjectName), u"题目"_s);
        typeInto(first.field(Field::ProjectReasoning), u"第一段\n第二段"_s);
        first.window->recovery()->flush();
        // As the form's own save and open bring it back: each long-text line ends in CR LF.
        typed = openXdxBytes(xdxBytes(first.window->record(), {})).record;
        // While it runs, another window does not take its copy for a lost one.
        WindowFixture second;
        second.window->keepRecoveryCopies(data.path());
        QVERIFY(second.window->recovery()->lostCopies().empty());
        QTest::qWait(0);
        QVERIFY(second.ui.recoveryOffers.isEmpty());
    } // the first window ends without a save, as a crash would leave it
    writeAll(data.filePath(u".a.xdx.k2h4x1.tmp"_s), "half a copy"); // a write cut short

    WindowFixture later;
    later.ui.recoveryAnswers.enqueue(RecoveryChoice::Restore);
    later.window->keepRecoveryCopies(data.path());
    later.window->start({});
    QTRY_COMPARE(later.ui.recoveryOffers.size(), 1);
    QCOMPARE(later.ui.recoveryOffers.first().document, QString());
    QVERIFY(later.ui.recoveryOffers.first().written.isValid());
    COMPARE_RECORDS(later.window->record(), typed);
    QVERIFY(later.window->isModified());
    QCOMPARE(copiesIn(data.path()).size(), 1); // the restoring window's own copy now
}

void TestAssistants::unreadableCopyIsKeptAndSaid()
{
    QTemporaryDir data;
    writeAll(data.filePath(u"lost.xdx"_s), "<XMLPackage><ver>");
    WindowFixture f;
    f.ui.recoveryAnswers.enqueue(RecoveryChoice::Restore);
    f.window->keepRecoveryCopies(data.path());
    f.window->offerLostCopies();
    QCOMPARE(f.ui.texts(ScriptedInteraction::Box::Error).size(), 1);
    QVERIFY(f.ui.texts(ScriptedInteraction::Box::Error).first().contains(u"恢复副本无法读取"_s));
    QVERIFY(QFile::exists(data.filePath(u"set-aside/lost.xdx"_s)));
    QVERIFY(!f.window->isModified());
}

// An official document is never copied; a folder that cannot be written costs one notice.
void TestAssistants::officialAndUnwritable()
{
    QTemporaryDir data;
    QByteArray official = readAll(sourcePath(u"samples/complete.xdx"_s));
    official.replace("<PASSBY>0</PASSBY>", "<PASSBY>1</PASSBY>");
    writeAll(data.filePath(u"official.xdx"_s), official);
    WindowFixture f({data.filePath(u"official.xdx"_s)});
    f.window->keepRecoveryCopies(data.filePath(u"copies"_s));
    QVERIFY(f.window->isOfficial());
    typeInto(f.field(Field::EduCode), u"9"_s); // EduCode stays editable
    f.window->recovery()->flush();
    QVERIFY(!QFileInfo::exists(data.filePath(u"copies"_s)));

    const QString notAFolder = data.filePath(u"a-file"_s);
    writeAll(notAFolder, "x");
    WindowFixture g;
    g.window->keepRecoveryCopies(notAFolder + u"/copies"_s);
    for (const QString& t : {u"一"_s, u"二"_s}) {
        typeInto(g.field(Field::KeyWord), t);
        g.window->recovery()->flush();
    }
    QCOMPARE(g.ui.notices.size(), 1);
}

// Every limited field filled to its limit: the room it shows and the room its editor leaves
// come from the one count, and the cut is said where the room is.
void TestAssistants::roomOfEveryLimitedField()
{
    WindowFixture f;
    QVERIFY(f.show());
    auto* counter = f.get<QLabel>(u"RoomCounter"_s);
    for (const FieldSpec& spec : fieldCatalogue()) {
        if (spec.byteLimit <= 0 || (spec.kind != FieldKind::Text && spec.kind != FieldKind::LongText))
            continue;
        const QString name = fieldName(spec.field);
        QWidget* control = f.field(spec.field);
        f.window->pageControl()->setCurrentIndex(spec.page - 1);
        control->setFocus();
        QTRY_VERIFY(control->hasFocus());
        auto* line = qobject_cast<FieldLineEdit*>(control);
        const bool filtered = line && !line->characterFilter().isEmpty();
        const auto shown = [&] { return line ? counter->text() : qobject_cast<LongTextEdit*>(control)->roomShown(); };
        QCOMPARE(shown(), appmsg::room(0, spec.byteLimit, filtered));
        // Three characters more than fit: typed where only digits pass, pasted elsewhere.
        const int fits = filtered ? spec.byteLimit : spec.byteLimit / 2;
        if (filtered) {
            QTest::keyClicks(control, QString(fits + 3, u'7'));
        } else {
            setClipboard(QString(fits + 3, u'课'));
            QTest::keySequence(control, QKeySequence::Paste);
        }
        const QString text = line ? line->text() : qobject_cast<LongTextEdit*>(control)->value();
        QVERIFY2(bytesLeft(text, spec.byteLimit) >= 0 && bytesLeft(text, spec.byteLimit) < 2, qPrintable(name));
        QTRY_COMPARE(shown(), filtered ? appmsg::limitReached() : appmsg::pasteCut(3));
        // The next edit shows the room again: none left.
        QTest::keyClick(control, Qt::Key_Backspace);
        QTRY_VERIFY2(shown() == appmsg::room(gbkByteLength(line ? line->text() : qobject_cast<LongTextEdit*>(control)->value()),
                                             spec.byteLimit, filtered),
                     qPrintable(name + u": "_s + shown()));
    }
    // A field without a limit shows none.
    f.window->pageControl()->setCurrentIndex(2);
    f.field(Field::MainActor)->setFocus();
    QTRY_VERIFY(counter->isHidden());
}

// A design argument that names the leader across a line break: said below the error list and
// above the preview's pages, never in the list or the document; a click shows the place.
void TestAssistants::looseLeafNamingTheLeader()
{
    WindowFixture f;
    QVERIFY(f.show());
    ApplicationRecord r = completeSample();
    r.setValue(Field::Presider, u"林晓岚"_s);
    r.setValue(Field::ProjectName, u"农村初中科学探究能力培养研究"_s);
    r.setValue(Field::ProjectReasoning, u"问题的提出。\r\n本课题由林晓\r\n岚主持。\r\n"_s);
    r.setValue(Field::ProjectAnalyze, u"学校提供配套经费。"_s);
    f.window->setRecord(r);
    f.window->verifydataClick();
    QCOMPARE(f.window->errorList(), verify(f.window->record()));
    auto* notice = f.get<QLabel>(u"AnonymityNotice"_s);
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), appmsg::anonymityNotice(1));

    QTest::mouseClick(notice, Qt::LeftButton);
    auto* list = f.window->findChild<AnonymityList*>();
    QVERIFY(list && list->isVisible());
    QVERIFY2(list->lines().first().startsWith(u"设计论证 第 2 行：“林晓 岚”（主持人）"_s), qPrintable(list->lines().first()));
    auto* hits = list->findChild<QListWidget*>();
    emit hits->itemActivated(hits->item(0));
    auto* memo = f.field<LongTextEdit>(Field::ProjectReasoning);
    QCOMPARE(f.window->pageControl()->currentIndex(), 5);
    QCOMPARE(memo->textCursor().selectedText(), u"林晓\u2029岚"_s); // the box's own paragraph break

    QString shown;
    f.ui.onModal = [&shown](QDialog* d) { shown = qobject_cast<ReportPreview*>(d)->notice(); };
    f.window->printreportClick();
    QVERIFY2(shown.contains(u"林晓 岚"_s), qPrintable(shown));
}

void TestAssistants::commandKeysAndSpokenNames()
{
    WindowFixture f;
    QVERIFY(f.show());
    f.field(Field::KeyWord)->setFocus();
    QTest::keyClick(f.window.get(), Qt::Key_F5);
    QCOMPARE(f.window->errorList().size(), 48);
    QVERIFY(f.field(Field::KeyWord)->hasFocus()); // as a click on a flat button leaves it
    QTest::keyClick(f.window.get(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(f.ui.openRequests.size(), 1);
    QTest::keyClick(f.window.get(), Qt::Key_F1);
    QCOMPARE(f.ui.urls.size() + f.ui.texts(ScriptedInteraction::Box::Plain).size(), 1);

    // Every field and copy has a name of its own for a screen reader.
    QSet<QString> names;
    QStringList controls;
    for (const FieldSpec& spec : fieldCatalogue())
        controls.append(fieldName(spec.field));
    controls << u"Presider1"_s << u"EduCode1"_s << u"Edit4"_s << u"verifylist"_s << u"verifydata"_s;
    for (const QString& name : std::as_const(controls)) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(f.get(name));
        QVERIFY(a);
        const QString spoken = a->text(QAccessible::Name);
        QVERIFY2(!spoken.isEmpty(), qPrintable(name));
        QVERIFY2(!names.contains(spoken), qPrintable(name + u": "_s + spoken));
        names.insert(spoken);
    }
    QCOMPARE(f.field(Field::OutlayPostcode)->accessibleName(), u"经费 邮政编码"_s);
    QCOMPARE(f.field(Field::PostCode)->accessibleName(), u"主持人情况 邮政编码"_s);
    QVERIFY(f.field(Field::MainActor)->accessibleDescription().startsWith(u"列：姓名、性别、年龄"_s));
    QVERIFY(f.field(Field::ProjectReasoning)->accessibleDescription().contains(u"必须匿名"_s));
}

QTEST_MAIN(TestAssistants)
#include "test_assistants.moc"
