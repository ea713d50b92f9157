// xdxtool pdf, run in-process with its streams in buffers; the PDFs read back with poppler.

#include "../common/clirun.h"
#include "cli/xdxtool.h"
#include "record/gbk.h"
#include "report/fillreport.h"
#include "xdx/xdxfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <poppler-qt6.h>

#include <csignal>
#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace shenbao;
using namespace shenbao::test;
using namespace Qt::StringLiterals;

namespace {

// All words of a page, joined with blanks.
QString pageText(const Poppler::Document& doc, int page)
{
    QStringList words;
    for (const auto& box : doc.page(page)->textList())
        words.append(box->text());
    return words.join(u' ');
}

} // namespace

class TestPdfCommand : public QObject
{
    Q_OBJECT

public:
#ifdef Q_OS_WIN
    // xdxtool.exe draws with Windows' own platform, and so do its printouts here: the printouts
    // paint on worker threads, and Qt's offscreen platform, which reads fonts through its own
    // FreeType on Windows, crashes on them under Wine.
    static void initMain()
    {
        qputenv("QT_QPA_PLATFORM", "windows");
    }
#endif

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
    }
    void help();
    void writesTheInformalForm();
    void officialDocumentHasNoInformalMark();
    void letterPaper();
    void defaultOutputBesideTheFile();
    void refusals_data();
    void refusals();
    void looseLeavesNumberedByTheTable();
    void manyFilesInOnePdf();
    void onePdfOnEveryCore_data();
    void onePdfOnEveryCore();
    void outputsNeverReplaceEachOther();
    void nothingLeftOfAStoppedRun();
    void theRoundFromAnotherFolder();
    void tablesAsSpreadsheetsSaveThem_data();
    void tablesAsSpreadsheetsSaveThem();
    void workbooksAsOtherProgramsWriteThem_data();
    void workbooksAsOtherProgramsWriteThem();

private:
    QString path(const QString& name) const
    {
        return m_dir.filePath(name);
    }
    QTemporaryDir m_dir;
};

void TestPdfCommand::help()
{
    Run r = xdxtool({u"pdf"_s, u"--help"_s});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.out.startsWith(u"用法：xdxtool pdf"_s), qPrintable(r.out));
    r = xdxtool({u"--help"_s});
    QVERIFY(r.out.contains(u"  pdf "_s));
}

void TestPdfCommand::writesTheInformalForm()
{
    const QString out = path(u"complete.pdf"_s);
    const Run r = xdxtool({u"pdf"_s, sample("complete.xdx"), u"-o"_s, out});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.contains(shown(out)), qPrintable(r.err));
    const auto doc = Poppler::Document::load(out);
    QVERIFY(doc);
    QVERIFY(doc->numPages() >= 15);
    const QString cover = pageText(*doc, 0);
    QVERIFY(cover.contains(u"非正式文档"_s));
    const ApplicationRecord record = completeSample();
    QVERIFY2(cover.contains(record.value(Field::Presider)), qPrintable(cover));
    QVERIFY(cover.contains(record.value(Field::EduCode)));
    QVERIFY(!pageText(*doc, 1).contains(u"非正式文档"_s)); // the declaration carries no mark
    // A4, unscaled
    QVERIFY(qAbs(doc->page(0)->pageSizeF().width() - 595.3) < 1);
}

void TestPdfCommand::officialDocumentHasNoInformalMark()
{
    QByteArray bytes = readAll(sample("complete.xdx"));
    QVERIFY(bytes.contains("<PASSBY>0</PASSBY>"));
    bytes.replace("<PASSBY>0</PASSBY>", "<PASSBY>1</PASSBY>");
    const QString in = path(u"official.xdx"_s);
    writeAll(in, bytes);
    const QString out = path(u"official.pdf"_s);
    const Run r = xdxtool({u"pdf"_s, in, u"-o"_s, out});
    QCOMPARE(r.status, 0);
    const auto doc = Poppler::Document::load(out);
    QVERIFY(doc);
    for (int p = 0; p < doc->numPages(); ++p)
        QVERIFY2(!pageText(*doc, p).contains(u"非正式文档"_s), qPrintable(QString::number(p)));
}

