// xdxtool pdf, run in-process with its streams in buffers; the PDFs read back with poppler.

#include "../common/clirun.h"
#include "cli/xdxtool.h"
#include "report/fillreport.h"
#include "xdx/xdxfile.h"

#include <QDir>
#include <QFile>

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <poppler-qt6.h>

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

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void help();
    void writesTheInformalForm();
    void officialDocumentHasNoInformalMark();
    void letterPaper();
    void defaultOutputBesideTheFile();
    void refusals_data();
    void refusals();
    void looseLeavesNumberedByTheTable();
    void manyFilesInOnePdf();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
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
    QVERIFY2(r.err.contains(out), qPrintable(r.err));
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
    QTest::newRow("missing file") << QStringList{missing, u"-o"_s, out} << missing + u": "_s;
    QTest::newRow("foreign document") << QStringList{foreign, u"-o"_s, out} << rejectedMessage();
    QTest::newRow("broken document") << QStringList{broken, u"-o"_s, out} << broken + u": "_s;
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
        << QStringList{document, u"-o"_s, document} << u"就是要打印的文档"_s;
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
    if (QFile::exists(path(u"document.xdx"_s)))
        QCOMPARE(readAll(path(u"document.xdx"_s)), readAll(sample("complete.xdx")));
}

// The blind review's sheets: Page14 and Page15 with their repeats, as in the whole form, each
// file named by its row in the round's table.
void TestPdfCommand::looseLeavesNumberedByTheTable()
{
    ApplicationRecord r = openXdxFile(sample("complete.xdx")).record;
    QString reasoning;
    for (int i = 1; i <= 150; ++i)
        reasoning += u"第%1行：课题论证的内容。\r\n"_s.arg(i);
    r.setValue(Field::ProjectReasoning, reasoning);
    const QString longOne = path(u"long.xdx"_s), plain = path(u"plain.xdx"_s), stray = path(u"stray.xdx"_s);
    QVERIFY(saveXdxFile(longOne, r, {}).ok);
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
    const Run run = xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, out, u"--number-by"_s, table, longOne, plain});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(QDir(out).entryList(QDir::Files), (QStringList{u"0001.pdf"_s, u"0002.pdf"_s}));
    const auto doc = Poppler::Document::load(QDir(out).filePath(u"0002.pdf"_s));
    QVERIFY(doc);
    QCOMPARE(doc->numPages(), int(expected.size()));
    QVERIFY(pageText(*doc, 0).contains(u"第1行：课题论证的内容。"_s));
    QVERIFY(!pageText(*doc, 0).contains(u"林晓岚"_s)); // no cover, no leader's page
    QCOMPARE(Poppler::Document::load(QDir(out).filePath(u"0001.pdf"_s))->numPages(), 2);

    // A file the table does not list is an error that names it; nothing is printed.
    const Run missing = xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, path(u"none"_s), u"--number-by"_s, table, stray});
    QCOMPARE(missing.status, 2);
    QVERIFY2(missing.err.contains(stray), qPrintable(missing.err));
    QVERIFY(QDir(path(u"none"_s)).entryList(QDir::Files).isEmpty());

    // The XLSX of the same round, sorted in a spreadsheet program (the two rows swapped and the
    // file written by another program): the names follow the rows as they stand.
    const QString xlsx = path(u"round.xlsx"_s);
    const Run tabled = xdxtool({u"table"_s, plain, longOne, u"-o"_s, xlsx});
    if (tabled.err.contains(u"不能写 XLSX"_s))
        QSKIP("built without libxlsxwriter");
    QProcess python;
    python.start(u"/usr/bin/python3"_s, {u"-c"_s, u"import openpyxl, sys\n"
                                                  "wb = openpyxl.load_workbook(sys.argv[1])\n"
                                                  "s = wb.worksheets[0]\n"
                                                  "for c in range(1, s.max_column + 1):\n"
                                                  "    a, b = s.cell(2, c), s.cell(3, c)\n"
                                                  "    a.value, b.value = b.value, a.value\n"
                                                  "wb.save(sys.argv[1])\n"_s,
                                         xlsx});
    QVERIFY(python.waitForFinished(60000));
    const bool sorted = python.exitCode() == 0;
    const QString sheets = path(u"sheets"_s);
    const Run byXlsx = xdxtool({u"pdf"_s, u"--loose-leaf"_s, u"-d"_s, sheets, u"--number-by"_s, xlsx, longOne, plain});
    QVERIFY2(byXlsx.status == 0, qPrintable(byXlsx.err));
    const QString longName = sorted ? u"0001.pdf"_s : u"0002.pdf"_s;
    QCOMPARE(Poppler::Document::load(QDir(sheets).filePath(longName))->numPages(), int(expected.size()));

    writeAll(path(u"broken.xlsx"_s), "PK\x03\x04 not a workbook");
    const Run broken = xdxtool({u"pdf"_s, u"-d"_s, path(u"none"_s), u"--number-by"_s, path(u"broken.xlsx"_s), plain});
    QCOMPARE(broken.status, 2);
    QVERIFY2(broken.err.contains(u"不是完好的 XLSX 文件"_s), qPrintable(broken.err));
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
    QVERIFY2(r.err.contains(broken + u": "_s), qPrintable(r.err));
    const int first = int(layoutForm(openXdxFile(official).record, true).sheets.size());
    const int second = int(layoutForm(incompleteSample(), false).sheets.size());
    QVERIFY2(r.err.contains(u"第 %1–%2 页"_s.arg(first + 1).arg(first + second)), qPrintable(r.err));
    const auto doc = Poppler::Document::load(out);
    QVERIFY(doc);
    QCOMPARE(doc->numPages(), first + second);
    QVERIFY(!pageText(*doc, 0).contains(u"非正式文档"_s));
    QVERIFY(pageText(*doc, first).contains(u"非正式文档"_s));
}

QTEST_MAIN(TestPdfCommand)
#include "test_pdfcommand.moc"
