// "保 存" and closing the window: what is written, what is refused, and when closing asks.
#include "../common/fixtures.h"
#include "app/educodeedit.h"
#include "app/gridtable.h"
#include "check/verify.h"
#include "documents.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTabWidget>

using namespace shenbao;
using namespace shenbao::testing;
using namespace Qt::StringLiterals;
using Box = ScriptedInteraction::Box;

class TestSave : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void refusedWithoutTitleOrLeader_data();
    void refusedWithoutTitleOrLeader();
    void cancelled();
    void fileName_data();
    void fileName();
    void twoSavesDifferOnlyInTheIdentifier();
    void storesTheCheckAsItStood_data();
    void storesTheCheckAsItStood();
    void keepsWhatIsBeingTyped();
    void failedWriteKeepsTheOldFile();
    void close_data();
    void close();
    void closeAfterAFailedSaveStaysOpen();
};

namespace {

const QString kRefusal = u"“课题名称”  和  “主持人”  必须填写！"_s;

void clickSave(WindowFixture& f)
{
    QTest::mouseClick(f.get<QAbstractButton>(u"savexmlfile"_s), Qt::LeftButton);
}

QString projectIdLabel(const WindowFixture& f)
{
    return f.get<QLabel>(u"ProjectID"_s)->text();
}

// The saved document's text with its identifier taken out.
QString withoutIdentifier(const QString& path)
{
    return withElement(fromGbk(fileBytes(path)), u"ProjectID"_s, QString());
}

} // namespace

void TestSave::initTestCase()
{
    QApplication::setQuitOnLastWindowClosed(false);
}

void TestSave::refusedWithoutTitleOrLeader_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("presider");
    QTest::addColumn<bool>("refused");
    QTest::newRow("no title") << QString() << u"林晓岚"_s << true;
    QTest::newRow("no leader") << u"课题"_s << QString() << true;
    QTest::newRow("neither") << QString() << QString() << true;
    QTest::newRow("a title of one blank passes") << u" "_s << u"林晓岚"_s << false;
}

void TestSave::refusedWithoutTitleOrLeader()
{
    QFETCH(QString, name);
    QFETCH(QString, presider);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    WindowFixture f;
    typeText(f.field<QWidget>(Field::ProjectName), name);
    typeText(f.field<QWidget>(Field::Presider), presider);
    typeText(f.field<QWidget>(Field::KeyWord), u"x"_s);
    const QString path = dir.filePath(u"a.xdx"_s);
    f.ui.saveAnswers.enqueue(path);
    clickSave(f);

    // The check ran first either way.
    QCOMPARE(f.window->errorList(), verify(f.window->record()));
    if (refused) {
        QCOMPARE(f.ui.boxes.size(), 1);
        QCOMPARE(f.ui.boxes.first().box, Box::Plain);
        QCOMPARE(f.ui.boxes.first().text, kRefusal);
        QVERIFY(f.ui.saveRequests.isEmpty());
        QVERIFY(!QFile::exists(path));
        QCOMPARE(projectIdLabel(f), initialProjectId());
        QVERIFY(f.window->isModified());
        if (name.isEmpty())
            QCOMPARE(f.window->errorList().first(), checkEntry(Field::ProjectName));
    } else {
        QVERIFY(f.ui.boxes.isEmpty());
        QVERIFY(QFile::exists(path));
        QVERIFY(!f.window->isModified());
    }
}

void TestSave::cancelled()
{
    WindowFixture f;
    f.window->setRecord(test::completeSample());
    clickSave(f);
    QCOMPARE(f.ui.saveRequests.size(), 1);
    const FileRequest& asked = f.ui.saveRequests.first();
    QCOMPARE(asked.title, u"请输入要保存的文件名："_s);
    QCOMPARE(asked.filterName, u"XDX数据交换文件"_s);
    QCOMPARE(asked.filterPattern, u"*.xdx"_s);
    QCOMPARE(asked.defaultSuffix, u"xdx"_s);
    QCOMPARE(asked.directory, QString()); // no start directory of its own
    QCOMPARE(asked.fileName, QString());
    QVERIFY(f.ui.boxes.isEmpty());
    QCOMPARE(projectIdLabel(f), test::completeSample().projectId());
    QVERIFY(f.window->isModified());
    QCOMPARE(f.window->errorList(), QStringList()); // the check ran: the sample is complete
    QCOMPARE(f.window->saveDialogFileName(), QString());
}

