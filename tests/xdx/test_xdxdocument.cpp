#include "../common/fixtures.h"
#include "files/files.h"
#include "record/gbk.h"
#include "record/textrules.h"
#include "xdx/xdxfile.h"
#include "xdx/xdxformat.h"
#include "xdx/xml/outline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace shenbao;
using namespace shenbao::test;
using Status = OpenStatus;

namespace {

QByteArray gbkBytes(const QString& s)
{
    // Like a lenient encoder: "?" for a character GBK lacks.
    QByteArray out;
    for (const QChar c : s) {
        char b[2];
        const int n = shenbao::gbk::toBytes(c.unicode(), b);
        out.append(n ? QByteArray(b, n) : QByteArray("?"));
    }
    return out;
}

QString fromGbk(const QByteArray& bytes)
{
    return shenbao::gbk::decode(bytes);
}

// A document as text; tests edit it and encode it back to GBK.
QString documentText(const ApplicationRecord& r, const QStringList& errors = {})
{
    return fromGbk(xdxBytes(r, errors));
}

OpenResult openText(const QString& text)
{
    return openXdxBytes(gbkBytes(text));
}

// Replaces the content of the first element called name (at any depth) in a document text.
QString withElement(QString text, const QString& name, const QString& replacement)
{
    const QRegularExpression re(u"<"_qs + name + u">.*?</"_qs + name + u">|<"_qs + name + u"/>"_qs);
    return text.replace(text.indexOf(re), re.match(text).capturedLength(), replacement);
}

QString leaf(const QString& name, const QString& content)
{
    return u"<"_qs + name + u">"_qs + content + u"</"_qs + name + u">"_qs;
}

// A device that takes at most 100 bytes per write, like a disk that has just filled up.
class FullDevice : public QIODevice
{
protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 n) override { return std::min<qint64>(n, 100); }
};

} // namespace

class TestXdxDocument : public QObject
{
    Q_OBJECT

private slots:
    // writer
    void writesTheExactDeclarationAndNoWhitespace();
    void writesAllElementsInTheFormatsOrder();
    void writesGbkAndEscapes();
    void writesRowsLongTextsAndTheErrorList();
    void charactersXmlCannotHoldAreDropped();
    void charactersOutsideGbkSurvive();
    void leadingByteOrderMarksSurvive();
    void longTextBreaksReadAsCrLf();
    void saveRuleLooksAtWhatIsWritten();
    void tooLargeValueGivesTheRealReason();
    void twoSavesDifferOnlyInProjectId();
    // reader
    void roundTripOfTheCompleteSample();
    void emptyCellsComeBackEmpty();
    void blanksSurvive();
    void reorderedAndIndentedDocumentsReadAlike();
    void missingElementsReadEmpty();
    void leafContent_data();
    void leafContent();
    void formatTag_data();
    void formatTag();
    void officialMark_data();
    void officialMark();
    void rowItems();
    void rootWithoutChildren();
    void failureHalfWayGivesNoRecord();
    // failures
    void parseFailureMessage();
    void brokenFiles_data();
    void brokenFiles();
    void hostileDocuments_data();
    void hostileDocuments();
    void eventsReadAsTheTree_data();
    void eventsReadAsTheTree();
    // files
    void saveIsAtomic();
    void saveReportsUnwritableTargets();
    void saveFollowsLinksAndKeepsPermissions();
    void saveRefusesWhatItMayNotReplace_data();
    void saveRefusesWhatItMayNotReplace();
    void namesOfAnyBytes();
    void openRefusesWhatIsNoFile();
};

void TestXdxDocument::writesTheExactDeclarationAndNoWhitespace()
{
    const QByteArray bytes = xdxBytes(ApplicationRecord(), {});
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"GBK\" standalone=\"yes\"?>"));
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    const qsizetype rootStart = bytes.indexOf("<XMLPackage>");
    const qsizetype rootEnd = bytes.indexOf("</XMLPackage>");
    QVERIFY(rootStart > 0 && rootEnd > rootStart);
    // Between the declaration and the root at most a line break; inside the root no formatting.
    QVERIFY(bytes.mid(54, rootStart - 54).trimmed().isEmpty());
    const QByteArray inside = bytes.mid(rootStart, rootEnd - rootStart);
    QVERIFY(!QRegularExpression(u">\\s+<"_qs).match(QString::fromLatin1(inside)).hasMatch());
    QVERIFY(!bytes.contains("<!--") && !bytes.contains("<!DOCTYPE") && !bytes.contains("CDATA"));
}

void TestXdxDocument::writesAllElementsInTheFormatsOrder()
{
    const QString text = documentText(ApplicationRecord());
    QStringList names;
    const QRegularExpression open(u"<([A-Za-z0-9]+)(/?)>"_qs);
    for (auto it = open.globalMatch(text); it.hasNext();)
        names.append(it.next().captured(1));
    QCOMPARE(names.size(), 101); // root, 53 children, 47 rows

    QStringList expected{u"XMLPackage"_qs};
    for (const XdxElement& e : xdxElements()) {
        expected.append(QString::fromUtf16(e.name));
        if (e.role == XdxElement::Role::Field && fieldSpec(e.field).kind == FieldKind::Table)
            for (int row = 1; row <= tableRows(e.field); ++row)
                expected.append(rowElementName(e.field, row));
    }
    QCOMPARE(names, expected);
    // The format's own order: Presider after PASSBY, OutlayBank before OutlayAccounts.
    QVERIFY(text.indexOf(u"<PASSBY>0</PASSBY><Presider>"_qs) > 0);
    QVERIFY(text.indexOf(u"<OutlayBank>"_qs) < text.indexOf(u"<OutlayAccounts>"_qs));
    QVERIFY(text.contains(u"<ver>QX2011v1.0</ver>"_qs));
    QVERIFY(text.contains(u"<ProjectID>000000000000000000000000</ProjectID>"_qs));
    QVERIFY(text.contains(u"<EduCode>0000000000</EduCode>"_qs));
}