void TestPdfCommand::letterPaper()
{
    const QString out = path(u"letter.pdf"_s);
    QCOMPARE(xdxtool({u"pdf"_s, u"--paper"_s, u"LETTER"_s, sample("incomplete.xdx"), u"-o"_s, out}).status,
             0);
    const auto doc = Poppler::Document::load(out);
    QVERIFY(doc);
    QCOMPARE(doc->page(0)->pageSizeF(), QSizeF(612, 792));
}

void TestPdfCommand::defaultOutputBesideTheFile()
{
    const QString in = path(u"copy.xdx"_s);
    QVERIFY(QFile::copy(sample("incomplete.xdx"), in));
    QCOMPARE(xdxtool({u"pdf"_s, in}).status, 0);
    QVERIFY(QFile::exists(path(u"copy.pdf"_s)));
}

void TestPdfCommand::refusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message"); // part of what stderr says
    const QString out = path(u"refused.pdf"_s);
    const QString missing = path(u"nothing-here.xdx"_s);
    const QString foreign = path(u"foreign.xdx"_s);
    writeAll(foreign, "<XMLPackage><ver>QX2010</ver></XMLPackage>");
    const QString broken = path(u"broken.xdx"_s);
    writeAll(broken, "<XMLPackage><ver>");
    QTest::newRow("missing file") << QStringList{missing, u"-o"_s, out} << shown(missing) + u": "_s;
    QTest::newRow("foreign document") << QStringList{foreign, u"-o"_s, out} << rejectedMessage();
    QTest::newRow("broken document") << QStringList{broken, u"-o"_s, out} << shown(broken) + u": "_s;
    QTest::newRow("no file") << QStringList{u"-o"_s, out} << u"XDX 文件"_s;
    QTest::newRow("two files, no -o") << QStringList{missing, foreign} << u"多个文件请用 -o"_s;
    QTest::newRow("two files, neither printable")
        << QStringList{missing, foreign, u"-o"_s, out} << u"没有一个文件可以打印"_s;
    QTest::newRow("unknown paper") << QStringList{u"--paper"_s, u"a5"_s, foreign, u"-o"_s, out} << u"a5"_s;
    QTest::newRow("-o without name") << QStringList{foreign, u"-o"_s} << u"“-o”"_s;
    // Would replace the application with its printout.
    const QString document = path(u"document.xdx"_s);
    writeAll(document, readAll(sample("complete.xdx")));
    QTest::newRow("output is the document")
        << QStringList{document, u"-o"_s, document} << u"是本次要读的文件之一"_s;
    // A document named .pdf would be replaced by its own printout in its own folder.
    const QString self = path(u"self"_s);
    QDir().mkpath(self);
    writeAll(self + u"/app.pdf"_s, readAll(sample("complete.xdx")));
    QTest::newRow("a document where its PDF goes")
        << QStringList{u"-d"_s, self, self + u"/app.pdf"_s} << u"是本次要读的文件之一"_s;
    QTest::newRow("unknown option") << QStringList{u"--scale"_s, foreign, u"-o"_s, out} << u"--scale"_s;
    // Two million empty lines would be some 90,000 sheets.
    const QString endless = path(u"endless.xdx"_s);
    QByteArray bytes = readAll(sample("complete.xdx"));
    const qsizetype at = bytes.indexOf("<ProjectReasoning>") + qsizetype(strlen("<ProjectReasoning>"));
    bytes.insert(at, QByteArray(2'000'000, ','));
    writeAll(endless, bytes);
    QTest::newRow("too many sheets") << QStringList{endless, u"-o"_s, out} << u"申请书超过5000页"_s;
}