void TestSave::fileName_data()
{
    QTest::addColumn<QString>("typed"); // relative to a fresh directory
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension: .xdx added") << u"a"_s << u"a.xdx"_s;
    QTest::newRow("xdx") << u"a.xdx"_s << u"a.xdx"_s;
    QTest::newRow("another extension as typed") << u"a.xml"_s << u"a.xml"_s;
    QTest::newRow("a dot in the folder only") << u"v1.2/a"_s << u"v1.2/a.xdx"_s;
    QTest::newRow("an existing file is replaced without a question") << u"old.xdx"_s << u"old.xdx"_s;
}

void TestSave::fileName()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"v1.2"_s));
    writeFile(dir, u"old.xdx"_s, "not a document");
    WindowFixture f;
    f.window->setRecord(test::completeSample());
    f.ui.saveAnswers.enqueue(dir.filePath(typed));
    clickSave(f);
    QVERIFY(f.ui.boxes.isEmpty());
    const QString path = dir.filePath(written);
    QCOMPARE(openStatus(openXdxFile(path)), OpenStatus::Loaded);
    QCOMPARE(f.window->saveDialogFileName(), path);
    QVERIFY(!f.window->isModified());
    // The next save proposes the name just used.
    clickSave(f);
    QCOMPARE(f.ui.saveRequests.last().fileName, path);
}

void TestSave::twoSavesDifferOnlyInTheIdentifier()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(u"a.xdx"_s);
    const QString b = dir.filePath(u"b.xdx"_s);
    WindowFixture f;
    f.window->setRecord(test::completeSample());
    f.ui.saveAnswers.enqueue(a);
    clickSave(f);
    const QString firstId = projectIdLabel(f);
    f.ui.saveAnswers.enqueue(b);
    clickSave(f);
    const QString secondId = projectIdLabel(f);

    const QRegularExpression registryForm(
        u"^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"_s);
    QVERIFY2(registryForm.match(firstId).hasMatch(), qPrintable(firstId));
    QVERIFY2(registryForm.match(secondId).hasMatch(), qPrintable(secondId));
    QVERIFY(firstId != secondId);
    QVERIFY(firstId != test::completeSample().projectId()); // the opened one is never written back
    QCOMPARE(elementContent(fromGbk(fileBytes(a)), u"ProjectID"_s), firstId);
    QCOMPARE(elementContent(fromGbk(fileBytes(b)), u"ProjectID"_s), secondId);
    QVERIFY(fileBytes(a) != fileBytes(b));
    QCOMPARE(withoutIdentifier(a), withoutIdentifier(b));
    QCOMPARE(f.ui.saveRequests.at(1).fileName, a);
}

void TestSave::storesTheCheckAsItStood_data()
{
    QTest::addColumn<bool>("complete");
    QTest::newRow("gaps are stored") << false;
    QTest::newRow("a complete application stores an empty list") << true;
}

void TestSave::storesTheCheckAsItStood()
{
    QFETCH(bool, complete);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.xdx"_s);
    WindowFixture f;
    ApplicationRecord r = complete ? test::completeSample() : test::incompleteSample();
    f.window->setRecord(r);
    // A stale list from an earlier check must not be what is stored.
    f.window->setRecord(ApplicationRecord());
    f.window->verifydataClick();
    f.window->setRecord(r);
    f.ui.saveAnswers.enqueue(path);
    clickSave(f);
    QVERIFY(f.ui.boxes.isEmpty());
    QCOMPARE(f.window->errorList(), verify(r));
    QCOMPARE(f.window->errorList().isEmpty(), complete);
    // The file is exactly the core's document of the fields and that list.
    r.setProjectId(projectIdLabel(f));
    QCOMPARE(fromGbk(fileBytes(path)), documentText(r, verify(r)));
}

void TestSave::keepsWhatIsBeingTyped()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.xdx"_s);
    WindowFixture f;
    QVERIFY(f.show());
    f.window->setRecord(test::completeSample());
    f.window->pageControl()->setCurrentIndex(2);
    auto* grid = f.field<GridTable>(Field::MainActor);
    grid->setFocus(Qt::MouseFocusReason);
    grid->setCurrentCell(9, 2);
    typeText(QApplication::focusWidget(), u"52"_s);
    QVERIFY(grid->isEditing());
    // The flat button leaves the focus in the cell; the save still has what it shows.
    f.ui.saveAnswers.enqueue(path);
    clickSave(f);
    QVERIFY(grid->isEditing());
    const OpenResult back = openXdxFile(path);
    QCOMPARE(back->record.table(Field::MainActor).cell(10, 2), u"52"_s);
}

