#include "../common/clirun.h"
#include "bench/roundgen.h"
#include "check/verify.h"
#include "cli/xdxtool.h"
#include "files/files.h"
#include "record/gbk.h"
#include "xdx/xdxfile.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using namespace shenbao;
using namespace shenbao::test;

namespace {

QJsonObject withoutId(QJsonObject o)
{
    o.remove(u"ProjectID"_qs);
    return o;
}

} // namespace

class TestXdxtool : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QString officialCopy();

private slots:
    void usageAndHelp();
    void checkOneFile();
    void checkSeveralFiles();
    void checkJson();
    void checkBoxesGoToStandardError();
    void dumpMatchesTheSampleSource();
    void dumpBuildRoundTrip();
    void dumpRefusesWhatTheWindowWouldRefuse();
    void buildRefusesBadInput_data();
    void buildRefusesBadInput();
    void buildNeedsTitleAndLeader();
    void buildAcceptsBothLineBreaks();
    void outputErrorsFail_data();
    void outputErrorsFail();
    void manyFilesInInputOrder();
    void officialChangesOnlyPassby();
    void tableRowsAndDuplicates();
    void anonymityHitsAndNonHits();
    void anonymityFolds_data();
    void anonymityFolds();
    void similarPairsInInputOrder();
    void namesOfAnyBytesAndLists();
    void usageErrors_data();
    void usageErrors();
    void officialRefuses_data();
    void officialRefuses();
    void closedPipeStopsTheRun();
};

QString TestXdxtool::officialCopy()
{
    QByteArray bytes = readAll(sample("complete.xdx"));
    bytes.replace("<PASSBY>0</PASSBY>", "<PASSBY>1</PASSBY>");
    const QString p = path(u"official.xdx"_qs);
    writeAll(p, bytes);
    return p;
}

void TestXdxtool::usageAndHelp()
{
    Run r = xdxtool({});
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains(u"check"_qs) && r.err.contains(u"dump"_qs) && r.err.contains(u"build"_qs));
    for (const QString& sub : {u"check"_qs, u"dump"_qs, u"build"_qs}) {
        r = xdxtool({sub, u"--help"_qs});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.out.startsWith(u"用法：xdxtool "_qs + sub), qPrintable(r.out));
    }
    QCOMPARE(xdxtool({u"--help"_qs}).status, 0);
    r = xdxtool({u"chek"_qs, u"a.xdx"_qs});
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains(u"chek"_qs));
    QCOMPARE(xdxtool({u"check"_qs}).status, 2);
    QCOMPARE(xdxtool({u"check"_qs, u"--jsn"_qs, sample("complete.xdx")}).status, 2);
    QCOMPARE(xdxtool({u"build"_qs, u"only-one"_qs}).status, 2);
}

void TestXdxtool::checkOneFile()
{
    Run r = xdxtool({u"check"_qs, sample("complete.xdx")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QString());
    r = xdxtool({u"check"_qs, sample("incomplete.xdx")});
    QCOMPARE(r.status, 1);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, verify(incompleteSample()));
    QVERIFY(lines.first().startsWith(u"01、"_qs));
}

void TestXdxtool::checkSeveralFiles()
{
    const QString missing = path(u"nothing-here.xdx"_qs);
    const Run r = xdxtool({u"check"_qs, sample("complete.xdx"), sample("incomplete.xdx"), missing});
    QCOMPARE(r.status, 2);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), verify(incompleteSample()).size());
    for (const QString& line : lines)
        QVERIFY(line.startsWith(shown(sample("incomplete.xdx")) + u": "_qs));
    QVERIFY(r.err.contains(shown(missing) + u": "_qs));
}

void TestXdxtool::checkJson()
{
    const QString broken = path(u"broken.xdx"_qs);
    writeAll(broken, "<XMLPackage><ver>");
    const QString foreign = path(u"foreign.xdx"_qs);
    writeAll(foreign, "<XMLPackage><ver>QX2010</ver></XMLPackage>");
    const Run r = xdxtool({u"check"_qs, u"--json"_qs, sample("complete.xdx"), sample("incomplete.xdx"),
                           broken, foreign, officialCopy()});
    QCOMPARE(r.status, 2);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(r.out.toUtf8(), &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    const QJsonArray files = doc.array();
    QCOMPARE(files.size(), 5);
    auto status = [&](int i) { return files[i][u"status"_qs].toString(); };
    QCOMPARE(status(0), u"complete"_qs);
    QCOMPARE(files[0][u"entries"_qs].toArray().size(), 0);
    QVERIFY(files[0][u"message"_qs].isNull());
    QCOMPARE(status(1), u"incomplete"_qs);
    QCOMPARE(files[1][u"entries"_qs].toArray().first().toString(), verify(incompleteSample()).first());
    QCOMPARE(status(2), u"error"_qs);
    QVERIFY(files[2][u"message"_qs].toString().contains(u"Line: 1"_qs));
    QCOMPARE(files[2][u"entries"_qs].toArray().size(), 0); // the open stops before the check
    QCOMPARE(status(3), u"rejected"_qs);
    QCOMPARE(files[3][u"message"_qs].toString(), u"您选择的文档不是用本申报系统生成的"_qs);
    QCOMPARE(files[3][u"entries"_qs].toArray().size(), 48); // the fresh application, checked
    QCOMPARE(status(4), u"complete"_qs);
    QCOMPARE(files[4][u"official"_qs].toBool(), true);
    // A file that is not there has no line to point at.
    const Run missing = xdxtool({u"check"_qs, u"--json"_qs, path(u"absent.xdx"_qs)});
    const QString message =
        QJsonDocument::fromJson(missing.out.toUtf8()).array()[0][u"message"_qs].toString();
    QVERIFY2(message.contains(u"找不到文件"_qs) && !message.contains(u"Line"_qs), qPrintable(message));
    QCOMPARE(files[0][u"official"_qs].toBool(), false);
    QCOMPARE(files[0][u"file"_qs].toString(), shown(sample("complete.xdx")));
}

void TestXdxtool::checkBoxesGoToStandardError()
{
    const QString foreign = path(u"foreign2.xdx"_qs);
    writeAll(foreign, "<XMLPackage><ver>qx2011v1.0</ver></XMLPackage>");
    const Run r = xdxtool({u"check"_qs, foreign});
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains(shown(foreign) + u": 您选择的文档不是用本申报系统生成的"_qs));
    QCOMPARE(r.out.count(u'\n'), 48);
    const QString half = path(u"half.xdx"_qs);
    QByteArray bytes = readAll(sample("complete.xdx"));
    bytes.replace("<Tutor>", "<Tutor><!--x-->");
    writeAll(half, bytes);
    const Run h = xdxtool({u"check"_qs, half});
    QCOMPARE(h.status, 2);
    QVERIFY(h.err.contains(u"Element does not contain a single text node"_qs));
    QCOMPARE(h.out, QString());
}