void TestPdfCommand::refusals()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    const QString foreign = path(u"foreign.xdx"_s);
    const Run r = xdxtool(QStringList{u"pdf"_s} + args);
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QVERIFY(!QFile::exists(path(u"refused.pdf"_s)));
    QVERIFY(!QFile::exists(path(u"foreign.pdf"_s)));
    QCOMPARE(readAll(foreign), QByteArray("<XMLPackage><ver>QX2010</ver></XMLPackage>"));
    for (const QString& kept : {path(u"document.xdx"_s), path(u"self/app.pdf"_s)})
        if (QFile::exists(kept))
            QCOMPARE(readAll(kept), readAll(sample("complete.xdx")));
}

// The blind review's sheets: Page14 and Page15 with their repeats, as in the whole form, each
// file named by its row in the round's table.
void TestPdfCommand::looseLeavesNumberedByTheTable()
{
    ApplicationRecord r = openXdxFile(sample("complete.xdx"))->record;
    QString reasoning;
    for (int i = 1; i <= 150; ++i)
        reasoning += u"第%1行：课题论证的内容。\r\n"_s.arg(i);
    r.setValue(Field::ProjectReasoning, reasoning);
    const QString longOne = path(u"long.xdx"_s), plain = path(u"plain.xdx"_s), stray = path(u"stray.xdx"_s);
    QVERIFY(saveXdxFile(longOne, r, {}).has_value());
    QFile::copy(sample("complete.xdx"), plain);
    QFile::copy(sample("complete.xdx"), stray);
    const ReportLayout whole = layoutForm(r, false);
    QStringList expected;
    for (const Sheet& sheet : whole.sheets)
        if (sheet.page == u"Page14" || sheet.page == u"Page15")
            expected.append(sheet.page);
    QVERIFY(expected.count(u"Page14"_s) > 1); // the long text repeats its sheet

    const QString table = path(u"round.csv"_s), out = path(u"leaves"_s);
    QCOMPARE(xdxtool({u"table"_s, plain, longOne, u"-o"_s, table}).status, 0);
    const Run run =
        xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, out, u"--number-by"_s, table, longOne, plain});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(QDir(out).entryList(QDir::Files), (QStringList{u"0001.pdf"_s, u"0002.pdf"_s}));
    const auto doc = Poppler::Document::load(QDir(out).filePath(u"0002.pdf"_s));
    QVERIFY(doc);
    QCOMPARE(doc->numPages(), int(expected.size()));
    QVERIFY(pageText(*doc, 0).contains(u"第1行：课题论证的内容。"_s));
    QVERIFY(!pageText(*doc, 0).contains(u"林晓岚"_s)); // no cover, no leader's page
    QCOMPARE(Poppler::Document::load(QDir(out).filePath(u"0001.pdf"_s))->numPages(), 2);

    // A file the table does not list is an error that names it; nothing is printed.
    const Run missing =
        xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, path(u"none"_s), u"--number-by"_s, table, stray});
    QCOMPARE(missing.status, 2);
    QVERIFY2(missing.err.contains(shown(stray)), qPrintable(missing.err));
    QVERIFY(QDir(path(u"none"_s)).entryList(QDir::Files).isEmpty());

    writeAll(path(u"broken.xlsx"_s), "PK\x03\x04 not a workbook");
    const Run broken =
        xdxtool({u"pdf"_s, u"-d"_s, path(u"none"_s), u"--number-by"_s, path(u"broken.xlsx"_s), plain});
    QCOMPARE(broken.status, 2);
    QVERIFY2(broken.err.contains(u"不是完好的 XLSX 文件"_s), qPrintable(broken.err));

    // The XLSX of the same round, sorted in a spreadsheet program (the two rows swapped and the
    // file written by another program): the names follow the rows as they stand.
    const QString xlsx = path(u"round.xlsx"_s);
    const Run tabled = xdxtool({u"table"_s, plain, longOne, u"-o"_s, xlsx});
    if (tabled.err.contains(u"不能写 XLSX"_s))
        QSKIP("built without libxlsxwriter");
    const QString unsorted = path(u"unsorted"_s);
    const Run asWritten =
        xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, unsorted, u"--number-by"_s, xlsx, longOne, plain});
    QVERIFY2(asWritten.status == 0, qPrintable(asWritten.err));
    QCOMPARE(Poppler::Document::load(QDir(unsorted).filePath(u"0002.pdf"_s))->numPages(),
             int(expected.size()));
    if (!python(u"import openpyxl, sys\n"
                "wb = openpyxl.load_workbook(sys.argv[1])\n"
                "s = wb.worksheets[0]\n"
                "for c in range(1, s.max_column + 1):\n"
                "    a, b = s.cell(2, c), s.cell(3, c)\n"
                "    a.value, b.value = b.value, a.value\n"
                "wb.save(sys.argv[1])\n"_s,
                {xlsx})) {
        QVERIFY2(!pythonReadsWorkbooks(), "python3 with openpyxl could not sort the workbook");
        QSKIP("no python3-openpyxl to sort the XLSX as a spreadsheet program would");
    }
    const QString sheets = path(u"sheets"_s);
    const Run byXlsx =
        xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, sheets, u"--number-by"_s, xlsx, longOne, plain});
    QVERIFY2(byXlsx.status == 0, qPrintable(byXlsx.err));
    QCOMPARE(Poppler::Document::load(QDir(sheets).filePath(u"0001.pdf"_s))->numPages(), int(expected.size()));
}