void TestSave::failedWriteKeepsTheOldFile()
{
    SHENBAO_NEEDS_FILE_SIZE_LIMIT();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.xdx"_s);
    WindowFixture f;
    f.window->setRecord(test::completeSample());
    f.ui.saveAnswers.enqueue(path);
    clickSave(f);
    const QByteArray before = fileBytes(path);
    QVERIFY(before.size() > 4096);

    typeText(f.field<QWidget>(Field::KeyWord), u"改"_s);
    f.ui.saveAnswers.enqueue(path);
    {
        const FileSizeLimit limit(4096);
        clickSave(f);
    }
    QCOMPARE(f.ui.texts(Box::Error).size(), 1);
    const QString shown = f.ui.texts(Box::Error).first();
    QVERIFY2(shown.contains(u"a.xdx"_s) && shown.endsWith(u'.'), qPrintable(shown));
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"a.xdx"_s});
    QVERIFY(f.window->isModified());
    // The label already shows the new identifier, which no file holds.
    QVERIFY(projectIdLabel(f) != elementContent(fromGbk(before), u"ProjectID"_s));
    QCOMPARE(f.window->saveDialogFileName(), path);

    // Without the limit the same save goes through.
    f.ui.saveAnswers.enqueue(path);
    clickSave(f);
    QCOMPARE(f.ui.saveRequests.last().fileName, path);
    QCOMPARE(openXdxFile(path)->record.value(Field::KeyWord),
             u"改"_s + test::completeSample().value(Field::KeyWord));
    QVERIFY(!f.window->isModified());
}

// The cases of the close question. "setup" is what happens after start-up; "answers" how the
// question and the save dialog are answered.
void TestSave::close_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("answers"); // "yes", "no", "yes+cancel"
    QTest::addColumn<bool>("asks");
    QTest::addColumn<bool>("saves");

    QTest::newRow("edited with title and leader, No") << u"type"_s << u"no"_s << true << false;
    QTest::newRow("edited with title and leader, Yes saves") << u"type"_s << u"yes"_s << true << true;
    QTest::newRow("Yes, then the dialog cancelled") << u"type"_s << u"yes+cancel"_s << true << false;
    QTest::newRow("blanks count as filled") << u"blanks"_s << u"no"_s << true << false;
    QTest::newRow("leader empty") << u"no leader"_s << u"yes"_s << false << false;
    QTest::newRow("title empty") << u"no title"_s << u"yes"_s << false << false;
    QTest::newRow("not modified since start-up") << u"none"_s << u"yes"_s << false << false;
    QTest::newRow("moving between table cells only") << u"cells"_s << u"no"_s << true << false;
    QTest::newRow("right after an open") << u"open"_s << u"yes"_s << false << false;
    QTest::newRow("after a successful save") << u"saved"_s << u"yes"_s << false << false;
    QTest::newRow("after a cancelled save") << u"cancelled save"_s << u"no"_s << true << false;
    QTest::newRow("official, after edits") << u"official"_s << u"yes"_s << false << false;
    // Mended: an open that reads nothing leaves the edits unsaved, so closing still asks.
    QTest::newRow("edited, then the open dialog cancelled")
        << u"cancelled open"_s << u"no"_s << true << false;
    QTest::newRow("edited, then a foreign document rejected")
        << u"rejected open"_s << u"no"_s << true << false;
}