void TestXdxtool::dumpMatchesTheSampleSource()
{
    // The committed sample documents are what their JSON builds.
    for (const char* name : {"complete", "incomplete"}) {
        const Run r = xdxtool({u"dump"_qs, sample(QByteArray(name).append(".xdx").constData())});
        QCOMPARE(r.status, 0);
        const QJsonObject dumped = QJsonDocument::fromJson(r.out.toUtf8()).object();
        const JsonRecord source =
            recordFromJson(readAll(sample(QByteArray(name).append(".json").constData())));
        QVERIFY(source.has_value());
        const JsonRecord back = recordFromJson(r.out.toUtf8());
        QVERIFY2(back.has_value(), qPrintable(back ? QString() : back.error()));
        ApplicationRecord expected = *source;
        for (const FieldSpec& spec : fieldCatalogue())
            if (spec.kind == FieldKind::LongText && !expected.value(spec.field).isEmpty())
                expected.setValue(spec.field, expected.value(spec.field) + u"\r\n"_qs);
        expected.setProjectId(back->projectId());
        QCOMPARE(*back, expected);
        QCOMPARE(dumped[u"official"_qs].toBool(), false);
        QVERIFY(dumped[u"ProjectID"_qs].toString().startsWith(u'{'));
        QVERIFY(!dumped.contains(u"ver"_qs) && !dumped.contains(u"PASSBY"_qs) &&
                !dumped.contains(u"verifylist"_qs));
    }
    // Keys in the document's element order.
    const Run r = xdxtool({u"dump"_qs, sample("complete.xdx")});
    QVERIFY(r.out.indexOf(u"\"ExpectProduction2\""_qs) < r.out.indexOf(u"\"Presider\""_qs));
    QVERIFY(r.out.indexOf(u"\"OutlayBank\""_qs) < r.out.indexOf(u"\"OutlayAccounts\""_qs));
    QVERIFY(r.out.indexOf(u"\"jiaoyujuyijian\""_qs) < r.out.indexOf(u"\"official\""_qs));
}

void TestXdxtool::dumpBuildRoundTrip()
{
    // A value that starts with U+FEFF, and one holding it: written, dumped and built back exactly.
    ApplicationRecord marks = completeSample();
    marks.setValue(Field::KeyWord, QChar(0xFEFF) + u"关键词"_qs + QChar(0xFEFF));
    const QString marked = path(u"marks.xdx"_qs);
    QVERIFY(saveXdxFile(marked, marks, {}).has_value());
    const Run dumped = xdxtool({u"dump"_qs, marked});
    QVERIFY(recordFromJson(dumped.out.toUtf8())->value(Field::KeyWord) == marks.value(Field::KeyWord));
    QByteArray literal = R"({"ProjectName": "题", "Presider": "人", "KeyWord": ")"
                         "\xEF\xBB\xBF"
                         R"(词"})";
    QCOMPARE(recordFromJson(literal)->value(Field::KeyWord), QChar(0xFEFF) + u"词"_qs);

    const Run first = xdxtool({u"dump"_qs, officialCopy()});
    QCOMPARE(first.status, 0);
    QVERIFY(first.out.contains(u"\"official\": true"_qs));
    const QString json = path(u"dumped.json"_qs);
    writeAll(json, first.out.toUtf8());
    const QString rebuilt = path(u"rebuilt.xdx"_qs);
    const Run build = xdxtool({u"build"_qs, json, rebuilt});
    QCOMPARE(build.status, 0);
    const Run second = xdxtool({u"dump"_qs, rebuilt});
    QJsonObject a = withoutId(QJsonDocument::fromJson(first.out.toUtf8()).object());
    QJsonObject b = withoutId(QJsonDocument::fromJson(second.out.toUtf8()).object());
    QCOMPARE(b[u"official"_qs].toBool(), false); // a build always writes PASSBY 0
    a.remove(u"official"_qs);
    b.remove(u"official"_qs);
    QCOMPARE(a, b);
    const QByteArray bytes = readAll(rebuilt);
    QVERIFY(bytes.contains("<PASSBY>0</PASSBY>"));
    QVERIFY(bytes.contains("<verifylist></verifylist>") || bytes.contains("<verifylist/>"));
}

void TestXdxtool::dumpRefusesWhatTheWindowWouldRefuse()
{
    const QString foreign = path(u"foreign3.xdx"_qs);
    writeAll(foreign, "<XMLPackage><ver>other</ver></XMLPackage>");
    Run r = xdxtool({u"dump"_qs, foreign});
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains(u"您选择的文档不是用本申报系统生成的"_qs));
    QCOMPARE(r.out, QString());
    r = xdxtool({u"dump"_qs, path(u"absent.xdx"_qs)});
    QCOMPARE(r.status, 2);
    // A root without children shows the fresh application, as the window would.
    const QString empty = path(u"empty-root.xdx"_qs);
    writeAll(empty, "<XMLPackage/>");
    r = xdxtool({u"dump"_qs, empty});
    QCOMPARE(r.status, 0);
    QVERIFY(r.out.contains(u"\"EduCode\": \"0000000000\""_qs));
}