// Several files and -o: one PDF of all of them in input order, each with its own mark; a file
// that cannot be printed is reported and left out.
void TestPdfCommand::manyFilesInOnePdf()
{
    QByteArray bytes = readAll(sample("complete.xdx"));
    bytes.replace("<PASSBY>0</PASSBY>", "<PASSBY>1</PASSBY>");
    const QString official = path(u"round-official.xdx"_s), broken = path(u"round-broken.xdx"_s);
    writeAll(official, bytes);
    writeAll(broken, "<XMLPackage><ver>");
    const QString out = path(u"round.pdf"_s);
    const Run r = xdxtool({u"pdf"_s, official, broken, sample("incomplete.xdx"), u"-o"_s, out});
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(shown(broken) + u": "_s), qPrintable(r.err));
    const int first = int(layoutForm(openXdxFile(official)->record, true).sheets.size());
    const int second = int(layoutForm(incompleteSample(), false).sheets.size());
    QVERIFY2(r.err.contains(u"第 %1–%2 页"_s.arg(first + 1).arg(first + second)), qPrintable(r.err));
    const auto doc = Poppler::Document::load(out);
    QVERIFY(doc);
    QCOMPARE(doc->numPages(), first + second);
    QVERIFY(!pageText(*doc, 0).contains(u"非正式文档"_s));
    QVERIFY(pageText(*doc, first).contains(u"非正式文档"_s));
}

void TestPdfCommand::onePdfOnEveryCore_data()
{
    QTest::addColumn<QString>("jobs");
    QTest::newRow("two parts") << u"2"_s;
    QTest::newRow("three, one of nothing printable") << u"3"_s;
    QTest::newRow("more workers than files") << u"8"_s;
}

