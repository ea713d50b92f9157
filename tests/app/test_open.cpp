// "打 开", the start-up open of the command line's file, and official mode.
#include "../common/fixtures.h"
#include "app/gridtable.h"
#include "check/verify.h"
#include "documents.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTabWidget>

using namespace shenbao;
using namespace shenbao::testing;
using namespace Qt::StringLiterals;
using Box = ScriptedInteraction::Box;

class TestOpen : public QObject
{
    Q_OBJECT

private slots:
    void opensASavedDocument();
    void readsDocumentsWrittenOtherwise_data();
    void readsDocumentsWrittenOtherwise();
    void rejected_data();
    void rejected();
    void failsWithoutTakingAnything_data();
    void failsWithoutTakingAnything();
    void cancelled();
    void dialogs();

    void officialMark_data();
    void officialMark();
    void officialMode();
    void leavingOfficialMode_data();
    void leavingOfficialMode();

    void startUpOpen();
    void startUpFailureGoesOn();
    void argumentsAreJoined_data();
    void argumentsAreJoined();
};

namespace {

void clickOpen(WindowFixture& f)
{
    QTest::mouseClick(f.get<QAbstractButton>(u"openxmlfile"_s), Qt::LeftButton);
}

// A document of this program with one element replaced.
QByteArray edited(const ApplicationRecord& r, const QString& element, const QString& replacement)
{
    return gbkBytes(withElement(documentText(r), element, replacement));
}

QByteArray officialDocument(const ApplicationRecord& r, const QString& mark = u"1"_s)
{
    return edited(r, u"PASSBY"_s, leaf(u"PASSBY"_s, mark));
}

// The state an open is tried on: a half-filled application opened from prior.xdx, then edited
// by typing, so that its fields, its error list (the check before the edit) and Modified all
// differ from what a fresh check or a fresh open would give.
struct Prior
{
    ApplicationRecord record;
    QStringList errorList;
    QString fileName;
};

Prior prepare(WindowFixture& f, const QTemporaryDir& dir)
{
    Prior p;
    p.fileName = writeFile(dir, u"prior.xdx"_s, xdxBytes(test::incompleteSample(), {}));
    f.ui.openAnswers.enqueue(p.fileName);
    clickOpen(f);
    if (!f.ui.boxes.isEmpty())
        qFatal("prior.xdx did not open");
    p.errorList = f.window->errorList();
    typeText(f.field<QWidget>(Field::Birthday), u"1990年1月1日"_s);
    p.record = f.window->record();
    if (!p.errorList.contains(checkEntry(Field::Birthday)) || verify(p.record) == p.errorList)
        qFatal("the edit does not change the check");
    f.ui.clear();
    return p;
}

// Every control that official mode disables or leaves alone, with whether it is enabled.
QMap<QString, bool> enabledStates(const WindowFixture& f)
{
    QMap<QString, bool> states;
    for (const FieldSpec& spec : fieldCatalogue())
        states.insert(QString::fromUtf16(spec.name), f.window->fieldControl(spec.field)->isEnabled());
    for (const char16_t* name :
         {u"savexmlfile", u"verifydata", u"openxmlfile", u"helpinfo", u"printreport", u"verifylist",
          u"Presider1", u"EduCode1", u"Edit4", u"Memo1", u"Memo3", u"PageControl1"})
        states.insert(QString::fromUtf16(name), f.get<QWidget>(QString::fromUtf16(name))->isEnabled());
    return states;
}

} // namespace