void TestXdxtool::buildRefusesBadInput_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("named");
    const QByteArray ok = R"("ProjectName": "题", "Presider": "人")";
    QTest::newRow("unknown key") << "{" + ok + R"(, "ProjectNmae": "x"})" << u"ProjectNmae"_qs;
    QTest::newRow("case matters") << "{" + ok + R"(, "keyword": "x"})" << u"keyword"_qs;
    QTest::newRow("wrong type") << "{" + ok + R"(, "KeyWord": 5})" << u"KeyWord"_qs;
    QTest::newRow("table not array") << "{" + ok + R"(, "MainActor": "x"})" << u"MainActor"_qs;
    QTest::newRow("too many rows") << "{" + ok + R"(, "FinallyProduction": [[],[],[],[]]})"
                                   << u"FinallyProduction"_qs;
    QTest::newRow("too many cells") << "{" + ok + R"(, "Production": [["1","2","3","4","5","6"]]})"
                                    << u"Production"_qs;
    QTest::newRow("cell not string") << "{" + ok + R"(, "Production": [[1]]})" << u"Production"_qs;
    QTest::newRow("bad choice") << "{" + ok + R"(, "Sex": "未知"})" << u"Sex"_qs;
    QTest::newRow("official not bool") << "{" + ok + R"(, "official": "yes"})" << u"official"_qs;
    QTest::newRow("not an object") << QByteArray("[1,2]") << u"对象"_qs;
    QTest::newRow("not json") << QByteArray("{\"a\": ") << u"JSON"_qs;
}

void TestXdxtool::buildRefusesBadInput()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, named);
    const QString in = path(u"bad.json"_qs);
    writeAll(in, json);
    const QString out = path(u"bad.xdx"_qs);
    const Run r = xdxtool({u"build"_qs, in, out});
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(shown(named)), qPrintable(r.err));
    QVERIFY(!QFile::exists(out));
}

void TestXdxtool::buildNeedsTitleAndLeader()
{
    const QString in = path(u"noleader.json"_qs);
    writeAll(in, R"({"ProjectName": "题", "Presider": ""})");
    const QString out = path(u"noleader.xdx"_qs);
    const Run r = xdxtool({u"build"_qs, in, out});
    QCOMPARE(r.status, 1);
    QCOMPARE(r.err, u"“课题名称”  和  “主持人”  必须填写！\n"_qs);
    QVERIFY(!QFile::exists(out));
    writeAll(in, R"({"ProjectName": " ", "Presider": " "})"); // blanks pass
    QCOMPARE(xdxtool({u"build"_qs, in, out}).status, 0);
}

void TestXdxtool::buildAcceptsBothLineBreaks()
{
    const QString in = path(u"breaks.json"_qs);
    writeAll(
        in,
        R"({"ProjectName": "题", "Presider": "人", "tuijian1": "一\n二\r\n三", "ProjectReasoning": "甲\r\n"})");
    const QString out = path(u"breaks.xdx"_qs);
    QCOMPARE(xdxtool({u"build"_qs, in, out}).status, 0);
    const OpenResult back = openXdxFile(out);
    QCOMPARE(back->record.value(Field::tuijian1), u"一\r\n二\r\n三\r\n"_qs);
    QCOMPARE(back->record.value(Field::ProjectReasoning), u"甲\r\n"_qs);
    QVERIFY(readAll(out).contains(QByteArray("<tuijian1>") + *gbk::encode(u"一,二,三")));
    // What XML cannot hold is left out, and said.
    writeAll(in, R"({"ProjectName": "题", "Presider": "人", "KeyWord": "a\u0000b\u0001c"})");
    const Run r = xdxtool({u"build"_qs, in, out});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.contains(u"KeyWord：XML 不能保存的字符 U+0000、U+0001 没有写入"_qs), qPrintable(r.err));
    QCOMPARE(openXdxFile(out)->record.value(Field::KeyWord), u"abc"_qs);
}

void TestXdxtool::outputErrorsFail_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("dump") << QStringList{u"dump"_qs, sample("complete.xdx")};
    QTest::newRow("check --json") << QStringList{u"check"_qs, u"--json"_qs, sample("complete.xdx")};
    QTest::newRow("check") << QStringList{u"check"_qs, sample("incomplete.xdx")};
    QTest::newRow("help") << QStringList{u"check"_qs, u"--help"_qs};
}

// The real program on a full disk: a message and a failure, never a short output and 0.
void TestXdxtool::outputErrorsFail()
{
    QFETCH(QStringList, args);
    QProcess tool;
    tool.setStandardOutputFile(u"/dev/full"_qs);
    tool.start(QStringLiteral(XDXTOOL_PATH), args);
    QVERIFY(tool.waitForFinished());
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), int(cli::Failure));
    const QString err = QString::fromUtf8(tool.readAllStandardError());
    QVERIFY2(err.contains(QString::fromLocal8Bit(std::strerror(ENOSPC))), qPrintable(err));
}