// The round's one PDF written in parts and joined is the one written on one core: the same
// pages in the same order, the same reports of where each file went, the same title.
// One PDF of many, as the real program runs it: a folder that cannot be written fails before
// a page is printed; Ctrl+C (and SIGTERM) leaves neither the output, nor its temporary file, nor
// the parts; what a killed run left is gone after the next.
void TestPdfCommand::nothingLeftOfAStoppedRun()
{
#ifndef Q_OS_UNIX
    QSKIP("signals are POSIX's");
#else
    const QString inbox = path(u"stopped"_s);
    QVERIFY(QDir().mkpath(inbox));
    for (int i = 0; i < 60; ++i)
        QFile::copy(sample("complete.xdx"), inbox + u"/%1.xdx"_s.arg(i, 2, 10, QChar(u'0')));
    const auto leftovers = [](const QString& folder, qint64 pid) {
        QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        left += QDir(QDir::tempPath()).entryList({u"xdxtool-%1-*"_s.arg(pid)}, QDir::Dirs);
        return left;
    };
    const Run unwritable = xdxtool({u"pdf"_s, u"-j"_s, u"2"_s, inbox, u"-o"_s, path(u"missing/round.pdf"_s)});
    QCOMPARE(unwritable.status, 2);
    QVERIFY2(!unwritable.err.contains(u"页"_s), qPrintable(unwritable.err)); // nothing printed first

    for (const int signal : {SIGINT, SIGTERM, SIGKILL}) {
        const QString out = path(u"out-%1"_s.arg(signal));
        QVERIFY(QDir().mkpath(out));
        QProcess run;
        run.start(QStringLiteral(XDXTOOL_PATH),
                  {u"pdf"_s, u"-j"_s, u"2"_s, inbox, u"-o"_s, out + u"/round.pdf"_s});
        QVERIFY(run.waitForStarted());
        // Stopped while its parts are being written.
        QTRY_VERIFY_WITH_TIMEOUT(
            !QDir(QDir::tempPath()).entryList({u"xdxtool-%1-*"_s.arg(run.processId())}, QDir::Dirs).isEmpty(),
            30000);
        QTest::qWait(300);
        QCOMPARE(run.state(), QProcess::Running);
        ::kill(pid_t(run.processId()), signal);
        QVERIFY(run.waitForFinished(60000));
        if (signal == SIGKILL) {
            QVERIFY(!leftovers(out, run.processId()).isEmpty()); // what the next run tidies
            QVERIFY(!xdxtool({u"pdf"_s, u"-j"_s, u"2"_s, sample("complete.xdx"), sample("incomplete.xdx"),
                              u"-o"_s, out + u"/round.pdf"_s})
                         .status);
            QCOMPARE(leftovers(out, run.processId()), QStringList{u"round.pdf"_s});
            continue;
        }
        QCOMPARE(run.exitCode(), 130);
        QVERIFY(run.readAllStandardError().contains("已中断"));
        QCOMPARE(leftovers(out, run.processId()), QStringList());
    }
#endif
}

void TestPdfCommand::onePdfOnEveryCore()
{
    QFETCH(QString, jobs);
    QByteArray bytes = readAll(sample("complete.xdx"));
    bytes.replace("<PASSBY>0</PASSBY>", "<PASSBY>1</PASSBY>");
    const QString official = path(u"cores-official.xdx"_s), broken = path(u"cores-broken.xdx"_s);
    writeAll(official, bytes);
    writeAll(broken, "<XMLPackage><ver>");
    const QStringList files{sample("incomplete.xdx"), broken, official, sample("complete.xdx")};
    const QString one = path(u"cores-1.pdf"_s), many = path(u"cores-%1.pdf"_s.arg(jobs));
    const Run serial = xdxtool(QStringList{u"pdf"_s, u"-j"_s, u"1"_s} + files + QStringList{u"-o"_s, one});
    const Run parallel = xdxtool(QStringList{u"pdf"_s, u"-j"_s, jobs} + files + QStringList{u"-o"_s, many});
    QCOMPARE(parallel.status, serial.status);
    QCOMPARE(QString(parallel.err).replace(shown(many), shown(one)), serial.err);
    const auto a = Poppler::Document::load(one), b = Poppler::Document::load(many);
    QVERIFY(a && b);
    QCOMPARE(b->numPages(), a->numPages());
    for (int i = 0; i < a->numPages(); ++i)
        QCOMPARE(pageText(*b, i), pageText(*a, i));
    QCOMPARE(b->info(u"Title"_s), u"课题立项申请·评审书"_s);
    QCOMPARE(b->info(u"Creator"_s), a->info(u"Creator"_s));
}