void TestXdxDocument::writesGbkAndEscapes()
{
    ApplicationRecord r;
    r.setValue(Field::ProjectName, u"教育"_qs);
    r.setValue(Field::KeyWord, u"a<b & c>d \"q\""_qs);
    const QByteArray bytes = xdxBytes(r, {});
    // 教 = BD CC, 育 = D3 FD in GBK.
    QVERIFY(bytes.contains("<ProjectName>\xBD\xCC\xD3\xFD</ProjectName>"));
    QVERIFY(bytes.contains("<KeyWord>a&lt;b &amp; c&gt;d \"q\"</KeyWord>"));
    QCOMPARE(openXdxBytes(bytes)->record.value(Field::KeyWord), u"a<b & c>d \"q\""_qs);
}

void TestXdxDocument::writesRowsLongTextsAndTheErrorList()
{
    ApplicationRecord r;
    TableGrid& actors = r.table(Field::MainActor);
    const QStringList row1{u"甲"_qs, u"男"_qs, u"45"_qs, u"教授"_qs, QString(), u"教育学"_qs, u"某校"_qs};
    for (int c = 0; c < 7; ++c)
        actors.setCell(1, c, row1[c]);
    actors.setCell(2, 6, u"某 校"_qs);
    r.table(Field::Production).setCell(1, 0, u"a\"b"_qs);
    r.setValue(Field::ProjectReasoning, u"第一行\r\n第二行"_qs);
    r.setValue(Field::tuijian1, u"含 空格\r\n"_qs);
    const QString text = documentText(r, {u"01、课题名称  未填写"_qs, u"02、性别  未填写"_qs});
    QVERIFY(text.contains(u"<MainActor><MainActor1>甲,男,45,教授,,教育学,某校</MainActor1>"_qs));
    QVERIFY(text.contains(u"<MainActor2>,,,,,,\"某 校\"</MainActor2>"_qs));
    QVERIFY(text.contains(u"<MainActor15>,,,,,,</MainActor15></MainActor>"_qs));
    QVERIFY(text.contains(u"<Production1>\"a\"\"b\",,,,</Production1>"_qs));
    QVERIFY(text.contains(u"<ResearchedProject5>,,,,,</ResearchedProject5>"_qs));
    QVERIFY(text.contains(u"<FinallyProduction1>,,,研究报告,</FinallyProduction1>"_qs));
    QVERIFY(text.contains(u"<ProjectReasoning>第一行,第二行</ProjectReasoning>"_qs));
    QVERIFY(text.contains(u"<tuijian1>\"含 空格\"</tuijian1>"_qs));
    QVERIFY(text.contains(u"<verifylist>\"01、课题名称  未填写\",\"02、性别  未填写\"</verifylist>"_qs));
    QVERIFY(documentText(ApplicationRecord(), {})
                .contains(QRegularExpression(u"<verifylist(/>|></verifylist>)"_qs)));
}

void TestXdxDocument::charactersXmlCannotHoldAreDropped()
{
    ApplicationRecord r;
    r.setValue(Field::Nation, u"汉"_qs + QChar(0x01) + u"族"_qs + QChar(0xFFFF));
    r.setValue(Field::ProjectAnalyze, u"a"_qs + QChar(0x0B) + u"b"_qs);
    QString error;
    const QByteArray bytes = xdxBytes(r, {}, &error);
    QVERIFY2(!bytes.isEmpty(), qPrintable(error));
    const OpenResult back = openXdxBytes(bytes);
    QCOMPARE(openStatus(back), Status::Loaded);
    QCOMPARE(back->record.value(Field::Nation), u"汉族"_qs);
    QCOMPARE(back->record.value(Field::ProjectAnalyze), u"ab\r\n"_qs);
}

void TestXdxDocument::charactersOutsideGbkSurvive()
{
    // Mended: a character GBK cannot encode becomes a character reference, not a "?".
    ApplicationRecord r;
    const QString name =
        u"研究"_qs + QString::fromUtf8("\xF0\x9F\x98\x80") + QString::fromUtf8("\xED\x95\x9C");
    r.setValue(Field::ProjectName, name);
    r.table(Field::MainActor).setCell(1, 0, QString::fromUtf8("\xC3\xA9"));
    const QByteArray bytes = xdxBytes(r, {});
    QVERIFY(bytes.contains("&#128512;"));
    const OpenResult back = openXdxBytes(bytes);
    QCOMPARE(back->record.value(Field::ProjectName), name);
    QCOMPARE(back->record.table(Field::MainActor).cell(1, 0), QString::fromUtf8("\xC3\xA9"));
}

void TestXdxDocument::leadingByteOrderMarksSurvive()
{
    ApplicationRecord r;
    r.setValue(Field::ProjectName, u"\uFEFF\uFEFF课题"_qs);
    r.setValue(Field::Presider, u"\uFEFF"_qs);
    r.setValue(Field::ProjectReasoning, u"\uFEFF第一行\r\n\uFEFF第二行\r\n"_qs);
    r.table(Field::MainActor).setCell(1, 0, u"\uFEFF张三"_qs);
    const OpenResult back = openXdxBytes(xdxBytes(r, {}));
    QCOMPARE(openStatus(back), Status::Loaded);
    for (Field f : {Field::ProjectName, Field::Presider, Field::ProjectReasoning})
        QCOMPARE(back->record.value(f), r.value(f));
    QCOMPARE(back->record.table(Field::MainActor).cell(1, 0), u"\uFEFF张三"_qs);
}