void TestOpen::opensASavedDocument()
{
    // Values of every kind, with the cases a reader can get wrong: empty cells among filled
    // ones, blank lines in a long text, an incomplete code, a choice item whose text another
    // item repeats, a stale error list in the document.
    ApplicationRecord r = test::completeSample();
    r.table(Field::MainActor).setCell(1, 4, QString());
    r.table(Field::Production).setCell(3, 0, u"只有名称"_s);
    r.table(Field::FinallyProduction).clearRow(1);
    r.setValue(Field::tuijian1, u"第一段\r\n\r\n  第三段，有逗号,\"引号\"\r\n"_s);
    r.setValue(Field::EduCode, u"12345"_s);
    r.setValue(Field::KeyWord, u" "_s);
    r.setValue(Field::BelongCity, choiceItems(Field::BelongCity).at(1)); // item 0 holds the same text
    r.setProjectId(u"{5CD45C44-186A-481C-BC49-F554A636508A}"_s);
    QTemporaryDir dir;
    const QString path = writeFile(dir, u"saved.xdx"_s, xdxBytes(r, {u"99、旧的检查  未填写"_s}));

    WindowFixture f;
    typeText(f.field<QWidget>(Field::ContactMobile), u"1"_s);
    f.ui.openAnswers.enqueue(path);
    clickOpen(f);
    QVERIFY(f.ui.boxes.isEmpty());
    COMPARE_RECORDS(f.window->record(), asReadBack(r));
    QCOMPARE(f.get<QLabel>(u"ProjectID"_s)->text(), r.projectId());
    QCOMPARE(f.field<GridTable>(Field::MainActor)->cellText(1, 4), QString()); // empty stays empty
    QCOMPARE(f.get<QLineEdit>(u"Presider1"_s)->text(), r.value(Field::Presider));
    QCOMPARE(f.get<QLineEdit>(u"EduCode1"_s)->text(), u"123-45_-____"_s);
    QCOMPARE(f.field<QComboBox>(Field::BelongCity)->currentIndex(), 0);
    // The error list is the fresh check's, not the document's.
    QCOMPARE(f.window->errorList(), verify(r));
    QVERIFY(f.window->errorList().contains(checkEntry(Field::MainActor)));
    QVERIFY(!f.window->isModified()); // the choice writes and the copies left nothing behind
    QVERIFY(!f.window->isOfficial());
    QCOMPARE(f.window->saveDialogFileName(), path);
}

void TestOpen::readsDocumentsWrittenOtherwise_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<ApplicationRecord>("expected");
    const ApplicationRecord r = test::completeSample();
    const QString text = documentText(r);

    QString indented = text;
    indented.replace(QRegularExpression(u">(<[^/])"_s), u">\r\n    \\1"_s);
    indented.replace(QRegularExpression(u"(</[^>]+>)(</)"_s), u"\\1\r\n\\2"_s);
    QTest::newRow("indented, CR LF") << gbkBytes(indented) << r;

    const QString name = leaf(u"ProjectName"_s, r.value(Field::ProjectName));
    const QString ver = leaf(u"ver"_s, u"QX2011v1.0"_s);
    QString reordered = withElement(withElement(text, u"ProjectName"_s, QString()), u"ver"_s, QString());
    reordered.replace(u"</XMLPackage>"_s, name + ver + u"</XMLPackage>"_s);
    QTest::newRow("reordered: title and tag last") << gbkBytes(reordered) << r;

    ApplicationRecord noRow = r;
    noRow.table(Field::FinallyProduction).clearRow(1);
    QTest::newRow("a missing first row is empty, without the preset")
        << gbkBytes(withElement(text, u"FinallyProduction1"_s, QString())) << noRow;

    // The list has no such item: the field shows no choice, and the check says so.
    ApplicationRecord noChoice = r;
    noChoice.setValue(Field::SubjectClass, QString());
    QTest::newRow("a choice the list lacks")
        << gbkBytes(withElement(text, u"SubjectClass"_s, leaf(u"SubjectClass"_s, u"天文学"_s))) << noChoice;
}

void TestOpen::readsDocumentsWrittenOtherwise()
{
    QFETCH(QByteArray, document);
    QFETCH(ApplicationRecord, expected);
    QTemporaryDir dir;
    WindowFixture f;
    f.ui.openAnswers.enqueue(writeFile(dir, u"d.xdx"_s, document));
    clickOpen(f);
    QCOMPARE(f.ui.boxes.size(), 0);
    COMPARE_RECORDS(f.window->record(), asReadBack(expected));
    QCOMPARE(f.window->errorList(), verify(expected));
    QVERIFY(!f.window->isModified());
}