// A PDF each: files of the same name in different folders never share an output, and a link in
// the output folder (another user's, in a shared folder) is replaced, never written through.
void TestPdfCommand::outputsNeverReplaceEachOther()
{
    const QString round = path(u"same-names"_s);
    for (const char* folder : {"x", "y", "z"})
        QVERIFY(QDir().mkpath(round + u'/' + QString::fromLatin1(folder)));
    QByteArray official = readAll(sample("complete.xdx"));
    official.replace("<PASSBY>0</PASSBY>", "<PASSBY>1</PASSBY>");
    writeAll(round + u"/x/a.xdx"_s, readAll(sample("complete.xdx")));
    writeAll(round + u"/y/A.xdx"_s, official);
    writeAll(round + u"/z/a-2.xdx"_s, readAll(sample("incomplete.xdx")));
    const QString out = round + u"/out"_s;
    const Run r = xdxtool({u"pdf"_s, u"-d"_s, out, u"-j"_s, u"1"_s, round + u"/x/a.xdx"_s,
                           round + u"/y/A.xdx"_s, round + u"/z/a-2.xdx"_s});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY2(r.err.contains(u"写出了 3 个 PDF"_s), qPrintable(r.err));
    QStringList written = QDir(out).entryList(QDir::Files);
    written.sort();
    QCOMPARE(written, (QStringList{u"A-3.pdf"_s, u"a-2.pdf"_s, u"a.pdf"_s}));
    const auto cover = [&](const QString& name) {
        return pageText(*Poppler::Document::load(out + u'/' + name), 0);
    };
    QVERIFY(cover(u"a.pdf"_s).contains(u"非正式文档"_s));
    QVERIFY(!cover(u"A-3.pdf"_s).contains(u"非正式文档"_s)); // the official one
    QVERIFY(cover(u"a-2.pdf"_s).contains(incompleteSample().value(Field::ProjectName)));

#ifdef Q_OS_UNIX
    if (::geteuid() != 0)
        QSKIP("planting a link of another user needs root");
    const QString shared = round + u"/shared"_s, target = round + u"/root-owned"_s;
    QVERIFY(QDir().mkpath(shared));
    QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    writeAll(target, "root's own");
    QVERIFY(QFile::link(target, shared + u"/a.pdf"_s));
    QCOMPARE(::lchown(QFile::encodeName(shared + u"/a.pdf"_s).constData(), 65534, 65534), 0);
    QCOMPARE(xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, shared, round + u"/x/a.xdx"_s}).status, 0);
    QCOMPARE(readAll(target), QByteArray("root's own"));
    QVERIFY(!QFileInfo(shared + u"/a.pdf"_s).isSymLink());
    QVERIFY(readAll(shared + u"/a.pdf"_s).startsWith("%PDF"));
#endif
}

// The table made in the round's folder numbers the files from anywhere: its names are relative
// to it, and a name it guarded against formulas is found again.
void TestPdfCommand::theRoundFromAnotherFolder()
{
    const QString round = path(u"round-folder"_s);
    QVERIFY(QDir().mkpath(round + u"/inbox"_s));
    QVERIFY(QDir().mkpath(path(u"elsewhere"_s)));
    writeAll(round + u"/inbox/=sum.xdx"_s, readAll(sample("complete.xdx")));
    writeAll(round + u"/inbox/b.xdx"_s, readAll(sample("incomplete.xdx")));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(round));
    const Run tabled = xdxtool({u"table"_s, u"-r"_s, u"inbox"_s, u"-o"_s, u"round.csv"_s});
    QVERIFY(QDir::setCurrent(path(u"elsewhere"_s)));
    const Run printed = xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, u"leaves"_s, u"--number-by"_s,
                                 u"../round-folder/round.csv"_s, u"-r"_s, u"../round-folder/inbox"_s});
    QDir::setCurrent(before);
    QCOMPARE(tabled.status, 1);
    QVERIFY2(printed.status == 0, qPrintable(printed.err));
    QCOMPARE(QDir(path(u"elsewhere/leaves"_s)).entryList(QDir::Files),
             (QStringList{u"0001.pdf"_s, u"0002.pdf"_s}));
}