// Folders, lists and workers: every file once, in the order given, whatever finishes first.
void TestXdxtool::manyFilesInInputOrder()
{
    const QDir round(path(u"round"_qs));
    QVERIFY(round.mkpath(u"sub"_qs));
    const QByteArray complete = readAll(sample("complete.xdx"));
    const QByteArray incomplete = readAll(sample("incomplete.xdx"));
    QStringList expected; // the file of each line of output, in order
    for (int i = 0; i < 40; ++i) {
        const QString name = round.filePath(u"f%1.XDX"_qs.arg(i, 2, 10, QChar(u'0')));
        writeAll(name, i % 3 ? complete : incomplete);
        if (i % 3 == 0)
            expected.append(shown(name));
    }
    writeAll(round.filePath(u"sub/broken.xdx"_qs), complete.left(500));
    writeAll(round.filePath(u"notes.txt"_qs), "not a document");

    for (const QString& jobs : {u"1"_qs, u"2"_qs, u"7"_qs}) {
        // Without -r only the folder's own documents; incomplete ones print their entries.
        Run r = xdxtool({u"check"_qs, u"-j"_qs, jobs, round.path()});
        QCOMPARE(r.status, 1);
        QStringList files;
        for (const QString& line : r.out.split(u'\n', Qt::SkipEmptyParts))
            if (files.isEmpty() || !line.startsWith(files.last() + u':'))
                files.append(line.section(u": "_qs, 0, 0));
        QCOMPARE(files, expected);
        QVERIFY2(r.err.contains(u"共 40 个文件"_qs), qPrintable(r.err));

        // -r takes the subfolder's broken file too, after the folder's own.
        r = xdxtool({u"check"_qs, u"-r"_qs, u"-j"_qs, jobs, u"--json"_qs, round.path()});
        QCOMPARE(r.status, 2);
        const QJsonArray all = QJsonDocument::fromJson(r.out.toUtf8()).array();
        QCOMPARE(all.size(), 41);
        QCOMPARE(all.last()[u"status"_qs].toString(), u"error"_qs);
        QCOMPARE(all.first()[u"status"_qs].toString(), u"incomplete"_qs);
    }

    // dump --jsonl: a line a readable document, in the same order.
    const Run dumped = xdxtool({u"dump"_qs, u"--jsonl"_qs, u"-j"_qs, u"2"_qs, round.path()});
    const QStringList lines = dumped.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 40);
    for (int i = 0; i < 40; ++i)
        QCOMPARE(QJsonDocument::fromJson(lines[i].toUtf8())[u"file"_qs].toString(),
                 shown(round.filePath(u"f%1.XDX"_qs.arg(i, 2, 10, QChar(u'0')))));

    // A list of names, a missing one among them: it gets its own line and the run goes on.
    const QString list = path(u"list.txt"_qs);
    writeAll(list, (round.filePath(u"f01.XDX"_qs) + u"\r\n\n"_qs + path(u"gone.xdx"_qs) + u'\n' +
                    round.filePath(u"f00.XDX"_qs) + u'\n')
                       .toUtf8());
    const Run r = xdxtool({u"check"_qs, u"--files-from"_qs, list, u"--json"_qs});
    const QJsonArray listed = QJsonDocument::fromJson(r.out.toUtf8()).array();
    QCOMPARE(listed.size(), 3);
    QCOMPARE(listed[1][u"status"_qs].toString(), u"error"_qs);
    QCOMPARE(listed[2][u"file"_qs].toString(), shown(round.filePath(u"f00.XDX"_qs)));
    QCOMPARE(xdxtool({u"check"_qs, u"--files-from"_qs, path(u"no-list.txt"_qs)}).status, 2);
    QCOMPARE(xdxtool({u"check"_qs, round.filePath(u"sub/../sub/.."_qs) + u"/sub/none"_qs}).status, 2);
}

// official sets PASSBY and nothing else, byte for byte, and refuses what it cannot read as its own.
void TestXdxtool::officialChangesOnlyPassby()
{
    const QByteArray original = readAll(sample("complete.xdx"));
    struct Case
    {
        const char* name;
        QByteArray before;
        QByteArray after; // when marked official
    };
    QByteArray formatted = original;
    formatted.replace("<PASSBY>0</PASSBY>", "\r\n  <!-- mark -->\r\n  <PASSBY> 0 </PASSBY>\r\n");
    QByteArray without = original;
    without.replace("<PASSBY>0</PASSBY>", "");
    QByteArray empty = original;
    empty.replace("<PASSBY>0</PASSBY>", "<PASSBY/>");
    const Case cases[] = {
        {"written", original, QByteArray(original).replace("<PASSBY>0</PASSBY>", "<PASSBY>1</PASSBY>")},
        {"formatted", formatted, QByteArray(formatted).replace("<PASSBY> 0 </PASSBY>", "<PASSBY>1</PASSBY>")},
        // The first one: rows of the tables below are called ExpectProduction2 too.
        {"none", without,
         QByteArray(without).insert(without.indexOf("</ExpectProduction2>") + 20, "<PASSBY>1</PASSBY>")},
        {"empty", empty, QByteArray(empty).replace("<PASSBY/>", "<PASSBY>1</PASSBY>")},
    };
    QStringList files;
    for (const Case& c : cases) {
        files.append(path(QString::fromLatin1(c.name) + u".xdx"_qs));
        writeAll(files.last(), c.before);
    }
    Run r = xdxtool(QStringList{u"official"_qs} + files);
    QCOMPARE(r.status, 0);
    for (qsizetype i = 0; i < files.size(); ++i) {
        QVERIFY2(readAll(files[i]) == cases[i].after, cases[i].name);
        QVERIFY2(openXdxFile(files[i])->official, cases[i].name);
    }
    QCOMPARE(r.out.count(u"已设为正式文档"_qs), 4);
    r = xdxtool({u"official"_qs, files[0]});
    QVERIFY(r.out.contains(u"已是正式文档，未改动"_qs));
    QCOMPARE(xdxtool({u"official"_qs, u"--revoke"_qs, files[0]}).status, 0);
    QCOMPARE(readAll(files[0]), original);

    // Not this system's, not XML, not there: refused with the reason, left as they were.
    const QString foreign = path(u"foreign.xdx"_qs), broken = path(u"broken.xdx"_qs);
    writeAll(foreign, QByteArray(original).replace("QX2011v1.0", "QX2099v9.9"));
    writeAll(broken, original.left(original.size() / 2));
    r = xdxtool({u"official"_qs, foreign, broken, path(u"gone.xdx"_qs), files[1]});
    QCOMPARE(r.status, 2);
    QCOMPARE(readAll(foreign), QByteArray(original).replace("QX2011v1.0", "QX2099v9.9"));
    QCOMPARE(readAll(broken), original.left(original.size() / 2));
    QVERIFY2(r.err.contains(rejectedMessage()), qPrintable(r.err));
    QCOMPARE(r.err.count(u'\n') >= 3, true);
    QVERIFY(r.out.contains(u"已是正式文档"_qs)); // the run went on past the bad files
}

