// What the window adds for applicants: recovery copies, the room left in each limited field,
// the loose leaves naming their author, keys and names for the keyboard and screen readers.
#include "../common/fixtures.h"
#include "app/anonymitylist.h"
#include "app/fieldlineedit.h"
#include "app/helpviewer.h"
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
#include <QLockFile>
#include <QRegularExpression>
#include <QSet>
#include <QSysInfo>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstring>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#endif

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

// A window that keeps its copies and drafts in folders of the test's own.
struct NetFixture : WindowFixture
{
    explicit NetFixture(const QTemporaryDir& data, const QStringList& args = {}) : WindowFixture(args)
    {
        window->keepRecoveryCopies(data.filePath(u"recovery"_s), data.filePath(u"drafts"_s));
    }
};

QString draftsOf(const QTemporaryDir& data)
{
    return data.filePath(u"drafts"_s);
}

// WCAG's contrast ratio of two colours.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// A widget's place on the screen.
QRect onScreen(const QWidget* w)
{
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

} // namespace

class TestAssistants : public QObject
{
    Q_OBJECT

private slots:
    void recoveryCopyLifeCycle();
    void whatTheFormThrowsAwayIsKept_data();
    void whatTheFormThrowsAwayIsKept();
    void lostCopiesOfferedWhateverTheirState_data();
    void lostCopiesOfferedWhateverTheirState();
    void leftoversOfEarlierWindowsTidied();
    void draftOpenedSavesWhereItBelongs();
    void officialAndUnwritable();
    void unreadableCopyIsKeptAndSaid();
    void roomOfEveryLimitedField();
    void looseLeafNamingTheLeader();
    void commandKeysAndSpokenNames();
};

// Written when typing pauses (or the window loses the focus), private to the user, gone with a
// save.
void TestAssistants::recoveryCopyLifeCycle()
{
    QTemporaryDir data, docs;
    NetFixture f(data);
    QVERIFY(f.show());
    typeInto(f.field(Field::ProjectName), u"农村初中科学探究"_s);
    typeInto(f.field(Field::Presider), u"林晓岚"_s);
    RecoveryKeeper* keeper = f.window->recovery();
    QVERIFY(keeper->pending());
    QVERIFY(copiesIn(keeper->folder()).isEmpty()); // not at every key
    keeper->flush();
    QCOMPARE(openXdxFile(keeper->ownCopy())->record.value(Field::ProjectName), u"农村初中科学探究"_s);
#ifdef Q_OS_UNIX
    // Nobody else on the machine reads an unsaved application.
    const auto mode = [](const QString& path) {
        struct stat st = {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
    };
    for (const QString& folder : {keeper->folder(), draftsOf(data)})
        QCOMPARE(mode(folder), 0700);
    QCOMPARE(mode(keeper->ownCopy()), 0600);
#endif

    f.ui.saveAnswers.enqueue(docs.filePath(u"app.xdx"_s));
    f.window->savexmlfileClick();
    QVERIFY(copiesIn(keeper->folder()).isEmpty());
    QVERIFY(copiesIn(draftsOf(data)).isEmpty()); // a file of its own is no other's: nothing to keep
}

// Whatever the form lets the applicant throw away stays in the drafts, named for a person,
// with every character, and a line says so (a closing window: at the next start).
void TestAssistants::whatTheFormThrowsAwayIsKept_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("No at the close question") << u"close"_s;
    QTest::newRow("opening another document over the edits") << u"open"_s;
    QTest::newRow("a save onto another application") << u"save"_s;
    QTest::newRow("丢弃 in the recovery box") << u"discard"_s;
}