// A line item with breaks of its own (a file made elsewhere) reads as the window and JSON hold
// long texts: every break CR LF.
void TestXdxDocument::longTextBreaksReadAsCrLf()
{
    const OpenResult back =
        openText(u"<?xml version=\"1.0\" encoding=\"GBK\"?><XMLPackage><ver>QX2011v1.0</ver>"
                 u"<ProjectReasoning>\"a\nb\rc\",d</ProjectReasoning></XMLPackage>"_qs);
    QCOMPARE(openStatus(back), Status::Loaded);
    QCOMPARE(back->record.value(Field::ProjectReasoning), u"a\r\nb\r\nc\r\nd\r\n"_qs);
}

void TestXdxDocument::saveRuleLooksAtWhatIsWritten()
{
    ApplicationRecord r;
    r.setValue(Field::ProjectName, u"课题"_qs);
    r.setValue(Field::Presider, u"\x07"_qs); // dropped on writing: the file would have no leader
    QVERIFY(!saveRefusal(r).isEmpty());
    r.setValue(Field::Presider, u"\uFEFF"_qs); // written and read back as it is
    QVERIFY(saveRefusal(r).isEmpty());
    r.setValue(Field::ProjectName, QString());
    QCOMPARE(saveRefusal(r), u"“课题名称”  和  “主持人”  必须填写！"_qs);
}

// A value past the parser's limit of 10,000,000 bytes a text node cannot be saved: the reason
// given is that, not what the parser said after it gave up.
void TestXdxDocument::tooLargeValueGivesTheRealReason()
{
    ApplicationRecord r;
    r.setValue(Field::ProjectName, u"题"_qs.repeated(3'500'000));
    QString error;
    QVERIFY(xdxBytes(r, {}, &error).isEmpty());
    QVERIFY2(error.contains(u"huge text node"_qs), qPrintable(error));
}

void TestXdxDocument::twoSavesDifferOnlyInProjectId()
{
    ApplicationRecord r = completeSample();
    const QString a = newProjectId();
    const QString b = newProjectId();
    QVERIFY(a != b);
    QVERIFY(QRegularExpression(u"^\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}$"_qs)
                .match(a)
                .hasMatch());
    r.setProjectId(a);
    QString first = documentText(r);
    r.setProjectId(b);
    QString second = documentText(r);
    QVERIFY(first != second);
    QCOMPARE(first.replace(a, b), second);
}

void TestXdxDocument::roundTripOfTheCompleteSample()
{
    ApplicationRecord r = completeSample();
    r.setProjectId(newProjectId());
    const OpenResult back = openXdxBytes(xdxBytes(r, {}));
    QCOMPARE(openStatus(back), Status::Loaded);
    QVERIFY(!back->official);
    // Long texts come back with a final line break; everything else exactly.
    ApplicationRecord expected = r;
    for (const FieldSpec& spec : fieldCatalogue())
        if (spec.kind == FieldKind::LongText)
            expected.setValue(spec.field, longTextFromLines(longTextLines(r.value(spec.field))));
    QCOMPARE(back->record, expected);
    // A paragraph is one stored line however long it is.
    const int paragraphs = int(longTextLines(r.value(Field::ProjectReasoning)).size());
    QCOMPARE(int(longTextLines(back->record.value(Field::ProjectReasoning)).size()), paragraphs);
}

void TestXdxDocument::emptyCellsComeBackEmpty()
{
    // Mended: a stored empty cell reads back empty, not as one blank, and the next save stores
    // the row as before.
    ApplicationRecord r;
    r.table(Field::MainActor).setCell(1, 0, u"甲"_qs);
    r.table(Field::MainActor).setCell(1, 3, u" "_qs);
    const OpenResult once = openXdxBytes(xdxBytes(r, {}));
    const TableGrid& t = once->record.table(Field::MainActor);
    QCOMPARE(t.cell(1, 0), u"甲"_qs);
    QCOMPARE(t.cell(1, 1), QString());
    QCOMPARE(t.cell(1, 3), u" "_qs); // a blank stays a blank
    QCOMPARE(t.cell(15, 6), QString());
    QCOMPARE(once->record.table(Field::FinallyProduction).cell(1, 3), u"研究报告"_qs);
    QVERIFY(documentText(once->record).contains(u"<MainActor2>,,,,,,</MainActor2>"_qs));
    QCOMPARE(openXdxBytes(xdxBytes(once->record, {}))->record, once->record);
}

void TestXdxDocument::blanksSurvive()
{
    // Mended: a value of blanks reads back as written.
    ApplicationRecord r;
    r.setValue(Field::ProjectName, u"   "_qs);
    r.setValue(Field::Presider, u" 张 三 "_qs);
    r.setValue(Field::EduCode, u"12 4567890"_qs);
    r.setValue(Field::OutlayPromises, u"\r\n"_qs);
    const OpenResult back = openXdxBytes(xdxBytes(r, {}));
    QCOMPARE(back->record.value(Field::ProjectName), u"   "_qs);
    QCOMPARE(back->record.value(Field::Presider), u" 张 三 "_qs);
    QCOMPARE(back->record.value(Field::EduCode), u"12 4567890"_qs);
    QCOMPARE(back->record.value(Field::OutlayPromises), u"\r\n"_qs);
}

