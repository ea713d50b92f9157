// xdxtool review from the roster to the decision printed, as the office runs it: a generated
// round assigned, score sheets returned as other programs save them (tampered with too),
// collected, ranked, voted on and printed.
#include "../common/clirun.h"
#include "bench/roundgen.h"
#include "office/review.h"
#include "office/reviewbooks.h"
#include "xdx/xdxfile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <poppler-qt6.h>

#include <map>
#include <set>

using namespace shenbao;
using namespace shenbao::test;
using namespace Qt::StringLiterals;

namespace {

QString pageText(const Poppler::Document& doc, int page)
{
    return doc.page(page)->text(QRectF()).remove(u' ').remove(u'\n');
}

// As the rules say it, folded by hand: widths, letter case and blanks alike.
QString plain(const QString& s)
{
    QString out;
    for (const QChar c : s.normalized(QString::NormalizationForm_KC).toLower())
        if (!c.isSpace())
            out += c;
    return out;
}

} // namespace

class TestReview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void assignsEveryApplicationWithoutConflicts();
    void sameInputsSameRound();
    void lettersShowCodesOnly();
    void infeasibleWritesNothing();
    void tamperedSheetsAddNothing_data();
    void tamperedSheetsAddNothing();
    void collectRankVotePrint();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QStringList scoreRows(int expert, const std::function<double(int, int)>& points) const;
    QString writeSheet(const QString& name, const QStringList& rows) const;

    QTemporaryDir m_dir;
    bench::Round m_round;
    std::vector<bench::RosterEntry> m_roster;
    office::ReviewRound m_assigned;
};

void TestReview::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_round = bench::makeRound(40, 11);
    m_roster = bench::makeRoster(m_round, 14, 5, 12);
    QVERIFY(QDir().mkpath(path(u"inbox"_s)));
    for (std::size_t i = 0; i < m_round.applications.size(); ++i)
        writeAll(path(u"inbox/%1.xdx"_s.arg(i, 3, 10, QChar(u'0'))), xdxBytes(m_round.applications[i], {}));
    QString roster = u"姓名,单位,所在市(州),学科分类,最多评审数,回避单位\n"_s;
    for (const bench::RosterEntry& x : m_roster)
        roster +=
            QStringList{x.name, x.unit, x.city, x.subjects, QString::number(x.maxLoad), x.avoid}.join(u',') +
            u'\n';
    writeAll(path(u"roster.csv"_s), roster.toUtf8());
    const Run r = xdxtool({u"review"_s, u"assign"_s, u"--experts"_s, path(u"roster.csv"_s), u"-o"_s,
                           path(u"round"_s), u"-j"_s, u"2"_s, path(u"inbox"_s)});
    QVERIFY2(r.status <= 1, qPrintable(r.err)); // 1: the incomplete ones are left out
    const auto round = office::readRound(path(u"round"_s));
    QVERIFY2(round, qPrintable(round ? QString() : round.error()));
    m_assigned = *round;
}

// Every complete application has its five experts, none with a conflict by the rules as written
// (checked here pair by pair on the applications themselves), none above the load.
void TestReview::assignsEveryApplicationWithoutConflicts()
{
    std::map<QString, const ApplicationRecord*> byCode;
    int complete = 0;
    for (const ApplicationRecord& a : m_round.applications) {
        byCode[office::applicationCode(a)] = &a;
        complete += std::find(m_round.incomplete.begin(), m_round.incomplete.end(),
                              int(&a - &m_round.applications[0])) == m_round.incomplete.end() &&
                    std::find(m_round.broken.begin(), m_round.broken.end(),
                              int(&a - &m_round.applications[0])) == m_round.broken.end();
    }
    QVERIFY(int(m_assigned.applications.size()) >= complete - 2); // the same application twice counts once
    std::vector<int> load(m_roster.size(), 0);
    int conflictsAvoided = 0;
    for (std::size_t a = 0; a < m_assigned.applications.size(); ++a) {
        const ApplicationRecord& app = *byCode.at(m_assigned.applications[a].code);
        QSet<QString> units{plain(app.value(Field::Department))}, names{plain(app.value(Field::Presider))};
        for (int r = 1; r <= app.table(Field::MainActor).rows(); ++r) {
            units.insert(plain(app.table(Field::MainActor).cell(r, 6)));
            names.insert(plain(app.table(Field::MainActor).cell(r, 0)));
        }
        const QString signed_ = plain(app.value(Field::tuijian1) + app.value(Field::tuijian2));
        QCOMPARE(int(m_assigned.assigned[a].size()), 5);
        for (std::size_t e = 0; e < m_roster.size(); ++e) {
            const bench::RosterEntry& x = m_roster[e];
            const bool conflict = units.contains(plain(x.unit)) ||
                                  (!x.avoid.isEmpty() && units.contains(plain(x.avoid))) ||
                                  names.contains(plain(x.name)) || signed_.contains(plain(x.name));
            const bool given =
                std::count(m_assigned.assigned[a].begin(), m_assigned.assigned[a].end(), int(e));
            QVERIFY2(!(conflict && given), qPrintable(m_assigned.applications[a].code + u' ' + x.name));
            conflictsAvoided += conflict;
            load[e] += given;
        }
    }
    QVERIFY(conflictsAvoided > 0); // the round has conflicts to avoid
    for (std::size_t e = 0; e < m_roster.size(); ++e)
        QVERIFY(load[e] <= m_roster[e].maxLoad);
}