// The round's table: a row a file in input order, the likely duplicates marked, a formula in a
// mailed file kept as text; the XLSX read back with a real reader where there is one.
void TestXdxtool::tableRowsAndDuplicates()
{
    const QByteArray complete = readAll(sample("complete.xdx"));
    const ApplicationRecord record = openXdxFile(sample("complete.xdx"))->record;
    ApplicationRecord sameTitle = record;
    sameTitle.setValue(Field::IDcard, u"110101199001011234"_qs);
    // Two sums of funds a spreadsheet can hold, whose sum it cannot: the second is left out.
    ApplicationRecord huge = record;
    huge.setValue(Field::ApplyOutlay, u"1e308"_qs);
    sameTitle.setValue(Field::ApplyOutlay, u"1e308"_qs);
    ApplicationRecord formula = record;
    formula.setValue(Field::IDcard, u"110101199001015678"_qs);
    formula.setValue(Field::ProjectName, u"=HYPERLINK(\"http://x\",\"y\")"_qs);
    // Only finite numbers are numbers; a cell holds at most 32,767 characters.
    formula.setValue(Field::ApplyOutlay, u"-INF"_qs);
    formula.setValue(Field::Department, QString(40000, u'校'));
    const QStringList files{path(u"t1.xdx"_qs), path(u"t2.xdx"_qs), path(u"t3.xdx"_qs), path(u"t4.xdx"_qs),
                            path(u"t5.xdx"_qs)};
    writeAll(files[0], complete);
    QVERIFY(saveXdxFile(files[1], huge, {}).has_value()); // the same leader's ID card
    QVERIFY(saveXdxFile(files[2], sameTitle, {}).has_value());
    QVERIFY(saveXdxFile(files[3], formula, {}).has_value());
    writeAll(files[4], complete.left(700));

    const QString csv = path(u"round.csv"_qs);
    Run r = xdxtool(QStringList{u"table"_qs, u"-j"_qs, u"3"_qs} + files + QStringList{u"-o"_qs, csv});
    QCOMPARE(r.status, 2); // one file could not be read
    const QByteArray bytes = readAll(csv);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(u"\r\n"_qs, Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines[0].startsWith(u"文件,状态,未填项数,正式文档,课题名称,主持人"_qs));
    for (int i = 0; i < 5; ++i)
        QVERIFY2(lines[i + 1].startsWith(shown(files[i]) + u','), qPrintable(lines[i + 1]));
    QVERIFY(!lines[1].contains(u"与第"_qs));
    QVERIFY2(lines[2].contains(u"与第 2 行（%1）主持人身份证号相同"_qs.arg(shown(files[0]))),
             qPrintable(lines[2]));
    QVERIFY2(lines[3].contains(u"与第 2 行（%1）课题名称和主持人相同"_qs.arg(shown(files[0]))),
             qPrintable(lines[3]));
    QVERIFY2(lines[4].contains(u",\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\","_qs), qPrintable(lines[4]));
    QVERIFY(lines[5].contains(u"无法读取"_qs));
    // The sample's texts in four rows: each the first other row of them, wholly alike.
    QVERIFY2(lines[1].endsWith(u",第 3 行（%1），相似度 1.00"_qs.arg(shown(files[1]))), qPrintable(lines[1]));
    QVERIFY2(lines[4].endsWith(u",第 2 行（%1），相似度 1.00"_qs.arg(shown(files[0]))), qPrintable(lines[4]));
    QVERIFY2(lines[5].endsWith(u','), qPrintable(lines[5]));

    // Bad output: a folder; an unknown kind of table.
    QCOMPARE(xdxtool(QStringList{u"table"_qs, files[0], u"-o"_qs, m_dir.path()}).status, 2);
    QCOMPARE(xdxtool(QStringList{u"table"_qs, files[0], u"-o"_qs, path(u"r.ods"_qs)}).status, 2);

    const QString xlsx = path(u"round.xlsx"_qs);
    r = xdxtool(QStringList{u"table"_qs} + files + QStringList{u"-o"_qs, xlsx});
    if (r.err.contains(u"不能写 XLSX"_qs))
        QSKIP("built without libxlsxwriter");
    QVERIFY2(QFile::exists(xlsx), qPrintable(r.err));
    const std::optional<QString> output = python(
        u"import openpyxl, sys\n"
        "wb = openpyxl.load_workbook(sys.argv[1])\n"
        "a, c = wb.worksheets\n"
        "print(a.freeze_panes, a.auto_filter.ref, a.max_row)\n"
        "print(repr(a.cell(2, 16).value), a.cell(3, 21).value)\n"
        "print([r for r in c.iter_rows(max_row=2, max_col=2, values_only=True)])\n"
        "print(repr(a.cell(5, 16).value), len(a.cell(5, 10).value), c.cell(3, 2).value, c.cell(4, 2).value)\n"
        // Each chart's data: the cells its ranges name.
        "import re, zipfile\n"
        "z = zipfile.ZipFile(sys.argv[1])\n"
        "for n in sorted(n for n in z.namelist() if n.startswith('xl/charts/')):\n"
        "    x = z.read(n).decode()\n"
        "    ranges = [c[f.split('!')[1].replace('$', '')] for f in re.findall('<c:f>([^<]*)</c:f>', x)]\n"
        "    ranges = [g if isinstance(g, tuple) else ((g,),) for g in ranges]\n"
        "    labels, values = ([r[0].value for r in g] for g in ranges)\n"
        "    print(re.search('<c:(bar|pie)Chart>', x).group(1), labels, sum(values))\n"_qs,
        {xlsx});
    if (!output) {
        QVERIFY2(!pythonReadsWorkbooks(), "python3 with openpyxl could not read the workbook back");
        QSKIP("no python3-openpyxl to read the XLSX back");
    }
    const QStringList read = output->split(u'\n');
    QCOMPARE(read[0], u"A2 A1:W6 6"_qs);
    QCOMPARE(read[1], u"1.5 与第 2 行（%1）主持人身份证号相同"_qs.arg(shown(files[0])));
    // The file that could not be read is no application, and none of the counts takes it.
    QCOMPARE(read[2], u"[('申请数', 4), ('无法读取的文件（不计入申请书）', 1)]"_qs);
    QCOMPARE(read[3], u"'-INF' 32767 1e+308 第 4、5 行（申请资助经费不是可以相加的数）"_qs);
    QVERIFY2(r.err.contains(u"第 5 行“工作单位”有 40000 个字符"_qs), qPrintable(r.err));
    QCOMPARE(read.mid(4, 4), (QStringList{u"bar ['岚川市'] 4"_qs, u"bar ['岚川市'] 1e+308"_qs,
                                          u"bar ['基础教育'] 4"_qs, u"pie ['省级一般资助课题'] 4"_qs}));
}