void TestXdxDocument::reorderedAndIndentedDocumentsReadAlike()
{
    ApplicationRecord r = completeSample();
    r.setProjectId(newProjectId());
    const QString ordered = documentText(r);
    const OpenResult reference = openText(ordered);

    // Split the root's children apart, reverse them, indent them and add unknown elements.
    const qsizetype start = ordered.indexOf(u"<XMLPackage>"_qs) + 12;
    const qsizetype end = ordered.indexOf(u"</XMLPackage>"_qs);
    QStringList children;
    const QString body = ordered.mid(start, end - start);
    for (const XdxElement& e : xdxElements()) {
        const QString name = QString::fromUtf16(e.name);
        const QRegularExpression re(u"<"_qs + name + u">.*?</"_qs + name + u">|<"_qs + name + u"/>"_qs,
                                    QRegularExpression::DotMatchesEverythingOption);
        QString child = re.match(body).captured(0);
        QVERIFY2(!child.isEmpty(), qPrintable(name));
        child.replace(QRegularExpression(u"><("_qs + name + u"\\d+)>"_qs), u">\n    <\\1>"_qs);
        children.prepend(child);
    }
    children.insert(5, u"<Unknown>x</Unknown>"_qs);
    const QString reordered = ordered.left(start) + u"\n  <!-- formatted by hand -->\n  "_qs +
                              children.join(u"\n  "_qs) + u"\n"_qs + ordered.mid(end);
    const OpenResult back = openText(reordered);
    QCOMPARE(openStatus(back), Status::Loaded);
    QCOMPARE(back->record, reference->record);
}

void TestXdxDocument::missingElementsReadEmpty()
{
    const QString text =
        u"<?xml version=\"1.0\" encoding=\"GBK\"?><XMLPackage><ver>QX2011v1.0</ver>"
        u"<FinallyProduction><FinallyProduction2>a,b</FinallyProduction2></FinallyProduction>"
        u"</XMLPackage>"_qs;
    const OpenResult back = openText(text);
    QCOMPARE(openStatus(back), Status::Loaded);
    ApplicationRecord expected = ApplicationRecord::empty();
    expected.table(Field::FinallyProduction).setCell(2, 0, u"a"_qs);
    expected.table(Field::FinallyProduction).setCell(2, 1, u"b"_qs);
    QCOMPARE(back->record, expected);
    QVERIFY(back->record.value(Field::EduCode).isEmpty());                      // not back to "0000000000"
    QVERIFY(back->record.table(Field::FinallyProduction).cell(1, 3).isEmpty()); // no preset
    QVERIFY(back->record.projectId().isEmpty());
}

void TestXdxDocument::leafContent_data()
{
    QTest::addColumn<QString>("element"); // what stands in place of <ProjectName>…</ProjectName>
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QString>("value");
    QTest::newRow("empty element") << u"<ProjectName/>"_qs << true << QString();
    QTest::newRow("empty pair") << u"<ProjectName></ProjectName>"_qs << true << QString();
    QTest::newRow("cdata") << u"<ProjectName><![CDATA[a<b]]></ProjectName>"_qs << true << u"a<b"_qs;
    QTest::newRow("predefined entity")
        << u"<ProjectName>a&amp;b&#x6559;</ProjectName>"_qs << true << u"a&b教"_qs;
    QTest::newRow("comment after text") << u"<ProjectName>a<!--x--></ProjectName>"_qs << false << QString();
    QTest::newRow("comment alone") << u"<ProjectName><!--x--></ProjectName>"_qs << false << QString();
    QTest::newRow("child element") << u"<ProjectName><b>a</b></ProjectName>"_qs << false << QString();
    QTest::newRow("processing instruction")
        << u"<ProjectName><?pi x?></ProjectName>"_qs << false << QString();
    QTest::newRow("text and cdata") << u"<ProjectName>a<![CDATA[b]]></ProjectName>"_qs << false << QString();
    QTest::newRow("prefixed name") << u"<x:ProjectName xmlns:x=\"urn:x\">p</x:ProjectName>"_qs << true
                                   << u"p"_qs;
    QTest::newRow("line break kept") << u"<ProjectName>a\nb</ProjectName>"_qs << true << u"a\nb"_qs;
}

void TestXdxDocument::leafContent()
{
    QFETCH(QString, element);
    QFETCH(bool, loads);
    QFETCH(QString, value);
    const QString text = withElement(documentText(ApplicationRecord()), u"ProjectName"_qs, element);
    const OpenResult back = openText(text);
    if (loads) {
        QCOMPARE(openStatus(back), Status::Loaded);
        QCOMPARE(back->record.value(Field::ProjectName), value);
    } else {
        QCOMPARE(openStatus(back), Status::Unreadable);
        QCOMPARE(back.error().message, u"Element does not contain a single text node"_qs);
    }
}

void TestXdxDocument::formatTag_data()
{
    QTest::addColumn<QString>("ver");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("exact") << u"<ver>QX2011v1.0</ver>"_qs << true;
    QTest::newRow("letter case") << u"<ver>qx2011V1.0</ver>"_qs << false;
    QTest::newRow("blank before") << u"<ver> QX2011v1.0</ver>"_qs << false;
    QTest::newRow("older tag") << u"<ver>QX2010v1.0</ver>"_qs << false;
    QTest::newRow("empty") << u"<ver/>"_qs << false;
    QTest::newRow("missing") << QString() << false;
}

void TestXdxDocument::formatTag()
{
    QFETCH(QString, ver);
    QFETCH(bool, accepted);
    ApplicationRecord r;
    r.setValue(Field::ProjectName, u"x"_qs);
    const OpenResult back = openText(withElement(documentText(r), u"ver"_qs, ver));
    QCOMPARE(openStatus(back), accepted ? Status::Loaded : Status::Rejected);
    if (!accepted)
        QCOMPARE(back.error().message, u"您选择的文档不是用本申报系统生成的"_qs);
}