// The same inputs give the same round, byte for byte, whatever the order of the files.
void TestReview::sameInputsSameRound()
{
    QStringList files = QDir(path(u"inbox"_s)).entryList(QDir::Files, QDir::Name | QDir::Reversed);
    for (QString& f : files)
        f = path(u"inbox/"_s) + f;
    const Run r = xdxtool(QStringList{u"review"_s, u"assign"_s, u"--experts"_s, path(u"roster.csv"_s),
                                      u"-o"_s, path(u"again"_s), u"-j"_s, u"1"_s} +
                          files);
    QVERIFY2(r.status <= 1, qPrintable(r.err));
    QCOMPARE(readAll(path(u"again/评审轮次.json"_s)), readAll(path(u"round/评审轮次.json"_s)));
}

// An expert's letters: the loose leaves of the expert's applications in code order, each
// headed by its code; nothing of the file's name or the leader.
void TestReview::lettersShowCodesOnly()
{
    const int expert = 0;
    const auto doc =
        Poppler::Document::load(path(u"round/"_s) + m_assigned.expertFolder(expert) + u"/活页.pdf"_s);
    QVERIFY(doc);
    QStringList codes;
    for (const int a : m_assigned.applicationsOf(expert))
        codes.append(m_assigned.applications[std::size_t(a)].code);
    QVERIFY(doc->numPages() >= 2 * codes.size());
    qsizetype next = 0;
    for (int p = 0; p < doc->numPages(); ++p) {
        const QString text = pageText(*doc, p);
        QVERIFY2(text.contains(u"评审编号："_s), qPrintable(QString::number(p)));
        if (next < codes.size() && text.contains(codes[next]))
            ++next;
        QVERIFY(!text.contains(u".xdx"_s));
    }
    QCOMPARE(next, codes.size()); // every code, in order
}

// A round that cannot give every application its experts says which and why, and writes
// nothing.
void TestReview::infeasibleWritesNothing()
{
    writeAll(
        path(u"few.csv"_s),
        "姓名,单位,所在市（州）,学科分类,最多评审数\n王甲,甲校,澄州市,德育,99\n李乙,乙校,澄州市,德育,99\n");
    const Run r = xdxtool({u"review"_s, u"assign"_s, u"--experts"_s, path(u"few.csv"_s), u"-k"_s, u"3"_s,
                           u"-o"_s, path(u"none"_s), path(u"inbox"_s)});
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(u"没有利益冲突的专家只有 2 位"_s), qPrintable(r.err));
    QVERIFY(r.err.contains(m_assigned.applications.front().code));
    QVERIFY(!QFileInfo::exists(path(u"none"_s)));
}

// The rows of a score sheet of the expert as a spreadsheet program saves it as CSV: the heading
// rows, then the expert's codes with points(row, criterion).
QStringList TestReview::scoreRows(int expert, const std::function<double(int, int)>& points) const
{
    const office::Expert& x = m_assigned.experts[std::size_t(expert)];
    QStringList rows{u"澄岚省教育科学规划课题活页评审评分表"_s, u"评审专家,"_s + x.name + u',' + x.unit,
                     u"评审轮次,"_s + m_assigned.id, u"说明"_s,
                     office::scoreSheetHeadings(m_assigned).join(u',')};
    int n = 0;
    for (const int a : m_assigned.applicationsOf(expert)) {
        const office::ReviewApplication& app = m_assigned.applications[std::size_t(a)];
        QStringList cells{app.code, app.title, app.subject};
        double total = 0;
        for (int c = 0; c < 4; ++c) {
            cells.append(QString::number(points(n, c)));
            total += points(n, c);
        }
        cells << QString::number(total) << u"可以"_s;
        rows.append(cells.join(u','));
        ++n;
    }
    return rows;
}