// The loose leaves' three texts searched for the names and units the application gives.
void TestXdxtool::anonymityHitsAndNonHits()
{
    ApplicationRecord r = openXdxFile(sample("complete.xdx"))->record;
    r.table(Field::MainActor).setCell(6, 0, u"岳"_qs); // one character: not searched
    r.setValue(Field::ProjectName, u"林晓岚主持的农村初中科学探究研究"_qs);
    r.setValue(
        Field::ProjectReasoning,
        u"本校（青石镇第二初级中学）地处山区。\r\n课题组成员许嘉禾曾获奖。岳阳楼记。初级中学的教师。"_qs);
    r.setValue(Field::ProjectAnalyze, u"经费由澄岚农村商业银行青石支行划拨，学府路18号不在其中。"_qs);
    const QString named = path(u"named.xdx"_qs), clean = path(u"clean.xdx"_qs);
    QVERIFY(saveXdxFile(named, r, {}).has_value());
    r.setValue(Field::ProjectName, u"农村初中科学探究能力培养研究"_qs);
    r.setValue(Field::ProjectReasoning, u"本校地处山区，初级中学的教师，岳阳楼记。"_qs);
    r.setValue(Field::ProjectAnalyze, u"学校提供配套经费。"_qs);
    QVERIFY(saveXdxFile(clean, r, {}).has_value());

    Run run = xdxtool({u"anonymity"_qs, u"--json"_qs, clean, named});
    QCOMPARE(run.status, 1);
    const QJsonArray files = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(files.size(), 2);
    QCOMPARE(files[0][u"hits"_qs].toArray().size(), 0);
    QStringList found;
    for (const QJsonValue h : files[1][u"hits"_qs].toArray())
        found.append(h[u"field"_qs].toString() + u' ' + h[u"text"_qs].toString() + u' ' +
                     h[u"source"_qs].toString());
    QCOMPARE(found, (QStringList{u"ProjectName 林晓岚 Presider"_qs,
                                 u"ProjectReasoning 青石镇第二初级中学 Department"_qs,
                                 u"ProjectReasoning 许嘉禾 MainActor 第3行 姓名"_qs,
                                 u"ProjectAnalyze 澄岚农村商业银行青石支行 OutlayBank"_qs}));
    const QString context = files[1][u"hits"_qs].toArray()[2][u"context"_qs].toString();
    QCOMPARE(
        context,
        u"…山区。 课题组成员许嘉禾曾获奖。岳阳楼记。初…"_qs); // ten characters each side, a line break two
    QCOMPARE(xdxtool({u"anonymity"_qs, clean}).status, 0);
    QCOMPARE(xdxtool({u"anonymity"_qs, clean, path(u"gone.xdx"_qs)}).status, 2);
}

// The folded comparison: what a line break, a blank or another width of the same characters
// splits is found all the same; a name of two characters inside a longer run of Chinese is weak.
void TestXdxtool::anonymityFolds_data()
{
    QTest::addColumn<QString>("text");   // the design argument
    QTest::addColumn<QString>("leader"); // Presider
    QTest::addColumn<QString>("found");  // text of each hit, then weak or not, joined
    QTest::newRow("a line break") << u"本课题由林晓\r\n岚主持。"_qs << u"林晓岚"_qs << u"林晓\r\n岚"_qs;
    QTest::newRow("blanks") << u"由林 晓　岚主持"_qs << u"林晓岚"_qs << u"林 晓　岚"_qs;
    QTest::newRow("zero-width space") << u"由林晓\u200b岚主持"_qs << u"林晓岚"_qs << u"林晓\u200b岚"_qs;
    QTest::newRow("a blank in the form") << u"由林晓岚主持"_qs << u"林 晓岚"_qs << u"林晓岚"_qs;
    QTest::newRow("full-width Latin")
        << u"作者 Ｌｉｎ Ｘｉａｏ"_qs << u"lin xiao"_qs << u"Ｌｉｎ Ｘｉａｏ"_qs;
    QTest::newRow("two characters in a word") << u"四周明显的变化"_qs << u"周明"_qs << u"周明 weak"_qs;
    QTest::newRow("two characters alone") << u"周明：课题"_qs << u"周明"_qs << u"周明"_qs;
    QTest::newRow("nothing") << u"本课题研究农村初中。"_qs << u"林晓岚"_qs << QString();
}