void TestXdxDocument::officialMark_data()
{
    QTest::addColumn<QString>("passby");
    QTest::addColumn<bool>("official");
    QTest::newRow("1") << u"<PASSBY>1</PASSBY>"_qs << true;
    QTest::newRow("0") << u"<PASSBY>0</PASSBY>"_qs << false;
    QTest::newRow("blank before") << u"<PASSBY> 1</PASSBY>"_qs << false;
    QTest::newRow("blank after") << u"<PASSBY>1 </PASSBY>"_qs << false;
    QTest::newRow("01") << u"<PASSBY>01</PASSBY>"_qs << false;
    QTest::newRow("empty") << u"<PASSBY></PASSBY>"_qs << false;
    QTest::newRow("missing") << QString() << false;
}

void TestXdxDocument::officialMark()
{
    QFETCH(QString, passby);
    QFETCH(bool, official);
    const OpenResult back = openText(withElement(documentText(ApplicationRecord()), u"PASSBY"_qs, passby));
    QCOMPARE(openStatus(back), Status::Loaded);
    QCOMPARE(back->official, official);
}

void TestXdxDocument::rowItems()
{
    QString text = documentText(ApplicationRecord());
    text = withElement(text, u"MainActor1"_qs, leaf(u"MainActor1"_qs, u"1,2,3,4,5,6,7,8"_qs));
    text = withElement(text, u"MainActor2"_qs, leaf(u"MainActor2"_qs, u"a,b"_qs));
    text = withElement(text, u"Production"_qs, QString()); // container missing
    const OpenResult back = openText(text);
    QCOMPARE(openStatus(back), Status::Loaded);
    const TableGrid& t = back->record.table(Field::MainActor);
    QCOMPARE(t.row(1), (QStringList{u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs, u"5"_qs, u"6"_qs, u"7"_qs}));
    QCOMPARE(t.row(2),
             (QStringList{u"a"_qs, u"b"_qs, QString(), QString(), QString(), QString(), QString()}));
    QCOMPARE(back->record.table(Field::Production).row(1), QStringList(5, QString()));
}

void TestXdxDocument::rootWithoutChildren()
{
    for (const QString& text :
         {u"<?xml version=\"1.0\" encoding=\"GBK\"?><XMLPackage/>"_qs,
          u"<?xml version=\"1.0\"?>\n<XMLPackage>\n  \n</XMLPackage>\n"_qs, u"<Other></Other>"_qs}) {
        const OpenResult back = openText(text);
        QCOMPARE(openStatus(back), Status::Hollow);
    }
    // A child of any kind counts: a comment alone means a missing ver.
    QCOMPARE(openStatus(openText(u"<XMLPackage><!--x--></XMLPackage>"_qs)), Status::Rejected);
}

void TestXdxDocument::failureHalfWayGivesNoRecord()
{
    // Mended: an element near the end that fails the open fails it before anything is taken.
    ApplicationRecord r = completeSample();
    QString text = documentText(r);
    text = withElement(text, u"Nation"_qs, u"<Nation>汉<!--x-->族</Nation>"_qs);
    const OpenResult back = openText(text);
    QCOMPARE(openStatus(back), Status::Unreadable);
    QCOMPARE(back.error().message, u"Element does not contain a single text node"_qs); // and no record
    // A row element that holds an element fails too.
    text = withElement(documentText(r), u"FinallyProduction3"_qs,
                       u"<FinallyProduction3><x/></FinallyProduction3>"_qs);
    QCOMPARE(openStatus(openText(text)), Status::Unreadable);
}

void TestXdxDocument::parseFailureMessage()
{
    const QString text =
        u"<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<XMLPackage>\r\n"
        u"<ProjectName>这是一个很长的课题名称用来检查只取前四十个字符的规则是否正确执行了</Presider>\r\n"
        u"</XMLPackage>\r\n"_qs;
    const OpenResult back = openText(text);
    QCOMPARE(openStatus(back), Status::Unreadable);
    const QStringList lines = back.error().message.split(u"\r\n"_qs);
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines[0].contains(u"mismatch"_qs), qPrintable(lines[0]));
    QCOMPARE(lines[1], u"Line: 3"_qs);
    QCOMPARE(lines[2], u"<ProjectName>这是一个很长的课题名称用来检查只取前四十个字符的规则是"_qs);
    QCOMPARE(lines[2].size(), 40);

    // Control characters of the line are shown, not sent to a terminal.
    const QByteArray hostile = "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<XMLPackage>\n"
                               "<ProjectName>\x1b[2J\x07\rX</Presider>\n</XMLPackage>\n";
    const QStringList shown = openXdxBytes(hostile).error().message.split(u"\r\n"_qs);
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown[2], u"<ProjectName>\u241b[2J\u2407\u240dX</Presider>"_qs);
}

void TestXdxDocument::brokenFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("line");
    QTest::newRow("empty file") << QByteArray() << u"Line: 1"_qs;
    QTest::newRow("not xml") << QByteArray("hello") << u"Line: 1"_qs;
    QTest::newRow("truncated") << xdxBytes(ApplicationRecord(), {}).left(300) << u"Line: 2"_qs;
    QTest::newRow("unknown encoding")
        << QByteArray("<?xml version=\"1.0\" encoding=\"NOPE-1\"?><a/>") << u"Line: 1"_qs;
    QTest::newRow("bad gbk bytes") << QByteArray("<?xml version=\"1.0\" encoding=\"GBK\"?>\n<a>\x81</a>")
                                   << u"Line: 2"_qs;
    // Gzip input is not decompressed: it is simply not XML.
    QTest::newRow("gzip") << QByteArray::fromHex("1f8b0800000000000003b3492c56d04f2c0600c6bd0cf307000000")
                          << u"Line: 1"_qs;
}