void TestOpen::rejected_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("informs"); // the information box, or nothing for an empty root
    const ApplicationRecord r = test::completeSample();
    QTest::newRow("tag in another letter case")
        << edited(r, u"ver"_s, leaf(u"ver"_s, u"qx2011v1.0"_s)) << true;
    QTest::newRow("tag with a trailing blank")
        << edited(r, u"ver"_s, leaf(u"ver"_s, u"QX2011v1.0 "_s)) << true;
    QTest::newRow("no tag") << edited(r, u"ver"_s, QString()) << true;
    QTest::newRow("a root without children")
        << QByteArray("<?xml version=\"1.0\" encoding=\"GBK\" standalone=\"yes\"?>\r\n<XMLPackage/>\r\n")
        << false;
}

void TestOpen::rejected()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, informs);
    QTemporaryDir dir;
    WindowFixture f;
    const Prior prior = prepare(f, dir);
    const QString path = writeFile(dir, u"foreign.xdx"_s, document);
    f.ui.openAnswers.enqueue(path);
    clickOpen(f);
    if (informs) {
        QCOMPARE(f.ui.boxes.size(), 1);
        QCOMPARE(f.ui.boxes.first().box, Box::Information);
        QCOMPARE(f.ui.boxes.first().text, u"您选择的文档不是用本申报系统生成的"_s);
    } else {
        QVERIFY(f.ui.boxes.isEmpty());
    }
    // No field changes; the check runs on the fields as they are; the save dialog proposes the
    // rejected document's name. Mended: Modified stays set, since the edits are still unsaved.
    COMPARE_RECORDS(f.window->record(), prior.record);
    QCOMPARE(f.window->errorList(), verify(prior.record));
    QCOMPARE(f.window->saveDialogFileName(), path);
    QVERIFY(f.window->isModified());
}

void TestOpen::failsWithoutTakingAnything_data()
{
    QTest::addColumn<QString>("file"); // "" for a file that does not exist
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("shown"); // the error box's text, or "" for any
    const ApplicationRecord r = test::completeSample();
    const QByteArray whole = xdxBytes(r, {});
    const QString notSingle = u"Element does not contain a single text node."_s;
    QTest::newRow("cut off half-way") << u"cut.xdx"_s << whole.left(whole.size() / 2) << QString();
    QTest::newRow("no such file") << QString() << QByteArray() << QString();
    // Mended: an element with more than a text value fails the whole open before any field,
    // the mode included, is written; the fields before it do not mix into the old application.
    QTest::newRow("a comment inside Nation")
        << u"nation.xdx"_s << edited(r, u"Nation"_s, leaf(u"Nation"_s, u"汉<!-- x -->族"_s)) << notSingle;
    QTest::newRow("an official document with a comment inside Nation")
        << u"official.xdx"_s
        << gbkBytes(
               withElement(fromGbk(officialDocument(r)), u"Nation"_s, leaf(u"Nation"_s, u"汉<!-- x -->族"_s)))
        << notSingle;
    QTest::newRow("an element inside the last field")
        << u"last.xdx"_s << edited(r, u"jiaoyujuyijian"_s, leaf(u"jiaoyujuyijian"_s, u"<b>同意</b>"_s))
        << notSingle;
}

void TestOpen::failsWithoutTakingAnything()
{
    QFETCH(QString, file);
    QFETCH(QByteArray, document);
    QFETCH(QString, shown);
    QTemporaryDir dir;
    WindowFixture f;
    const Prior prior = prepare(f, dir);
    const QString path = file.isEmpty() ? dir.filePath(u"missing.xdx"_s) : writeFile(dir, file, document);
    f.ui.openAnswers.enqueue(path);
    clickOpen(f);
    QCOMPARE(f.ui.boxes.size(), 1);
    QCOMPARE(f.ui.boxes.first().box, Box::Error);
    if (!shown.isEmpty())
        QCOMPARE(f.ui.boxes.first().text, shown);
    QVERIFY(!f.ui.boxes.first().text.isEmpty());
    // Fields, mode, error list, the save dialog's name and Modified as they were.
    COMPARE_RECORDS(f.window->record(), prior.record);
    QVERIFY(!f.window->isOfficial());
    QVERIFY(f.field<QWidget>(Field::ProjectName)->isEnabled());
    QCOMPARE(f.window->errorList(), prior.errorList);
    QCOMPARE(f.window->saveDialogFileName(), prior.fileName);
    QVERIFY(f.window->isModified());
    QCOMPARE(f.window->startupFileName(), QString());
    // The next open asks with the dialog again, proposing the name last chosen.
    clickOpen(f);
    QCOMPARE(f.ui.openRequests.size(), 2);
    QCOMPARE(f.ui.openRequests.last().fileName, path);
}