QString TestReview::writeSheet(const QString& name, const QStringList& rows) const
{
    writeAll(path(name), rows.join(u'\n').toUtf8());
    return path(name);
}

void TestReview::tamperedSheetsAddNothing_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a code added") << 0 << u"没有分给这位专家"_s;
    QTest::newRow("a code removed") << 1 << u"缺少编号"_s;
    QTest::newRow("a code twice") << 2 << u"已在第 6 行出现过"_s;
    QTest::newRow("a code swapped with another expert's") << 3 << u"没有分给这位专家"_s;
    QTest::newRow("a score out of range") << 4 << u"不在 0 到 20 之间"_s;
    QTest::newRow("a score that is no number") << 5 << u"不是数"_s;
    QTest::newRow("the total changed") << 6 << u"不等于各项之和"_s;
    QTest::newRow("a title changed") << 7 << u"课题名称被改动"_s;
    QTest::newRow("a sheet of another round") << 8 << u"不是本轮的评分表"_s;
}

// Each way a returned sheet can be wrong is reported with its reason, and the sheet adds
// nothing: what was collected before stays as it was.
void TestReview::tamperedSheetsAddNothing()
{
    QFETCH(int, change);
    QFETCH(QString, reason);
    QStringList rows = scoreRows(1, [](int, int c) { return c % 2 ? 24 : 15; });
    // A row of another expert's sheet, of an application expert 1 does not have.
    const std::vector<int> mine = m_assigned.applicationsOf(1);
    QString otherRow;
    for (int e = 2; e < int(m_assigned.experts.size()) && otherRow.isEmpty(); ++e)
        for (const QString& row : scoreRows(e, [](int, int) { return 10; }).mid(5))
            if (std::none_of(mine.begin(), mine.end(), [&](int a) {
                    return row.startsWith(m_assigned.applications[std::size_t(a)].code + u',');
                }))
                otherRow = row;
    QVERIFY(!otherRow.isEmpty());
    const QString otherCode = otherRow.section(u',', 0, 0);
    switch (change) {
    case 0:
        rows.append(otherRow);
        break;
    case 1:
        rows.removeLast();
        break;
    case 2:
        rows.append(rows[5]);
        break;
    case 3:
        rows[5] = otherCode + rows[5].mid(rows[5].indexOf(u','));
        break;
    case 4:
        rows[5].replace(u",15,"_s, u",21,"_s);
        break;
    case 5:
        rows[5].replace(u",15,"_s, u",十五,"_s);
        break;
    case 6:
        rows[6].replace(u",78,"_s, u",80,"_s);
        break;
    case 7:
        rows[5].replace(rows[5].section(u',', 1, 1), u"另一个题目"_s);
        break;
    case 8:
        rows[2] = u"评审轮次,ABCDEFGH"_s;
        break;
    }
    if (!QFileInfo::exists(path(u"round/评分数据.json"_s))) // something collected before
        QCOMPARE(xdxtool({u"review"_s, u"collect"_s, path(u"round"_s),
                          writeSheet(u"good-0.csv"_s, scoreRows(0, [](int, int) { return 10; }))})
                     .status,
                 1);
    const QByteArray before = readAll(path(u"round/评分数据.json"_s));
    const Run r = xdxtool({u"review"_s, u"collect"_s, path(u"round"_s), writeSheet(u"tampered.csv"_s, rows)});
    QCOMPARE(r.status, 2);
    QVERIFY2(r.err.contains(reason), qPrintable(r.err));
    QVERIFY(r.err.contains(u"这份评分表没有收入"_s));
    QCOMPARE(readAll(path(u"round/评分数据.json"_s)), before);
}