void TestAssistants::whatTheFormThrowsAwayIsKept()
{
    QFETCH(QString, how);
    QTemporaryDir data, docs;
    const QString typed =
        u"问题的提出。\r\n本课题研究农村初中学生科学探究能力的培养，一字不差。\r\n"_s; // as the form keeps
                                                                                       // it: each line ended
    const QString victim = docs.filePath(u"victim.xdx"_s);
    ApplicationRecord other = completeSample();
    other.setValue(Field::ProjectName, u"同事的课题"_s);
    other.setValue(Field::ProjectReasoning, typed);
    QVERIFY(saveXdxFile(victim, other, {}).has_value());
    const QByteArray victimBytes = readAll(victim);
    QString expectedTitle = u"农村初中科学探究"_s;
    {
        NetFixture f(data);
        QVERIFY(f.show());
        f.window->pageControl()->setCurrentIndex(0);
        typeInto(f.field(Field::ProjectName), u"农村初中科学探究"_s);
        typeInto(f.field(Field::Presider), u"林晓岚"_s);
        f.window->pageControl()->setCurrentIndex(5);
        f.field<LongTextEdit>(Field::ProjectReasoning)->setValue(typed);
        if (how == u"close") {
            f.ui.questionAnswers.enqueue(false);
            QVERIFY(f.window->close());
        } else if (how == u"open") {
            f.ui.openAnswers.enqueue(sourcePath(u"samples/complete.xdx"_s));
            f.window->openxmlfileClick();
            QCOMPARE(f.ui.notices.size(), 1);
            QVERIFY2(f.ui.notices.first().contains(u"农村初中科学探究（林晓岚）"_s),
                     qPrintable(f.ui.notices.first()));
        } else if (how == u"save") {
            expectedTitle = u"同事的课题"_s; // what the save replaced
            f.ui.saveAnswers.enqueue(victim);
            f.window->savexmlfileClick();
            QCOMPARE(openXdxFile(victim)->record.value(Field::ProjectName),
                     u"农村初中科学探究"_s); // as the form asks
            QCOMPARE(f.ui.notices.size(), 1);
            QVERIFY2(f.ui.notices.first().contains(u"victim.xdx"_s), qPrintable(f.ui.notices.first()));
        } else {
            f.window->recovery()->flush();
        } // "discard": the window goes as a crash leaves it
    }
    if (how == u"close" || how == u"discard") {
        NetFixture later(data);
        later.ui.recoveryAnswers.enqueue(RecoveryChoice::Discard);
        later.window->start({});
        QTRY_COMPARE(later.ui.notices.size() + later.ui.recoveryOffers.size(), 1);
        if (how == u"close")
            QVERIFY2(later.ui.notices.first().contains(u"农村初中科学探究（林晓岚）"_s),
                     qPrintable(later.ui.notices.first()));
        QVERIFY(copiesIn(data.filePath(u"recovery"_s)).isEmpty());
    }
    const QStringList drafts = copiesIn(draftsOf(data));
    QCOMPARE(drafts.size(), 1);
    QVERIFY2(drafts.first().startsWith(expectedTitle), qPrintable(drafts.first()));
    QVERIFY(QRegularExpression(u" ?\\d{4}-\\d\\d-\\d\\d \\d\\d\\.\\d\\d\\.xdx$"_s)
                .match(drafts.first())
                .hasMatch());
    const OpenResult kept = openXdxFile(draftsOf(data) + u'/' + drafts.first());
    QCOMPARE(kept->record.value(Field::ProjectReasoning), typed);
    if (how == u"save")
        QCOMPARE(readAll(draftsOf(data) + u'/' + drafts.first()), victimBytes);
}

// A lost copy is offered whatever became of its document or of the folder; "later" leaves it.
void TestAssistants::lostCopiesOfferedWhateverTheirState_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("its window gone") << u"gone"_s;
    QTest::newRow("its document written since") << u"newer"_s;
    QTest::newRow("no lock can be written (a full disk)") << u"full"_s;
}

void TestAssistants::lostCopiesOfferedWhateverTheirState()
{
    QFETCH(QString, state);
    QTemporaryDir data, docs;
    const QString document = docs.filePath(u"a.xdx"_s);
    QVERIFY(saveXdxFile(document, completeSample(), {}).has_value());
    ApplicationRecord typed;
    {
        NetFixture first(data, {document});
        QVERIFY(first.show());
        typeInto(first.field(Field::KeyWord), u"新的关键词"_s);
        first.window->recovery()->flush();
        typed = openXdxBytes(xdxBytes(first.window->record(), {}))->record;
        // While it runs, another window does not take its copy for a lost one.
        NetFixture second(data);
        QVERIFY(second.window->recovery()->lostCopies().empty());
    } // the first window ends without a save, as a crash would leave it
    if (state == u"newer") {
        QTest::qWait(20);
        QVERIFY(saveXdxFile(document, incompleteSample(), {}).has_value());
    }
    NetFixture later(data);
#ifdef Q_OS_UNIX
    rlimit old{};
    if (state == u"full") {
        // The lock a killed window leaves, and a disk on which no lock can be written (every
        // write fails, as on a full disk, for root too): the copy is not taken for a running
        // window's.
        const QString copy = copiesIn(data.filePath(u"recovery"_s)).constFirst();
        writeAll(data.filePath(u"recovery/"_s) + copy.chopped(4) + u".lock"_s,
                 "2147483000\nshenbao\n" + QSysInfo::machineHostName().toUtf8() + '\n');
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit none = old;
        none.rlim_cur = 0;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &none), 0);
    }