void TestSave::close()
{
    QFETCH(QString, setup);
    QFETCH(QString, answers);
    QFETCH(bool, asks);
    QFETCH(bool, saves);
    QTemporaryDir dir;
    const QString target = dir.filePath(u"closing.xdx"_s);
    ApplicationRecord opened = test::completeSample();
    const QString document = writeFile(dir, u"opened.xdx"_s, xdxBytes(opened, {}));
    const QString official =
        writeFile(dir, u"official.xdx"_s,
                  gbkBytes(withElement(documentText(opened), u"PASSBY"_s, leaf(u"PASSBY"_s, u"1"_s))));

    WindowFixture f;
    QVERIFY(f.show());
    const auto type = [&f](Field field, const QString& text) {
        f.window->pageControl()->setCurrentIndex(fieldSpec(field).page - 1);
        if (auto* code = qobject_cast<EduCodeEdit*>(f.field<QWidget>(field)))
            code->setCursorPosition(0);
        typeText(f.field<QWidget>(field), text);
    };
    if (setup == u"type" || setup == u"cells" || setup == u"saved" || setup == u"cancelled save" ||
        setup == u"cancelled open" || setup == u"rejected open") {
        type(Field::ProjectName, u"课题"_s);
        type(Field::Presider, u"张三"_s);
    } else if (setup == u"blanks") {
        type(Field::ProjectName, u" "_s);
        type(Field::Presider, u" "_s);
    } else if (setup == u"no leader") {
        type(Field::ProjectName, u"课题"_s);
        type(Field::KeyWord, u"词"_s);
    } else if (setup == u"no title") {
        type(Field::Presider, u"张三"_s);
    } else if (setup == u"open" || setup == u"official") {
        f.ui.openAnswers.enqueue(setup == u"open" ? document : official);
        QTest::mouseClick(f.get<QAbstractButton>(u"openxmlfile"_s), Qt::LeftButton);
        QVERIFY(f.ui.boxes.isEmpty());
        if (setup == u"official") {
            QVERIFY(f.window->isOfficial());
            type(Field::EduCode, u"1"_s); // still editable, and it sets Modified
        }
    }
    if (setup == u"cells") {
        f.window->setRecord(f.window->record()); // fields filled by the program...
        QVERIFY(f.window->isModified());
        f.ui.saveAnswers.enqueue(target);
        clickSave(f); // ...then saved: Modified clear
        QVERIFY(!f.window->isModified());
        f.window->pageControl()->setCurrentIndex(3);
        auto* grid = f.field<GridTable>(Field::Production);
        grid->setFocus(Qt::MouseFocusReason);
        press(QApplication::focusWidget(), Qt::Key_Down); // no text typed
        QFile::remove(target);
    } else if (setup == u"saved") {
        f.ui.saveAnswers.enqueue(target);
        clickSave(f);
        QFile::remove(target);
    } else if (setup == u"cancelled save") {
        clickSave(f);
    } else if (setup == u"cancelled open" || setup == u"rejected open") {
        if (setup == u"rejected open")
            f.ui.openAnswers.enqueue(
                writeFile(dir, u"foreign.xdx"_s, "<XMLPackage><ver>other</ver></XMLPackage>"));
        QTest::mouseClick(f.get<QAbstractButton>(u"openxmlfile"_s), Qt::LeftButton);
        QVERIFY(f.window->isModified());
    }
    if (setup == u"official")
        QVERIFY(f.window->isModified());
    f.ui.clear();

    f.ui.questionAnswers.enqueue(answers.startsWith(u"yes"));
    if (answers == u"yes")
        f.ui.saveAnswers.enqueue(target);
    QVERIFY(f.window->close()); // closing is never refused here
    QVERIFY(!f.window->isVisible());
    if (asks) {
        QCOMPARE(f.ui.boxes.size(), 1);
        QCOMPARE(f.ui.boxes.first().box, Box::Question);
        QCOMPARE(f.ui.boxes.first().text, u"退出前先保存编辑的文档吗？！"_s);
    } else {
        QVERIFY(f.ui.boxes.isEmpty());
    }
    QCOMPARE(f.ui.saveRequests.size(), answers.startsWith(u"yes") && asks ? 1 : 0);
    QCOMPARE(QFile::exists(target), saves);
    if (saves)
        QCOMPARE(openXdxFile(target)->record.value(Field::Presider), u"张三"_s);
}

void TestSave::closeAfterAFailedSaveStaysOpen()
{
    SHENBAO_NEEDS_FILE_SIZE_LIMIT();
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.xdx"_s);
    WindowFixture f;
    QVERIFY(f.show());
    f.window->setRecord(test::completeSample());
    f.ui.questionAnswers.enqueue(true);
    f.ui.saveAnswers.enqueue(path);
    bool closed = true;
    {
        const FileSizeLimit limit(1024);
        closed = f.window->close();
    }
    QVERIFY(!closed);
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.ui.texts(Box::Question).size(), 1);
    QCOMPARE(f.ui.texts(Box::Error).size(), 1);
    QVERIFY(!QFile::exists(path));

    // Closing again asks again, since the application is still modified.
    f.ui.questionAnswers.enqueue(true);
    f.ui.saveAnswers.enqueue(path);
    QVERIFY(f.window->close());
    QCOMPARE(f.ui.texts(Box::Question).size(), 2);
    QCOMPARE(openStatus(openXdxFile(path)), OpenStatus::Loaded);
}

QTEST_MAIN(TestSave)
#include "test_save.moc"