// A table opened and saved again in a spreadsheet program on Chinese Windows: GBK, semicolons or
// tabs, CR line ends, UTF-16; the formula guard taken away or kept.
void TestPdfCommand::tablesAsSpreadsheetsSaveThem_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QString>("error"); // empty: the first file is row 1, the second row 2
    const QString lines = u"文件,状态\r\n{1},完整\r\n\"{2}\",不完整\r\n"_s;
    const auto with = [](QString text, QChar separator, const QString& end) {
        return text.replace(u',', separator).replace(u"\r\n"_s, end);
    };
    QTest::newRow("UTF-8 with its mark, as written") << "\xEF\xBB\xBF" + lines.toUtf8() << QString();
    QTest::newRow("GBK, semicolons, CR") << *gbk::encode(with(lines, u';', u"\r"_s)) << QString();
    QByteArray utf16("\xFF\xFE");
    const QString tabbed = with(lines, u'\t', u"\n"_s);
    utf16.append(reinterpret_cast<const char*>(tabbed.utf16()), tabbed.size() * 2);
    QTest::newRow("UTF-16 with its mark, tabs, LF") << utf16 << QString();
    QTest::newRow("one file in two rows")
        << (lines + u"{1},完整\r\n"_s).toUtf8() << u"第 2 行和第 4 行都是"_s;
}

void TestPdfCommand::tablesAsSpreadsheetsSaveThem()
{
    QFETCH(QByteArray, table);
    QFETCH(QString, error);
    const QString round = path(u"resaved"_s);
    QDir().mkpath(round);
    const QString first = round + u"/=甲.xdx"_s, second = round + u"/乙.xdx"_s;
    writeAll(first, readAll(sample("complete.xdx")));
    writeAll(second, readAll(sample("incomplete.xdx")));
    // The names as a table holds them: relative to its folder, the first one guarded against
    // formulas.
    const QByteArray names[] = {"'=\xE7\x94\xB2.xdx", "\xE4\xB9\x99.xdx"}; // 甲, 乙 in UTF-8
    for (int i = 0; i < 2; ++i) {
        const QString name = QString::fromUtf8(names[i]);
        QByteArray encoded;
        if (table.startsWith("\xFF\xFE"))
            encoded = QByteArray(reinterpret_cast<const char*>(name.utf16()), name.size() * 2);
        else if (table.startsWith("\xEF\xBB\xBF") || !QByteArray(table).contains(';'))
            encoded = name.toUtf8();
        else
            encoded = *gbk::encode(name);
        QByteArray placeholder = u"{%1}"_s.arg(i + 1).toUtf8();
        if (table.startsWith("\xFF\xFE")) {
            const QString p = QString::fromLatin1(placeholder);
            placeholder = QByteArray(reinterpret_cast<const char*>(p.utf16()), p.size() * 2);
        }
        table.replace(placeholder, encoded);
    }
    const QString csv = round + u"/table.csv"_s;
    writeAll(csv, table);
    const QString out = path(u"resaved-out/"_s) + QString::fromLatin1(QTest::currentDataTag());
    const Run r = xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, out, u"--number-by"_s, csv, second, first});
    if (!error.isEmpty()) {
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
        return;
    }
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY(pageText(*Poppler::Document::load(out + u"/0001.pdf"_s), 0)
                .contains(completeSample().value(Field::ProjectName).left(4)));
}