#else
    if (state == u"full")
        QSKIP("no file-size limit to fill the disk with");
#endif
    later.ui.recoveryAnswers.enqueue(RecoveryChoice::Later);
    later.window->start({});
    QTRY_COMPARE(later.ui.recoveryOffers.size(), 1);
#ifdef Q_OS_UNIX
    if (state == u"full")
        setrlimit(RLIMIT_FSIZE, &old);
#endif
    const RecoveryOffer offer = later.ui.recoveryOffers.first();
    QCOMPARE(offer.document, QDir::toNativeSeparators(document));
    QCOMPARE(offer.documentChanged.isValid(), state == u"newer");
    QVERIFY(offer.written.isValid());
    QCOMPARE(copiesIn(data.filePath(u"recovery"_s)).size(), 1); // later: left as it was

    NetFixture again(data);
    again.ui.recoveryAnswers.enqueue(RecoveryChoice::Restore);
    again.window->start({});
    QTRY_COMPARE(again.ui.recoveryOffers.size(), 1);
    COMPARE_RECORDS(again.window->record(), typed);
    QVERIFY(again.window->isModified());
}

// What windows killed or crashed left: temporary files and locks of windows gone, drafts past
// their time. What a running window holds stays.
void TestAssistants::leftoversOfEarlierWindowsTidied()
{
    QTemporaryDir data;
    const QString recovery = data.filePath(u"recovery"_s), drafts = draftsOf(data);
    QDir().mkpath(recovery);
    QDir().mkpath(drafts);
    const qint64 gone = 2147483000; // no process has this number
    const QString own = QString::number(QCoreApplication::applicationPid());
    writeAll(recovery + u"/.a.xdx."_s + QString::number(gone) + u"-k2h4x1.tmp"_s, "half a copy");
    writeAll(recovery + u"/.b.xdx."_s + own + u"-k2h4x1.tmp"_s, "a copy being written");
    writeAll(recovery + u"/dead.lock"_s,
             QByteArray::number(gone) + "\nshenbao\n" + QSysInfo::machineHostName().toUtf8() + '\n');
    QLockFile live(recovery + u"/live.lock"_s);
    QVERIFY(live.tryLock(0));
    const auto draft = [&](const QString& name, int daysAgo) {
        writeAll(drafts + u'/' + name, "x");
        QFile file(drafts + u'/' + name);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addDays(-daysAgo),
                                 QFileDevice::FileModificationTime));
    };
    draft(u"旧的.xdx"_s, Drafts::kKeptDays + 1);
    draft(u"新的.xdx"_s, Drafts::kKeptDays - 1);

    NetFixture f(data);
    QStringList left = QDir(recovery).entryList(QDir::Files | QDir::Hidden);
    left.sort();
    QCOMPARE(left, (QStringList{u".b.xdx."_s + own + u"-k2h4x1.tmp"_s, u"live.lock"_s}));
    QCOMPARE(copiesIn(drafts), QStringList{u"新的.xdx"_s});
}

// A draft opened proposes, on 保 存, the place it belongs to, never the drafts' folder; the
// open dialog shows the drafts as a place of their own.
void TestAssistants::draftOpenedSavesWhereItBelongs()
{
    QTemporaryDir data, docs;
    Drafts drafts(draftsOf(data));
    const QString original = docs.filePath(u"申请书.xdx"_s);
    const FileResult<QString> kept = drafts.keep(completeSample(), original, QDateTime::currentDateTime());
    QVERIFY(kept.has_value());
    const FileResult<QString> orphan = drafts.keep(incompleteSample(), {}, QDateTime::currentDateTime());
    QVERIFY(orphan.has_value());

    NetFixture f(data);
    for (const QString& draft : {*kept, *orphan}) {
        f.ui.openAnswers.enqueue(draft);
        f.window->openxmlfileClick();
        QVERIFY(f.ui.openRequests.last().places.contains(draftsOf(data)));
        f.ui.saveAnswers.enqueue(QString());
        f.window->savexmlfileClick();
        const QString proposed = f.ui.saveRequests.last().fileName;
        QVERIFY2(!proposed.contains(draftsOf(data)), qPrintable(proposed));
        if (draft == *kept)
            QCOMPARE(proposed, original);
        else
            QVERIFY2(proposed.endsWith(draft.mid(draft.lastIndexOf(u'/'))), qPrintable(proposed));
    }
}