void TestOpen::cancelled()
{
    QTemporaryDir dir;
    WindowFixture f;
    const Prior prior = prepare(f, dir);
    clickOpen(f); // no answer queued: cancelled
    QCOMPARE(f.ui.openRequests.size(), 1);
    QCOMPARE(f.ui.openRequests.first().fileName, prior.fileName); // still proposed
    QVERIFY(f.ui.boxes.isEmpty());
    // Nothing read, no check; the save dialog's name is emptied. Mended: Modified stays set, so
    // that closing still offers to save the edits.
    COMPARE_RECORDS(f.window->record(), prior.record);
    QCOMPARE(f.window->errorList(), prior.errorList);
    QCOMPARE(f.window->saveDialogFileName(), QString());
    QVERIFY(f.window->isModified());
    QCOMPARE(f.window->openDialogFileName(), prior.fileName);
}

void TestOpen::dialogs()
{
    QTemporaryDir dir;
    const QString a = writeFile(dir, u"a.xdx"_s, xdxBytes(test::completeSample(), {}));
    writeFile(dir, u"b.xdx"_s, xdxBytes(test::incompleteSample(), {}));
    WindowFixture f({}, u"/opt/shenbao/bin"_s);
    f.ui.openAnswers.enqueue(a);
    clickOpen(f);
    const FileRequest& first = f.ui.openRequests.first();
    QCOMPARE(first.title, u"请选择需要打开的项目文件"_s);
    QCOMPARE(first.directory, u"/opt/shenbao/bin"_s); // the program's own directory
    QCOMPARE(first.filterName, u"XDX数据交换文件"_s);
    QCOMPARE(first.filterPattern, u"*.xdx"_s);
    QCOMPARE(first.defaultSuffix, u"xdx"_s);
    QCOMPARE(first.fileName, QString());

    // A name typed without its extension opens the .xdx file, and is what both dialogs propose.
    f.ui.openAnswers.enqueue(dir.filePath(u"b"_s));
    clickOpen(f);
    QCOMPARE(f.ui.openRequests.at(1).fileName, a);
    QVERIFY(f.ui.boxes.isEmpty());
    COMPARE_RECORDS(f.window->record(), asReadBack(test::incompleteSample()));
    QCOMPARE(f.window->openDialogFileName(), dir.filePath(u"b.xdx"_s));
    QTest::mouseClick(f.get<QAbstractButton>(u"savexmlfile"_s), Qt::LeftButton); // cancelled
    QCOMPARE(f.ui.saveRequests.last().fileName, dir.filePath(u"b.xdx"_s));
    clickOpen(f);
    QCOMPARE(f.ui.openRequests.last().fileName, dir.filePath(u"b.xdx"_s));
}

void TestOpen::officialMark_data()
{
    QTest::addColumn<QString>("mark"); // "<none>" removes the element
    QTest::addColumn<bool>("official");
    QTest::newRow("1") << u"1"_s << true;
    QTest::newRow("0") << u"0"_s << false;
    QTest::newRow("blank before") << u" 1"_s << false;
    QTest::newRow("blank after") << u"1 "_s << false;
    QTest::newRow("01") << u"01"_s << false;
    QTest::newRow("2") << u"2"_s << false;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("missing") << u"<none>"_s << false;
}