void TestXdxDocument::brokenFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, line);
    const OpenResult back = openXdxBytes(bytes);
    QCOMPARE(openStatus(back), Status::Unreadable);
    const QStringList lines = back.error().message.split(u"\r\n"_qs);
    QCOMPARE(lines.size(), 3);
    QVERIFY(!lines[0].isEmpty());
    QCOMPARE(lines[1], line);
}

void TestXdxDocument::hostileDocuments_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("status");
    const QByteArray head = "<?xml version=\"1.0\"?>";
    QTest::newRow("external entity")
        << head + "<!DOCTYPE XMLPackage [<!ENTITY e SYSTEM \"file:///etc/passwd\">]>"
                  "<XMLPackage><ver>QX2011v1.0</ver><ProjectName>&e;</ProjectName></XMLPackage>"
        << int(Status::Unreadable);
    // Internal entities stand for their text, as a parser that substitutes them reads them.
    QTest::newRow("internal entities are substituted")
        << head + "<!DOCTYPE XMLPackage [<!ENTITY n \"ab\"><!ENTITY m \"&n;&amp;&n;\">]>"
                  "<XMLPackage><ver>QX2011v1.0</ver><ProjectName>x&n;y&m;</ProjectName></XMLPackage>"
        << int(Status::Loaded);
    QTest::newRow("external dtd is not loaded")
        << head + "<!DOCTYPE XMLPackage SYSTEM \"http://example.org/x.dtd\">"
                  "<XMLPackage><ver>QX2011v1.0</ver></XMLPackage>"
        << int(Status::Loaded);
    QByteArray laughs = head + "<!DOCTYPE XMLPackage [<!ENTITY a0 \"lol\">";
    for (int i = 1; i < 12; ++i)
        laughs += "<!ENTITY a" + QByteArray::number(i) + " \"" +
                  QByteArray("&a").append(QByteArray::number(i - 1)).append(';').repeated(10) + "\">";
    laughs += "]><XMLPackage><ver>QX2011v1.0</ver><ProjectName>&a11;</ProjectName></XMLPackage>";
    QTest::newRow("billion laughs") << laughs << int(Status::Unreadable);
    QTest::newRow("deep nesting") << head + QByteArray("<a>").repeated(100000) << int(Status::Unreadable);
    // libxml2 checks duplicate attributes in quadratic time: 50,000 in one tag took seconds.
    QByteArray attributes;
    for (int i = 0; i < 50000; ++i)
        attributes += " a" + QByteArray::number(i) + "=\"\"";
    QTest::newRow("attribute flood") << head + "<XMLPackage" + attributes +
                                            "><ver>QX2011v1.0</ver></XMLPackage>"
                                     << int(Status::Unreadable);
    QTest::newRow("a million elements")
        << head + "<XMLPackage><ver>QX2011v1.0</ver>" + QByteArray("<x/>").repeated(1000000) + "</XMLPackage>"
        << int(Status::Unreadable);
    // What looks like attributes inside values, comments and CDATA is no attribute.
    const QByteArray manyEquals = QByteArray("a=\"1\" ").repeated(100);
    QTest::newRow("equals signs in text, comments and CDATA")
        << head + "<XMLPackage><!-- <x " + manyEquals + "> --><ver>QX2011v1.0</ver><ProjectName>&lt;x " +
               manyEquals + "&gt;</ProjectName><KeyWord><![CDATA[<x " + manyEquals + ">]]></KeyWord><?pi " +
               manyEquals + "?></XMLPackage>"
        << int(Status::Loaded);
}

void TestXdxDocument::hostileDocuments()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, status);
    const OpenResult back = openXdxBytes(bytes);
    QCOMPARE(int(openStatus(back)), status);
    if (back)
        QVERIFY(!back->record.value(Field::ProjectName).contains(u"root:"_qs));
    if (QByteArray(QTest::currentDataTag()).contains("substituted"))
        QCOMPARE(back->record.value(Field::ProjectName), u"xabyab&ab"_qs);
}