// An official document is never copied; a folder that cannot be written costs one notice,
// which says why.
void TestAssistants::officialAndUnwritable()
{
    QTemporaryDir data;
    QByteArray official = readAll(sourcePath(u"samples/complete.xdx"_s));
    official.replace("<PASSBY>0</PASSBY>", "<PASSBY>1</PASSBY>");
    writeAll(data.filePath(u"official.xdx"_s), official);
    WindowFixture f({data.filePath(u"official.xdx"_s)});
    f.window->keepRecoveryCopies(data.filePath(u"copies"_s), data.filePath(u"drafts"_s));
    QVERIFY(f.window->isOfficial());
    typeInto(f.field(Field::EduCode), u"9"_s); // EduCode stays editable
    f.window->recovery()->flush();
    QVERIFY(!QFileInfo::exists(data.filePath(u"copies"_s)));

    const QString notAFolder = data.filePath(u"a-file"_s);
    writeAll(notAFolder, "x");
    WindowFixture g;
    g.window->keepRecoveryCopies(notAFolder + u"/copies"_s, data.filePath(u"drafts"_s));
    for (const QString& t : {u"一"_s, u"二"_s}) {
        typeInto(g.field(Field::KeyWord), t);
        g.window->recovery()->flush();
    }
    QCOMPARE(g.ui.notices.size(), 1);
    // Why, in the system's words: what the file layer says of that folder.
    const FileResult<void> why = makeFolders(notAFolder + u"/copies"_s);
    QVERIFY(!why);
    QVERIFY2(g.ui.notices.first().contains(why.error().why()), qPrintable(g.ui.notices.first()));
}