void TestOpen::officialMark()
{
    QFETCH(QString, mark);
    QFETCH(bool, official);
    const ApplicationRecord r = test::completeSample();
    QTemporaryDir dir;
    const QByteArray document =
        mark == u"<none>" ? edited(r, u"PASSBY"_s, QString()) : officialDocument(r, mark);
    WindowFixture f;
    f.ui.openAnswers.enqueue(writeFile(dir, u"d.xdx"_s, document));
    clickOpen(f);
    QVERIFY(f.ui.boxes.isEmpty());
    QCOMPARE(f.window->isOfficial(), official);
    COMPARE_RECORDS(f.window->record(), asReadBack(r));
}

void TestOpen::officialMode()
{
    const ApplicationRecord r = test::completeSample();
    QTemporaryDir dir;
    WindowFixture f;
    QVERIFY(f.show());
    const QMap<QString, bool> ordinary = enabledStates(f);
    f.ui.openAnswers.enqueue(writeFile(dir, u"official.xdx"_s, officialDocument(r)));
    clickOpen(f);
    QVERIFY(f.ui.boxes.isEmpty());

    auto* notice = f.get<QLabel>(u"passby"_s);
    QVERIFY(notice->isVisible());
    QCOMPARE(notice->text(), u"本项目文件为正式文档，仅供打印和预览,不允许修改！"_s);
    QVERIFY(f.window->isOfficial());
    // The 48 fields and "保 存" disabled; EduCode and everything else as before.
    QMap<QString, bool> expected = ordinary;
    int disabled = 0;
    for (const FieldSpec& spec : fieldCatalogue())
        if (spec.field != Field::EduCode) {
            expected[QString::fromUtf16(spec.name)] = false;
            ++disabled;
        }
    expected[u"savexmlfile"_s] = false;
    QCOMPARE(disabled, 48);
    QCOMPARE(enabledStates(f), expected);
    QVERIFY(f.field<QWidget>(Field::EduCode)->isEnabled());
    // The values are still there to read, check and print.
    COMPARE_RECORDS(f.window->record(), asReadBack(r));
    QCOMPARE(f.field<QLineEdit>(Field::ProjectName)->text(), r.value(Field::ProjectName));
    // Typing goes nowhere; the error list still leads to the pages.
    typeText(f.field<QWidget>(Field::KeyWord), u"x"_s);
    COMPARE_RECORDS(f.window->record(), asReadBack(r));
    QVERIFY(!f.window->isModified());
    f.window->pageControl()->setCurrentIndex(9);
    QCOMPARE(f.window->pageControl()->currentIndex(), 9);
    // Nothing can be saved, not even by calling the command.
    f.ui.saveAnswers.enqueue(dir.filePath(u"copy.xdx"_s));
    f.window->savexmlfileClick();
    QVERIFY(f.ui.saveRequests.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath(u"copy.xdx"_s)));
}

void TestOpen::leavingOfficialMode_data()
{
    QTest::addColumn<QString>("next");
    QTest::addColumn<bool>("official"); // after the next open
    QTest::newRow("an ordinary document leaves it") << u"ordinary"_s << false;
    QTest::newRow("another official document") << u"official"_s << true;
    QTest::newRow("a cancelled dialog keeps it") << u"cancel"_s << true;
    QTest::newRow("a rejected document keeps it") << u"rejected"_s << true;
    QTest::newRow("a root without children keeps it") << u"empty root"_s << true;
    QTest::newRow("a failed parse keeps it") << u"broken"_s << true;
    QTest::newRow("a half-way failure keeps it") << u"half-way"_s << true;
}