void TestXdxtool::anonymityFolds()
{
    QFETCH(QString, text);
    QFETCH(QString, leader);
    QFETCH(QString, found);
    ApplicationRecord r = completeSample();
    r.table(Field::MainActor).clear();
    r.setValue(Field::Presider, leader);
    r.setValue(Field::ProjectReasoning, text);
    r.setValue(Field::ProjectName, u"课题"_qs);
    r.setValue(Field::ProjectAnalyze, u"分析"_qs);
    const QString file = path(u"fold.xdx"_qs);
    QVERIFY(saveXdxFile(file, r, {}).has_value());
    const Run run = xdxtool({u"anonymity"_qs, u"--json"_qs, file});
    QCOMPARE(run.status, found.isEmpty() ? 0 : 1);
    QStringList hits;
    for (const QJsonValue h : QJsonDocument::fromJson(run.out.toUtf8()).array()[0][u"hits"_qs].toArray())
        hits.append(h[u"text"_qs].toString() + (h[u"weak"_qs].toBool() ? u" weak"_qs : QString()));
    QCOMPARE(hits.join(u'|'), found);
}

// Every *.xdx of a folder is processed or reported, whatever bytes its name is made of; names
// come back as the system gave them. Lists end their names with a line break or, with -0, a NUL.
// Two applications with one design argument, the second's sentences reordered and punctuated
// otherwise, among others: one pair, named in input order, with where the passages stand.
void TestXdxtool::similarPairsInInputOrder()
{
    bench::TextSource source(3);
    const QString text = source.text(1200);
    QStringList sentences = text.split(u'。');
    std::reverse(sentences.begin(), sentences.end());
    ApplicationRecord r = openXdxFile(sample("complete.xdx"))->record;
    const QString original = path(u"s-original.xdx"_qs), copy = path(u"s-copy.xdx"_qs),
                  other = path(u"s-other.xdx"_qs), broken = path(u"s-broken.xdx"_qs);
    r.setValue(Field::ProjectReasoning, text);
    QVERIFY(saveXdxFile(original, r, {}).has_value());
    r.setValue(Field::ProjectReasoning, sentences.join(u"！"_qs));
    QVERIFY(saveXdxFile(copy, r, {}).has_value());
    r.setValue(Field::ProjectReasoning, source.text(1200));
    r.setValue(Field::ProjectAnalyze, source.text(900));
    QVERIFY(saveXdxFile(other, r, {}).has_value());
    writeAll(broken, readAll(original).left(900));

    Run run = xdxtool({u"similar"_qs, u"--json"_qs, u"-j"_qs, u"2"_qs, other, original, copy});
    QCOMPARE(run.status, 1);
    const QJsonArray pairs = QJsonDocument::fromJson(run.out.toUtf8()).array();
    QCOMPARE(pairs.size(), 1);
    QCOMPARE(pairs[0][u"a"_qs].toString(), shown(original));
    QCOMPARE(pairs[0][u"b"_qs].toString(), shown(copy));
    const QJsonObject reasoning = pairs[0][u"texts"_qs][1].toObject();
    QCOMPARE(reasoning[u"field"_qs].toString(), u"ProjectReasoning"_qs);
    QVERIFY2(reasoning[u"score"_qs].toDouble() > 0.6,
             qPrintable(QString::number(reasoning[u"score"_qs].toDouble())));
    const QJsonObject first = reasoning[u"first"_qs][0].toObject();
    QVERIFY(text.mid(first[u"a"_qs].toInt()).startsWith(first[u"text"_qs].toString()));
    QVERIFY(first[u"characters"_qs].toInt() >= 16);
    QVERIFY2(run.err.contains(u"共 3 个文件：1 对相似"_qs), qPrintable(run.err));

    run = xdxtool({u"similar"_qs, copy, other, original, broken});
    QCOMPARE(run.status, 2); // the broken file, after the pair
    QVERIFY2(run.out.startsWith(shown(copy) + u" 与 "_qs + shown(original) + u" 相似 "_qs),
             qPrintable(run.out));
    QCOMPARE(run.out.count(u'\n'), 1);
    run = xdxtool({u"similar"_qs, original, other});
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.isEmpty());

    // Three with the same texts under other titles: one line for the group, its pairs only when
    // asked; the copy that reorders them pairs with the group's first member.
    QStringList family;
    for (const QString& title : {u"甲课题"_qs, u"乙课题"_qs, u"丙课题"_qs}) {
        r.setValue(Field::ProjectName, title);
        r.setValue(Field::ProjectReasoning, text);
        family.append(path(u"s-family-"_qs + title + u".xdx"_qs));
        QVERIFY(saveXdxFile(family.back(), r, {}).has_value());
    }
    run = xdxtool(QStringList{u"similar"_qs, copy} + family);
    QCOMPARE(run.status, 1);
    QCOMPARE(run.out.count(u'\n'), 2);
    QVERIFY2(run.out.startsWith(shown(copy) + u" 与 "_qs + shown(family[0]) + u" 相似 "_qs),
             qPrintable(run.out));
    QVERIFY2(run.out.contains(u"3 份课题论证和可行性分析相同："_qs + shown(family.join(u"、"_qs))),
             qPrintable(run.out));
    run = xdxtool(QStringList{u"similar"_qs, u"--all-pairs"_qs, u"--json"_qs, copy} + family);
    QCOMPARE(QJsonDocument::fromJson(run.out.toUtf8()).array().size(), 6); // each of the four with each other
}