// The reader works from the parser's events; what it keeps must be what the engine's own tree
// holds, node for node, text for text, failure for failure.
void TestXdxDocument::eventsReadAsTheTree_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const auto doc = [](const QString& body) {
        return "<?xml version=\"1.0\" encoding=\"GBK\"?>\n<XMLPackage>" + gbkBytes(body) + "</XMLPackage>";
    };
    const QString many = u"题"_qs.repeated(700); // past the parser's chunks of 300 bytes
    QTest::newRow("complete sample") << readAll(sourcePath(u"samples/complete.xdx"_qs));
    QTest::newRow("adjacent cdata") << doc(u"<A><![CDATA[x]]><![CDATA[y]]></A><B>t<![CDATA[c]]>u</B>"_qs);
    QTest::newRow("long text and cdata")
        << doc(u"<A>"_qs + many + u"</A><B><![CDATA["_qs + many + u"]]></B>"_qs);
    QTest::newRow("references inside text") << doc(u"<A>a&amp;b&#x41;&#39064;c&lt;</A>"_qs);
    QTest::newRow("comment and pi between texts") << doc(u"<A>a<!--c-->b<?p x?>c</A><B><!--c--></B>"_qs);
    QTest::newRow("blanks around cdata") << doc(u"<A> <![CDATA[ x ]]>\n</A><B> </B><C/><D></D>"_qs);
    QTest::newRow("rows and deeper") << doc(
        u"<T><T1>a,b</T1><T2> <x><y><z>deep</z></y>tail</x> </T2></T>x"_qs);
    QTest::newRow("prefixes") << doc(
        u"<p:A xmlns:p=\"urn:p\">v</p:A><T xmlns:q=\"urn:q\"><q:T1>r</q:T1></T>"_qs);
    QTest::newRow("colon before a digit") << doc(u"<a:8b>x</a:8b><T><p:1>y</p:1></T>"_qs);
    QTest::newRow("byte-order marks") << doc(u"<A>\uFEFF\uFEFFx</A>"_qs);
    QTest::newRow("mismatched tag") << doc(u"<A>x</B>"_qs);
    QTest::newRow("bad gbk") << QByteArray("<?xml version=\"1.0\" encoding=\"GBK\"?>\n<a>\x81</a>");
    QTest::newRow("truncated") << doc(u"<A>x</A>"_qs).chopped(5);
    QTest::newRow("many elements") << doc(u"<x/>"_qs.repeated(100'001));
}

void TestXdxDocument::eventsReadAsTheTree()
{
    QFETCH(QByteArray, bytes);
    const auto shape = [](const auto& self, const xml::Outline::Node& n) -> QString {
        switch (n.kind()) {
        case xml::NodeKind::Element: {
            QString s = u"<"_qs + QString::fromStdString(std::string(n.name())) + u">"_qs;
            for (xml::Outline::Node c = n.firstChild(); !c.isNull(); c = c.nextSibling())
                s += self(self, c);
            return s + u"</>"_qs;
        }
        case xml::NodeKind::Text:
            return u"T["_qs + n.value() + u"]"_qs;
        case xml::NodeKind::CData:
            return u"C["_qs + n.value() + u"]"_qs;
        default:
            return u"O"_qs;
        }
    };
    xml::ParseError fromEvents, fromTree;
    const auto events = xml::Outline::read(bytes, &fromEvents);
    const auto tree = xml::Outline::readThroughTree(bytes, &fromTree);
    QCOMPARE(events.has_value(), tree.has_value());
    if (events)
        QCOMPARE(shape(shape, events->root()), shape(shape, tree->root()));
    else
        QCOMPARE(fromEvents.message(), fromTree.message());
}

void TestXdxDocument::saveIsAtomic()
{
#ifndef Q_OS_UNIX
    QSKIP("Windows has no per-process file size limit to make a write fail half-way");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(u"a.xdx"_qs);
    ApplicationRecord r = completeSample();
    r.setProjectId(newProjectId());
    QVERIFY(saveXdxFile(path, r, {}).has_value());
    const QByteArray before = readAll(path);
    QCOMPARE(openXdxFile(path)->record.value(Field::ProjectName), r.value(Field::ProjectName));

    // A disk that fills up half-way through the write: the file-size limit makes every write
    // beyond 4 KiB fail, for root too. The old file must stay as it was, and nothing else is left.
    ApplicationRecord changed = r;
    changed.setValue(Field::ProjectName, u"另一个课题"_qs);
    WriteResult failed;
    {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        failed = saveXdxFile(path, changed, {});
        setrlimit(RLIMIT_FSIZE, &old);
    }
    QVERIFY(!failed.has_value());
    QVERIFY2(failed.error().contains(u"a.xdx"_qs), qPrintable(failed.error()));
    // The system's own reason (here the size limit's), not "Unknown error".
    QVERIFY2(failed.error().contains(QString::fromLocal8Bit(std::strerror(EFBIG))),
             qPrintable(failed.error()));
    QCOMPARE(readAll(path), before);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"a.xdx"_qs});

    // Without the limit the same save replaces the file.
    QVERIFY(saveXdxFile(path, changed, {}).has_value());
    QCOMPARE(openXdxFile(path)->record.value(Field::ProjectName), u"另一个课题"_qs);
#endif
}

void TestXdxDocument::saveReportsUnwritableTargets()
{
    QTemporaryDir dir;
    ApplicationRecord r;
    const WriteResult noDir = saveXdxFile(dir.filePath(u"missing/x.xdx"_qs), r, {});
    QVERIFY(!noDir.has_value());
    QVERIFY(noDir.error().contains(u"x.xdx"_qs));
    const WriteResult isDir = saveXdxFile(dir.path(), r, {});
    QVERIFY(!isDir.has_value());
#ifdef Q_OS_UNIX
    // A named pipe (or a device: /dev/null as root) is refused, and stays what it was.
    const QString pipe = dir.filePath(u"pipe.xdx"_qs);
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    r.setValue(Field::ProjectName, u"课题"_qs);
    r.setValue(Field::Presider, u"主持人"_qs);
    const WriteResult toPipe = saveXdxFile(pipe, r, {});
    QVERIFY(!toPipe.has_value());
    QVERIFY2(toPipe.error().contains(u"命名管道"_qs), qPrintable(toPipe.error()));
    QVERIFY(QFileInfo(pipe).exists() && !QFileInfo(pipe).isFile());
#endif

    // The writer reports a device that takes only part of the document.
    FullDevice full;
    full.open(QIODevice::WriteOnly);
    QVERIFY(!writeXdx(&full, r, {}).has_value());
}

void TestXdxDocument::saveFollowsLinksAndKeepsPermissions()
{
#ifndef Q_OS_UNIX
    QSKIP("symbolic links and POSIX permissions are not what Windows users have");
#else
    QTemporaryDir dir;
    const QString target = dir.filePath(u"real.xdx"_qs);
    const QString link = dir.filePath(u"link.xdx"_qs);
    ApplicationRecord r = completeSample();
    QVERIFY(saveXdxFile(target, r, {}).has_value());
    QVERIFY(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner));
    QVERIFY(QFile::link(target, link));
    r.setValue(Field::ProjectName, u"经由链接"_qs);
    QVERIFY(saveXdxFile(link, r, {}).has_value());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(openXdxFile(target)->record.value(Field::ProjectName), u"经由链接"_qs);
    QCOMPARE(QFile::permissions(target) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             (QStringList{u"link.xdx"_qs, u"real.xdx"_qs}));
    // Root replacing another user's file (the office marking a teacher's application): it stays
    // theirs.
    if (::geteuid() == 0) {
        QCOMPARE(::chown(QFile::encodeName(target).constData(), 65534, 65534), 0);
        QVERIFY(saveXdxFile(target, r, {}).has_value());
        struct stat st = {};
        QCOMPARE(::stat(QFile::encodeName(target).constData(), &st), 0);
        QCOMPARE(int(st.st_uid), 65534);
        QCOMPARE(int(st.st_gid), 65534);
    }