// A copy that cannot be read is said, and kept among the drafts: never deleted unseen.
void TestAssistants::unreadableCopyIsKeptAndSaid()
{
    QTemporaryDir data;
    QDir().mkpath(data.filePath(u"recovery"_s));
    writeAll(data.filePath(u"recovery/lost.xdx"_s), "<XMLPackage><ver>");
    NetFixture f(data);
    f.ui.recoveryAnswers.enqueue(RecoveryChoice::Restore);
    f.window->offerLostCopies();
    QCOMPARE(f.ui.texts(ScriptedInteraction::Box::Error).size(), 1);
    QVERIFY(f.ui.texts(ScriptedInteraction::Box::Error).first().contains(u"恢复副本无法读取"_s));
    QCOMPARE(readAll(draftsOf(data) + u'/' + copiesIn(draftsOf(data)).constFirst()),
             QByteArray("<XMLPackage><ver>"));
    QVERIFY(copiesIn(data.filePath(u"recovery"_s)).isEmpty());
    QVERIFY(!f.window->isModified());
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
        const auto shown = [&] {
            return line ? counter->text() : qobject_cast<LongTextEdit*>(control)->roomShown();
        };
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
        QVERIFY2(bytesLeft(text, spec.byteLimit) >= 0 && bytesLeft(text, spec.byteLimit) < 2,
                 qPrintable(name));
        QTRY_COMPARE(shown(), filtered ? appmsg::limitReached() : appmsg::pasteCut(3));
        // Where the eye is: touching the field, below or above it, and readable.
        const auto* strip = line ? counter : control->findChild<QLabel*>(name + u"Room"_s);
        const QRect field = onScreen(control), room = onScreen(strip);
        QVERIFY2(room.left() < field.right() && room.right() > field.left() &&
                     (std::abs(room.top() - field.bottom()) <= 4 ||
                      std::abs(field.top() - room.bottom()) <= 4 || field.contains(room)),
                 qPrintable(name));
        QVERIFY2(contrast(strip->palette().color(QPalette::WindowText),
                          strip->palette().color(QPalette::Window)) >= 4.5,
                 qPrintable(name));
        // The next edit shows the room again: none left.
        QTest::keyClick(control, Qt::Key_Backspace);
        QTRY_VERIFY2(shown() ==
                         appmsg::room(gbkByteLength(line ? line->text()
                                                         : qobject_cast<LongTextEdit*>(control)->value()),
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
    QVERIFY2(list->lines().first().startsWith(u"设计论证 第 2 行：“林晓 岚”（主持人）"_s),
             qPrintable(list->lines().first()));
    auto* hits = list->findChild<QListWidget*>();
    emit hits->itemActivated(hits->item(0));
    auto* memo = f.field<LongTextEdit>(Field::ProjectReasoning);
    QCOMPARE(f.window->pageControl()->currentIndex(), 5);
    QCOMPARE(memo->textCursor().selectedText(), u"林晓\u2029岚"_s); // the box's own paragraph break
    // The list never covers what it just selected, wherever it was.
    const QRect selected(memo->viewport()->mapToGlobal(memo->cursorRect().topLeft()),
                         QSize(1, memo->cursorRect().height()));
    list->move(selected.topLeft() - QPoint(list->width() / 2, list->height() / 2));
    QVERIFY(list->frameGeometry().intersects(selected));
    emit hits->itemActivated(hits->item(0));
    QVERIFY2(!list->frameGeometry().intersects(selected),
             qPrintable(u"%1,%2 %3x%4"_s.arg(list->frameGeometry().x())
                            .arg(list->frameGeometry().y())
                            .arg(list->width())
                            .arg(list->height())));

    QString shown;
    f.ui.onModal = [&shown](QDialog* d) { shown = qobject_cast<ReportPreview*>(d)->notice(); };
    f.window->printreportClick();
    QVERIFY2(shown.contains(u"林晓 岚"_s), qPrintable(shown));
}

void TestAssistants::commandKeysAndSpokenNames()
{
    QTemporaryDir program;
    writeAll(program.filePath(u"help.doc"_s), "{\\rtf1 help}");
    WindowFixture f({}, program.path());
    QVERIFY(f.show());
    auto* keyword = f.field<QLineEdit>(Field::KeyWord);
    keyword->setFocus();
    QTest::keyClick(keyword, Qt::Key_F5);
    QCOMPARE(f.window->errorList().size(), 48);
    QVERIFY(keyword->hasFocus()); // as a click on a flat button leaves it
    // Ctrl+E checks from a line edit too, where the edit would move its cursor.
    f.window->setRecord(completeSample());
    keyword->setFocus();
    keyword->setCursorPosition(0);
    QTest::keyClick(keyword, Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(f.window->errorList(), QStringList());
    QCOMPARE(keyword->cursorPosition(), 0);
    QTest::keyClick(keyword, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(f.ui.openRequests.size(), 1);
    // Help is never silent: where nothing opens help.doc, it shows inside the program.
    f.ui.shellOpens = false;
    QTest::keyClick(keyword, Qt::Key_F1);
    QCOMPARE(f.ui.urls.size(), 1);
    QCOMPARE(f.ui.helpShown, 1);
    QCOMPARE(f.ui.notices.size(), 1);
    QVERIFY(HelpViewer::helpText().startsWith(u"# 澄岚省"_s));

    // A filled list is named by its field, its value said as its value; the notice of the
    // loose leaves is reached with Tab and opened with Enter; headers and the tab bar's buttons
    // speak without padding, in Chinese.
    QAccessibleInterface* sex = QAccessible::queryAccessibleInterface(f.field(Field::Sex));
    QCOMPARE(sex->text(QAccessible::Name), u"性别"_s);
    QCOMPARE(sex->text(QAccessible::Value), completeSample().value(Field::Sex));
    // A long text's limit is said as the room counter counts it.
    QCOMPARE(f.field(Field::tuijian1)->accessibleDescription(), u"限550字以内"_s);
    QCOMPARE(f.field(Field::jiaoyujuyijian)->accessibleDescription(), u"限350字以内"_s);
    ApplicationRecord named = completeSample();
    named.setValue(Field::ProjectAnalyze, named.value(Field::Presider) + u"主持。"_s);
    f.window->setRecord(named);
    f.window->verifydataClick();
    auto* notice = f.get<QLabel>(u"AnonymityNotice"_s);
    f.get(u"verifylist"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), notice);
    QTest::keyClick(notice, Qt::Key_Return);
    QTRY_VERIFY(f.window->findChild<AnonymityList*>() && f.window->findChild<AnonymityList*>()->isVisible());
    auto* actors = f.field<QTableWidget>(Field::MainActor);
    QCOMPARE(actors->horizontalHeaderItem(0)->data(Qt::AccessibleTextRole).toString(),
             actors->horizontalHeaderItem(0)->text().trimmed());
    for (const char* button : {"ScrollLeftButton", "ScrollRightButton"})
        QVERIFY(!f.window->pageControl()
                     ->findChild<QWidget*>(QString::fromLatin1(button))
                     ->accessibleName()
                     .isEmpty());

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