void TestXdxtool::namesOfAnyBytesAndLists()
{
#ifndef Q_OS_UNIX
    QSKIP("Windows names are UTF-16");
#else
    const QString inbox = path(u"bytes"_qs);
    QVERIFY(QDir().mkpath(inbox));
    const QByteArray folder = QFile::encodeName(inbox);
    const QByteArray complete = readAll(sample("complete.xdx"));
    const QByteArray names[] = {"/\xC9\xEA\xC7\xEB.xdx", "/a\xFF.xdx", "/b.xdx"};
    for (const QByteArray& n : names) {
        writeAll(inbox + u"/x.tmp"_qs, complete);
        QCOMPARE(::rename(QFile::encodeName(inbox + u"/x.tmp"_qs).constData(), (folder + n).constData()), 0);
    }
    Run r = xdxtool({u"check"_qs, u"--json"_qs, inbox});
    QVERIFY2(r.err.contains(u"共 3 个文件：完整 3"_qs), qPrintable(r.err));
    QVERIFY2(r.out.contains(u"/申请.xdx"_qs) && r.out.contains(u"/a\\\\xff.xdx"_qs), qPrintable(r.out));
    // Named directly, as a shell hands the bytes over.
    r = xdxtool({u"check"_qs, pathFromSystem(folder + names[0])});
    QCOMPARE(r.status, 0);
    r = xdxtool({u"official"_qs, pathFromSystem(folder + names[1])});
    QVERIFY2(r.out.contains(u"已设为正式文档"_qs), qPrintable(r.err));

    // find -print0: names with line breaks in them too.
    const QByteArray odd = folder + "/two\nlines.xdx";
    writeAll(QFile::decodeName(odd), complete);
    const QString list = path(u"list0"_qs);
    writeAll(list, folder + names[2] + '\0' + odd + '\0');
    r = xdxtool({u"check"_qs, u"-0"_qs, u"--files-from"_qs, list});
    QVERIFY2(r.status == 0 && r.err.contains(u"共 2 个文件：完整 2"_qs), qPrintable(r.err));
    r = xdxtool({u"check"_qs, u"--files-from"_qs, list});
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(u"NUL"_qs), qPrintable(r.err));
    for (const QByteArray& n : names) // QDir, which would remove them, cannot name them
        ::unlink((folder + n).constData());
#endif
}

void TestXdxtool::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");
    const QString f = sample("complete.xdx");
    for (const char* jobs : {"0", "-1", "abc", "2x", ""})
        QTest::addRow("-j '%s'", jobs)
            << QStringList{u"check"_qs, u"-j"_qs, QString::fromLatin1(jobs), f} << u"-j 需要一个正整数"_qs;
    QTest::newRow("-0 without a list") << QStringList{u"check"_qs, u"-0"_qs, f} << u"--files-from"_qs;
    // Naming an input as the output would replace it.
    const QString csv = path(u"app.csv"_qs);
    writeAll(csv, readAll(f));
    QTest::newRow("table -o an input")
        << QStringList{u"table"_qs, csv, u"-o"_qs, csv} << u"是本次要读的文件之一"_qs;
    QTest::newRow("build onto its input") << QStringList{u"build"_qs, csv, csv} << u"是本次要读的文件之一"_qs;
}

void TestXdxtool::usageErrors()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const QByteArray before = readAll(sample("complete.xdx"));
    const Run r = xdxtool(args);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(readAll(path(u"app.csv"_qs)), before);
}

// official changes the text of PASSBY and nothing else, or changes nothing and says why.
void TestXdxtool::officialRefuses_data()
{
    QTest::addColumn<QByteArray>("passby");
    QTest::addColumn<QString>("reason");
    QTest::newRow("an attribute") << QByteArray("<PASSBY a=\"1\"/>") << u"属性"_qs;
    QTest::newRow("CDATA") << QByteArray("<PASSBY><![CDATA[0]]></PASSBY>") << u"CDATA"_qs;
    QTest::newRow("read-only") << QByteArray() << u"只读"_qs;
}

void TestXdxtool::officialRefuses()
{
    QFETCH(QByteArray, passby);
    QFETCH(QString, reason);
    QByteArray bytes = readAll(sample("complete.xdx"));
    if (!passby.isEmpty())
        bytes.replace("<PASSBY>0</PASSBY>", passby);
    const QString file = path(u"refused.xdx"_qs);
    QFile::remove(file);
    writeAll(file, bytes);
    if (passby.isEmpty())
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const Run r = xdxtool({u"official"_qs, file});
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
    QCOMPARE(readAll(file), bytes);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
}

// A reader that goes away (dump --jsonl | head -c 10) ends the run at the next write: the files
// after it are never opened.
void TestXdxtool::closedPipeStopsTheRun()
{
    const QString inbox = path(u"many"_qs);
    QVERIFY(QDir().mkpath(inbox));
    const QByteArray complete = readAll(sample("complete.xdx"));
    for (int i = 0; i < 300; ++i)
        writeAll(inbox + u"/%1.xdx"_qs.arg(i, 3, 10, QChar(u'0')), complete);
    const QString list = path(u"many.txt"_qs);
    writeAll(list, (inbox + u"\n"_qs + path(u"the-last-one-is-missing.xdx"_qs) + u'\n').toUtf8());
#ifndef Q_OS_UNIX
    QSKIP("a shell pipeline with head");
#endif
    QProcess shell;
    shell.start(u"/bin/sh"_qs,
                {u"-c"_qs, u"\"$0\" dump --jsonl -j 1 --files-from \"$1\" | head -c 10 >/dev/null"_qs,
                 QStringLiteral(XDXTOOL_PATH), list});
    QVERIFY(shell.waitForFinished(60000));
    const QString err = QString::fromUtf8(shell.readAllStandardError());
    QVERIFY2(err.contains(u"无法写出输出"_qs), qPrintable(err));
    QVERIFY2(!err.contains(u"the-last-one-is-missing"_qs), qPrintable(err));
}

QTEST_GUILESS_MAIN(TestXdxtool)
#include "test_xdxtool.moc"