void TestOpen::leavingOfficialMode()
{
    QFETCH(QString, next);
    QFETCH(bool, official);
    const ApplicationRecord r = test::completeSample();
    QTemporaryDir dir;
    WindowFixture f;
    const QMap<QString, bool> ordinary = enabledStates(f);
    f.ui.openAnswers.enqueue(writeFile(dir, u"official.xdx"_s, officialDocument(r)));
    clickOpen(f);
    QVERIFY(f.window->isOfficial());
    const QMap<QString, bool> officialStates = enabledStates(f);

    QByteArray document;
    if (next == u"ordinary")
        document = xdxBytes(test::incompleteSample(), {});
    else if (next == u"official")
        document = officialDocument(test::incompleteSample());
    else if (next == u"rejected")
        document = edited(r, u"ver"_s, QString());
    else if (next == u"empty root")
        document = "<XMLPackage></XMLPackage>";
    else if (next == u"broken")
        document = "<XMLPackage>";
    else if (next == u"half-way")
        document = gbkBytes(
            withElement(documentText(test::incompleteSample()), u"Tutor"_s, u"<Tutor><a/></Tutor>"_s));
    if (next != u"cancel")
        f.ui.openAnswers.enqueue(writeFile(dir, u"next.xdx"_s, document));
    clickOpen(f);
    QCOMPARE(f.window->isOfficial(), official);
    QCOMPARE(enabledStates(f), official ? officialStates : ordinary);
    QCOMPARE(f.get<QLabel>(u"passby"_s)->isHidden(), !official);
}

void TestOpen::startUpOpen()
{
    QTemporaryDir dir;
    const ApplicationRecord r = test::incompleteSample();
    const QString path = writeFile(dir, u"start.xdx"_s, xdxBytes(r, {}));
    WindowFixture f({path});
    QVERIFY(f.ui.openRequests.isEmpty());
    QVERIFY(f.ui.boxes.isEmpty());
    COMPARE_RECORDS(f.window->record(), asReadBack(r));
    QCOMPARE(f.window->errorList(), verify(r));
    QCOMPARE(f.window->startupFileName(), QString());
    QVERIFY(!f.window->isModified());
    QCOMPARE(f.window->saveDialogFileName(), path);
    QCOMPARE(f.window->openDialogFileName(), QString());
    QCOMPARE(f.window->pageControl()->currentIndex(), 0);
    // The next open asks.
    clickOpen(f);
    QCOMPARE(f.ui.openRequests.size(), 1);
}

void TestOpen::startUpFailureGoesOn()
{
    QTemporaryDir dir;
    WindowFixture f({dir.filePath(u"missing.xdx"_s)});
    QCOMPARE(f.ui.texts(Box::Error).size(), 1);
    QVERIFY(f.ui.texts(Box::Error).first().contains(u"missing.xdx"_s));
    COMPARE_RECORDS(f.window->record(), ApplicationRecord());
    QCOMPARE(f.window->startupFileName(), QString());
    QVERIFY(!f.window->isModified());
    QVERIFY(f.show());
    clickOpen(f);
    QCOMPARE(f.ui.openRequests.size(), 1);
}

void TestOpen::argumentsAreJoined_data()
{
    QTest::addColumn<QStringList>("arguments"); // file names inside a fresh directory
    QTest::addColumn<QString>("opened");        // the file opened, or "" for none
    QTest::newRow("none") << QStringList() << QString();
    QTest::newRow("one") << QStringList{u"a.xdx"_s} << u"a.xdx"_s;
    QTest::newRow("an unquoted path with a blank arrives as two")
        << QStringList{u"my"_s, u"file.xdx"_s} << u"my file.xdx"_s;
    QTest::newRow("a quoted path keeps its two blanks")
        << QStringList{u"my  file.xdx"_s} << u"my  file.xdx"_s;
    QTest::newRow("three parts") << QStringList{u"申报"_s, u"书"_s, u"x.xdx"_s} << u"申报 书 x.xdx"_s;
}

void TestOpen::argumentsAreJoined()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, opened);
    QTemporaryDir dir;
    for (const QString& name : {u"a.xdx"_s, u"my file.xdx"_s, u"my  file.xdx"_s, u"申报 书 x.xdx"_s})
        writeFile(dir, name, xdxBytes(test::incompleteSample(), {}));
    if (!arguments.isEmpty())
        arguments.first().prepend(dir.path() + u'/');
    WindowFixture f(arguments);
    QVERIFY(f.ui.boxes.isEmpty());
    QCOMPARE(f.window->saveDialogFileName(), opened.isEmpty() ? QString() : dir.filePath(opened));
    COMPARE_RECORDS(f.window->record(),
                    opened.isEmpty() ? ApplicationRecord() : asReadBack(test::incompleteSample()));
}

QTEST_MAIN(TestOpen)
#include "test_open.moc"