// The XLSX another program wrote or spoiled: relationship targets as paths, the same cell twice,
// a part whose CRC is wrong.
void TestPdfCommand::workbooksAsOtherProgramsWriteThem_data()
{
    QTest::addColumn<QString>("change"); // Python on the workbook's parts: zin, zout, name, data
    QTest::addColumn<QString>("error");  // empty: read as the rows stand
    QTest::newRow("./ target")
        << u"data = data.replace(b'Target=\"worksheets/', b'Target=\"./worksheets/') if name == 'xl/_rels/workbook.xml.rels' else data"_s
        << QString();
    QTest::newRow("../ target")
        << u"data = data.replace(b'Target=\"worksheets/', b'Target=\"../xl/worksheets/') if name == 'xl/_rels/workbook.xml.rels' else data"_s
        << QString();
    QTest::newRow("a cell twice")
        << u"data = data.replace(b'</sheetData>', b'<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>x.xdx</t></is></c></row></sheetData>') if name == 'xl/worksheets/sheet1.xml' else data"_s
        << u"出现了两次"_s;
    QTest::newRow("a cell no spreadsheet holds")
        << u"data = data.replace(b'</sheetData>', b'<row r=\"9\"><c r=\"B9\" t=\"inlineStr\"><is><t>' + b'a' * (8 << 20) + b'</t></is></c></row></sheetData>') if name == 'xl/worksheets/sheet1.xml' else data"_s
        << u"不是完好的 XLSX 文件"_s;
    QTest::newRow("a wrong CRC") << u"crc = name == 'xl/worksheets/sheet1.xml'"_s
                                 << u"不是完好的 XLSX 文件"_s;
}

void TestPdfCommand::workbooksAsOtherProgramsWriteThem()
{
    QFETCH(QString, change);
    QFETCH(QString, error);
    const QString round = path(u"workbooks"_s);
    QDir().mkpath(round);
    const QString first = round + u"/a.xdx"_s, second = round + u"/b.xdx"_s, xlsx = round + u"/round.xlsx"_s;
    writeAll(first, readAll(sample("complete.xdx")));
    writeAll(second, readAll(sample("incomplete.xdx")));
    const Run tabled = xdxtool({u"table"_s, first, second, u"-o"_s, xlsx});
    if (tabled.err.contains(u"不能写 XLSX"_s))
        QSKIP("built without libxlsxwriter");
    // Every part copied, changed on the way; a wrong CRC patched into the central directory.
    if (!python(u"import sys, zipfile, struct\n"
                "zin = zipfile.ZipFile(sys.argv[1]); out = sys.argv[1] + '.new'\n"
                "zout = zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED); bad = None\n"
                "for name in zin.namelist():\n"
                "    data = zin.read(name); crc = False\n"_s +
                    u"    "_s + change + u"\n"_s +
                    u"    zout.writestr(name, data)\n"
                    "    bad = name if crc else bad\n"
                    "zout.close(); b = bytearray(open(out, 'rb').read())\n"
                    "if bad:\n"
                    "    at = b.find(b'PK\\x01\\x02')\n"
                    "    while at >= 0:\n"
                    "        n = struct.unpack('<H', b[at+28:at+30])[0]\n"
                    "        if b[at+46:at+46+n] == bad.encode(): b[at+16] ^= 0xFF\n"
                    "        at = b.find(b'PK\\x01\\x02', at + 4)\n"
                    "open(sys.argv[1], 'wb').write(bytes(b))\n"_s,
                {xlsx})) {
        QVERIFY2(!pythonReadsWorkbooks(), "python3 could not write the workbook");
        QSKIP("no python3 to write the workbook as another program would");
    }
    const QString out = path(u"workbooks-out/"_s) + QString::fromLatin1(QTest::currentDataTag());
    const Run r = xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, out, u"--number-by"_s, xlsx, second, first});
    if (!error.isEmpty()) {
        QCOMPARE(r.status, 2);
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
        return;
    }
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QStringList written = QDir(out).entryList(QDir::Files);
    QCOMPARE(written, (QStringList{u"0001.pdf"_s, u"0002.pdf"_s}));
}

QTEST_MAIN(TestPdfCommand)
#include "test_pdfcommand.moc"