// Every sheet back (one as XLSX saved by another program), ranked, voted on and printed on the
// form's own pages 12 and 13.
void TestReview::collectRankVotePrint()
{
    QStringList sheets;
    for (int e = 0; e < int(m_assigned.experts.size()); ++e)
        if (!m_assigned.applicationsOf(e).empty())
            sheets.append(writeSheet(u"back-%1.csv"_s.arg(e), scoreRows(e, [e](int n, int c) {
                                         return (c % 2 ? 20 : 12) + (n + e) % 7;
                                     })));
    // (Expert 0's first sheet came in before: this one replaces it.)
    Run r = xdxtool(QStringList{u"review"_s, u"collect"_s, u"--replace"_s, path(u"round"_s)} + sheets);
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY(r.err.contains(u"所有专家都已交回"_s));
    // Returned again: only with --replace.
    r = xdxtool({u"review"_s, u"collect"_s, path(u"round"_s), sheets.first()});
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains(u"--replace"_s));
    r = xdxtool({u"review"_s, u"collect"_s, u"--replace"_s, path(u"round"_s), sheets.first()});
    QCOMPARE(r.status, 0);

    // The expert's own workbook filled and saved by openpyxl: its total a formula without a value.
    if (pythonReadsWorkbooks()) {
        const QString sheet = path(u"round/"_s) + m_assigned.expertFolder(0) + u"/评分表.xlsx"_s;
        QVERIFY(python(u"import openpyxl, sys\n"
                       "wb = openpyxl.load_workbook(sys.argv[1]); ws = wb.active\n"
                       "for row in range(6, ws.max_row + 1):\n"
                       "    for c in range(4, 8): ws.cell(row, c).value = 10\n"
                       "wb.save(sys.argv[2])\n"_s,
                       {sheet, path(u"filled.xlsx"_s)}));
        r = xdxtool({u"review"_s, u"collect"_s, u"--replace"_s, path(u"round"_s), path(u"filled.xlsx"_s)});
        QVERIFY2(r.status == 0, qPrintable(r.err));
    }

    r = xdxtool({u"review"_s, u"rank"_s, path(u"round"_s), u"--quota"_s, u"省级一般课题=2"_s});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    QVERIFY(QFileInfo(path(u"round/排名.xlsx"_s)).size() > 0);
    QCOMPARE(xdxtool({u"review"_s, u"rank"_s, path(u"round"_s), u"--quota"_s, u"没有的类别=2"_s}).status, 2);

    // The group votes on the first application: approved, with its funds over two years.
    const office::ReviewApplication& first = m_assigned.applications.front();
    writeAll(path(u"votes.csv"_s),
             (office::votesHeadings().join(u',') + u'\n' + first.code + u',' + first.title +
              u",15,13,11,1,1,选题有意义，建议立项。,,是,省级一般课题,3,2,2027:2；2028:1\n"_s)
                 .toUtf8());
    r = xdxtool({u"review"_s, u"group"_s, path(u"round"_s), u"--votes"_s, path(u"votes.csv"_s)});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const QString file = path(u"inbox/"_s) + QFileInfo(first.file).fileName();
    r = xdxtool({u"pdf"_s, u"--review"_s, path(u"round"_s), file, u"-o"_s, path(u"decision.pdf"_s)});
    QVERIFY2(r.status == 0, qPrintable(r.err));
    const auto doc = Poppler::Document::load(path(u"decision.pdf"_s));
    QVERIFY(doc);
    QCOMPARE(doc->numPages(), 2);
    const QString page12 = pageText(*doc, 0), page13 = pageText(*doc, 1);
    QVERIFY2(page12.contains(u"评审组人数15实到人数13表决结果通过"_s), qPrintable(page12));
    QVERIFY(page12.contains(u"选题有意义"_s));
    QVERIFY(page13.contains(u"同意立项"_s) && page13.contains(u"2027"_s) &&
            page13.contains(u"省级一般课题"_s));
    // The applicant's own print leaves those pages blank.
    r = xdxtool({u"pdf"_s, file, u"-o"_s, path(u"own.pdf"_s)});
    const auto own = Poppler::Document::load(path(u"own.pdf"_s));
    for (int p = 0; p < own->numPages(); ++p)
        QVERIFY(!pageText(*own, p).contains(u"同意立项"_s) && !pageText(*own, p).contains(u"选题有意义"_s));
    // A file the group has not voted on is reported; the others are printed.
    r = xdxtool({u"pdf"_s, u"--review"_s, path(u"round"_s), path(u"inbox"_s), u"-j"_s, u"2"_s, u"-o"_s,
                 path(u"all.pdf"_s)});
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains(u"评审组还没有对编号"_s));
}

QTEST_MAIN(TestReview)
#include "test_review.moc"