#endif
}

// What a save (and every other replace) must leave as it was, with the reason.
void TestXdxDocument::saveRefusesWhatItMayNotReplace_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("reason");
    QTest::newRow("read-only") << u"read-only"_qs << u"只读"_qs;
#ifdef Q_OS_UNIX
    QTest::newRow("a second hard link") << u"hard link"_qs << u"2 个硬链接"_qs;
    QTest::newRow("a link another user planted in a shared folder") << u"planted"_qs << u"符号链接"_qs;
#endif
}

void TestXdxDocument::saveRefusesWhatItMayNotReplace()
{
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString file = dir.filePath(u"a.xdx"_qs);
    ApplicationRecord r = completeSample();
    QVERIFY(saveXdxFile(file, r, {}).has_value());
    const QByteArray before = readAll(file);
    QString target = file;
    if (setup == u"read-only") {
        // Nobody may write it: refused for root too, who could write it all the same.
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }
#ifdef Q_OS_UNIX
    if (setup == u"hard link")
        QCOMPARE(::link(QFile::encodeName(file).constData(),
                        QFile::encodeName(dir.filePath(u"b.xdx"_qs)).constData()),
                 0);
    if (setup == u"planted") {
        if (::geteuid() != 0)
            QSKIP("planting a link of another user needs root");
        const QString shared = dir.filePath(u"shared"_qs);
        QVERIFY(QDir().mkdir(shared));
        QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
        target = shared + u"/x.xdx"_qs;
        QVERIFY(QFile::link(file, target));
        QCOMPARE(::lchown(QFile::encodeName(target).constData(), 65534, 65534), 0);
    }
#endif
    r.setValue(Field::ProjectName, u"替换"_qs);
    const WriteResult w = saveXdxFile(target, r, {});
    QVERIFY(!w.has_value());
    QVERIFY2(w.error().contains(reason), qPrintable(w.error()));
    QCOMPARE(readAll(file), before);
}

// Names are the system's bytes: a GBK name from an archive of a Chinese Windows machine is read,
// written and listed as the same file, and shown readably.
void TestXdxDocument::namesOfAnyBytes()
{
#ifndef Q_OS_UNIX
    QSKIP("Windows names are UTF-16");
#else
    QTemporaryDir dir;
    const QByteArray gbkName = QFile::encodeName(dir.path()) + "/\xC9\xEA\xC7\xEB.xdx"; // 申请 in GBK
    const QByteArray strayName = QFile::encodeName(dir.path()) + "/a\xFF.xdx";
    for (const QByteArray& name : {gbkName, strayName}) {
        const QString path = pathFromSystem(name);
        QCOMPARE(pathToSystem(path), name);
        QVERIFY(hasUndecodedBytes(path));
        QVERIFY(saveXdxFile(path, completeSample(), {}).has_value());
        QCOMPARE(int(openStatus(openXdxFile(path))), int(Status::Loaded));
    }
    QVERIFY(readableFileName(gbkName).endsWith(u"/申请.xdx"_qs));
    QVERIFY(readableFileName(strayName).endsWith(u"/a\\xff.xdx"_qs));
    const FileResult<std::vector<FolderEntry>> listing = listFolder(dir.path());
    QVERIFY(listing.has_value());
    QStringList names;
    for (const FolderEntry& e : *listing)
        names.append(e.name);
    names.sort();
    QCOMPARE(names, (QStringList{pathFromSystem("a\xFF.xdx"), pathFromSystem("\xC9\xEA\xC7\xEB.xdx")}));
    // UTF-8 stays as it is, lone bytes and all.
    QCOMPARE(pathFromSystem("\xE7\x94\xB3\xE8\xAF\xB7"), u"申请"_qs);
    QCOMPARE(pathToSystem(u"申请"_qs), QByteArray("\xE7\x94\xB3\xE8\xAF\xB7"));
    for (const QByteArray& name : {gbkName, strayName}) // QDir, which would remove them, cannot name them
        ::unlink(name.constData());
#endif
}

// A named pipe in the inbox must not block the open, and a link loop is no missing file.
void TestXdxDocument::openRefusesWhatIsNoFile()
{
#ifndef Q_OS_UNIX
    QSKIP("Windows has no named pipes or link loops among files");
#else
    QTemporaryDir dir;
    const QString fifo = dir.filePath(u"pipe.xdx"_qs);
    QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const OpenResult fromFifo = openXdxFile(fifo);
    QCOMPARE(int(openStatus(fromFifo)), int(OpenStatus::Unreadable));
    QVERIFY2(fromFifo.error().message.contains(u"命名管道"_qs), qPrintable(fromFifo.error().message));

    const QString loop = dir.filePath(u"loop.xdx"_qs);
    QVERIFY(QFile::link(loop, loop));
    const OpenResult fromLoop = openXdxFile(loop);
    QCOMPARE(int(openStatus(fromLoop)), int(OpenStatus::Unreadable));
    QVERIFY2(fromLoop.error().message.contains(QString::fromLocal8Bit(std::strerror(ELOOP))),
             qPrintable(fromLoop.error().message));
#endif
}

QTEST_MAIN(TestXdxDocument)
#include "test_xdxdocument.moc"
