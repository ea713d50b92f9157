// The review round's parts: who may review what, the assignment's optimality, the roster.
#include "../common/fixtures.h"
#include "office/review.h"
#include "office/reviewassign.h"
#include "office/reviewbooks.h"
#include "office/reviewconflicts.h"
#include "office/reviewgroup.h"
#include "office/reviewrank.h"
#include "office/reviewroster.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace shenbao;
using namespace shenbao::office;
using namespace Qt::StringLiterals;

class TestReview : public QObject
{
    Q_OBJECT

private slots:
    void assignmentIsOptimal_data();
    void assignmentIsOptimal();
    void pricingReachesTheFullOptimum();
    void ranking();
    void votes_data();
    void votes();
    void conflicts_data();
    void conflicts();
    void rosterProblems_data();
    void rosterProblems();

private:
    QTemporaryDir m_dir;
};

namespace {

// Every way to give each application at most K of the experts it may have, within the loads:
// the least cost, as the flow counts it.
qint64 bruteForce(const AssignmentProblem& p)
{
    const int applications = int(p.subject.size()), experts = int(p.expertSubjects.size());
    std::vector<std::vector<std::vector<int>>> choices(static_cast<std::size_t>(applications));
    for (int a = 0; a < applications; ++a)
        for (int mask = 0; mask < (1 << experts); ++mask) {
            std::vector<int> chosen;
            for (int e = 0; e < experts; ++e)
                if (mask >> e & 1)
                    chosen.push_back(e);
            const auto& c = p.conflicts[std::size_t(a)];
            const bool allowed = std::none_of(chosen.begin(), chosen.end(), [&](int e) {
                return std::binary_search(c.begin(), c.end(), e);
            });
            if (allowed && int(chosen.size()) <= p.reviewers)
                choices[std::size_t(a)].push_back(chosen);
        }
    qint64 best = std::numeric_limits<qint64>::max();
    std::vector<std::vector<int>> pick(static_cast<std::size_t>(applications));
    std::vector<int> load(std::size_t(experts), 0);
    std::function<void(int)> walk = [&](int a) {
        if (a == applications) {
            best = std::min(best, assignmentCost(p, pick));
            return;
        }
        for (const std::vector<int>& c : choices[std::size_t(a)]) {
            bool fits = true;
            for (const int e : c)
                fits = fits && load[std::size_t(e)] < p.maxLoad[std::size_t(e)];
            if (!fits)
                continue;
            for (const int e : c)
                ++load[std::size_t(e)];
            pick[std::size_t(a)] = c;
            walk(a + 1);
            for (const int e : c)
                --load[std::size_t(e)];
        }
    };
    walk(0);
    return best;
}

AssignmentProblem randomProblem(quint32 seed, int applications, int experts, int reviewers, int maxLoad)
{
    QRandomGenerator random(seed);
    AssignmentProblem p;
    p.reviewers = reviewers;
    for (int a = 0; a < applications; ++a) {
        p.subject.push_back(random.bounded(3));
        std::vector<int> c;
        for (int e = 0; e < experts; ++e)
            if (random.bounded(4) == 0)
                c.push_back(e);
        p.conflicts.push_back(c);
    }
    for (int e = 0; e < experts; ++e) {
        p.expertSubjects.push_back(1u << random.bounded(3) |
                                   (random.bounded(3) == 0 ? 1u << random.bounded(3) : 0));
        p.maxLoad.push_back(1 + random.bounded(maxLoad));
    }
    return p;
}

} // namespace

void TestReview::assignmentIsOptimal_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("applications");
    QTest::addColumn<int>("experts");
    QTest::addColumn<int>("reviewers");
    QTest::addColumn<int>("maxLoad");
    // Loose loads: subjects and balance decide. Tight ones: someone reviews outside the subject,
    // or lacks a reviewer.
    QTest::newRow("loose") << 1u << 4 << 6 << 2 << 4;
    QTest::newRow("loose, other seed") << 7u << 5 << 5 << 2 << 3;
    QTest::newRow("tight") << 3u << 5 << 5 << 2 << 2;
    QTest::newRow("too few for some") << 11u << 4 << 4 << 3 << 2;
    QTest::newRow("one reviewer each") << 5u << 6 << 4 << 1 << 2;
}

// The flow's cost is the least any assignment has, found by trying every one; and what it
// assigns keeps the rules: K or the shortfall, no conflict, no expert above the load.
void TestReview::assignmentIsOptimal()
{
    QFETCH(quint32, seed);
    QFETCH(int, applications);
    QFETCH(int, experts);
    QFETCH(int, reviewers);
    QFETCH(int, maxLoad);
    const AssignmentProblem p = randomProblem(seed, applications, experts, reviewers, maxLoad);
    const Assignment a = assignReviewers(p);
    QCOMPARE(a.cost, bruteForce(p));
    QCOMPARE(assignmentCost(p, a.experts), a.cost);
    std::vector<int> load(std::size_t(experts), 0);
    for (int i = 0; i < applications; ++i) {
        const auto& mine = a.experts[std::size_t(i)];
        QCOMPARE(int(mine.size()) + a.shortfall[std::size_t(i)], reviewers);
        for (const int e : mine) {
            QVERIFY(!std::binary_search(p.conflicts[std::size_t(i)].begin(),
                                        p.conflicts[std::size_t(i)].end(), e));
            QVERIFY(++load[std::size_t(e)] <= p.maxLoad[std::size_t(e)]);
        }
    }
    // The same problem, the same assignment.
    QCOMPARE(assignReviewers(p).experts, a.experts);
}

// On a round too large to start with every arc, the arcs the prices add lead to the optimum of
// the flow over every arc.
void TestReview::pricingReachesTheFullOptimum()
{
    // 400 applications of one subject with room for 240 of them there: the others go to experts
    // of other subjects, whom no application starts with.
    AssignmentProblem p = randomProblem(17, 400, 200, 5, 30);
    for (int& s : p.subject)
        s = 0;
    for (int e = 0; e < 200; ++e) {
        p.expertSubjects[std::size_t(e)] = e < 30 ? 1u : 2u;
        p.maxLoad[std::size_t(e)] = e < 30 ? 40 : 5 + p.maxLoad[std::size_t(e)] % 20;
    }
    const Assignment priced = assignReviewers(p);
    QVERIFY(priced.solves > 1); // the starting arcs were not enough
    QCOMPARE(priced.cost, assignReviewers(p, true).cost);
}

namespace {

ReviewRound smallRound(int applications, int experts)
{
    ReviewRound round;
    round.id = u"R1"_s;
    round.criteria = defaultCriteria();
    for (int e = 0; e < experts; ++e)
        round.experts.push_back(Expert{e + 2, u"专家%1"_s.arg(e), u"单位%1"_s.arg(e), {}, {}, 1, 50, {}});
    for (int a = 0; a < applications; ++a) {
        ReviewApplication app;
        app.code = u"C%1"_s.arg(a);
        app.title = u"课题%1"_s.arg(a);
        app.category = formSubjects().isEmpty() ? QString() : u"省级一般课题"_s;
        app.subject = u"德育"_s;
        round.applications.push_back(app);
        round.assigned.emplace_back();
    }
    return round;
}

ReturnedSheet sheetOf(int expert, const std::vector<std::pair<QString, double>>& totals)
{
    ReturnedSheet s{expert, {}, {}};
    for (const auto& [code, total] : totals)
        s.scores.push_back(Score{code, {total}, total, {}});
    return s;
}

} // namespace

// The numbers of the ranking, worked out by hand.
void TestReview::ranking()
{
    ReviewRound round = smallRound(3, 6);
    // A harsh and a lenient expert score C0 and C1 alike apart from their level: corrected,
    // both see C0 one spread below the round's mean and C1 one above.
    std::vector<ReturnedSheet> sheets{sheetOf(0, {{u"C0"_s, 60}, {u"C1"_s, 80}}),
                                      sheetOf(1, {{u"C0"_s, 70}, {u"C1"_s, 90}})};
    Ranking r = rankRound(round, sheets, {{u"省级一般课题"_s, 1}});
    const double spread = std::sqrt(125.0);
    QCOMPARE(r.applications[0].mean, 65.0);
    QVERIFY(std::abs(r.applications[0].corrected - (75 - spread)) < 1e-9);
    QVERIFY(std::abs(r.applications[1].corrected - (75 + spread)) < 1e-9);
    QCOMPARE(r.applications[1].rankInCategory, 1);
    QCOMPARE(r.applications[0].rankInCategory, 2);
    QCOMPARE(r.applications[2].rankInCategory, 0); // no score yet
    QVERIFY(r.applications[1].recommended && !r.applications[0].recommended);
    QCOMPARE(r.experts.size(), std::size_t(2));
    QCOMPARE(r.experts[1].mean, 80.0);

    // Five scores: the trimmed mean leaves out the highest and the lowest; a range of 30 of 100
    // is a strong disagreement, 29 is not.
    sheets.clear();
    const double totals[] = {50, 62, 64, 66, 80};
    for (int e = 0; e < 5; ++e)
        sheets.push_back(sheetOf(e, {{u"C2"_s, totals[e]}, {u"C1"_s, 70.0 + e * 29.0 / 4}}));
    r = rankRound(round, sheets, {});
    QCOMPARE(r.applications[2].trimmed, 64.0);
    QCOMPARE(r.applications[2].mean, 64.4);
    QVERIFY(r.applications[2].disagreement);
    QVERIFY(!r.applications[1].disagreement);
}

void TestReview::votes_data()
{
    QTest::addColumn<QString>("row");     // the cells after code and title
    QTest::addColumn<QString>("problem"); // part of the one problem said, or empty
    QTest::newRow("a decision") << u"15,13,11,1,1,建议立项,,是,省级一般课题,3,2,2027:2；2028:1"_s
                                << QString();
    QTest::newRow("a failed vote") << u"15,13,5,6,2,需加强,2：1、3,否,,,,"_s << QString();
    QTest::newRow("more votes than present") << u"15,13,11,2,1,,,,,,,"_s << u"票数合计 14"_s;
    QTest::newRow("more present than members") << u"12,13,11,1,1,,,,,,,"_s << u"实到人数 13 多于"_s;
    QTest::newRow("a count that is none") << u"十五,13,11,1,1,,,,,,,"_s << u"“十五”不是"_s;
    QTest::newRow("no such reason") << u"15,13,5,6,2,,3,,,,,"_s << u"“3”应写成"_s;
    QTest::newRow("no such problem") << u"15,13,5,6,2,,2：9,,,,,"_s << u"“2：9”应写成"_s;
    QTest::newRow("neither yes nor no") << u"15,13,11,1,1,,,也许,,,,"_s << u"“也许”应为"_s;
    QTest::newRow("a plan of other money") << u"15,13,11,1,1,,,是,,3,2,2027:2；2028:2"_s << u"合计 4 万元"_s;
    QTest::newRow("a year that is none") << u"15,13,11,1,1,,,是,,3,2,27:3"_s << u"“27:3”"_s;
    QTest::newRow("six years") << u"15,13,11,1,1,,,是,,6,6,2027:1；2028:1；2029:1；2030:1；2031:1；2032:1"_s
                               << u"最多 5 年"_s;
}

// The sheet of votes as the group fills it: every problem named with its column.
void TestReview::votes()
{
    QFETCH(QString, row);
    QFETCH(QString, problem);
    const ReviewRound round = smallRound(2, 1);
    const QString path =
        m_dir.filePath(u"votes-%1.csv"_s.arg(QString::fromLatin1(QTest::currentDataTag()).size()));
    test::writeAll(path, (votesHeadings().join(u',') + u"\nC1,课题1,"_s + row + u'\n').toUtf8());
    const auto decisions = readVotes(round, path);
    if (problem.isEmpty()) {
        QVERIFY2(decisions, qPrintable(decisions ? QString() : decisions.error().join(u'\n')));
        const GroupDecision& d = decisions->at(u"C1"_s);
        QCOMPARE(d.members, 15);
        QCOMPARE(d.approved.value_or(false), row.contains(u",是,"_s));
        QCOMPARE(d.voteFailed, row.contains(u"2：1、3"_s));
        QCOMPARE(d.problems, (d.voteFailed ? std::vector<int>{1, 3} : std::vector<int>{}));
        QCOMPARE(int(d.plan.size()), d.approved.value_or(false) ? 2 : 0);
        return;
    }
    QVERIFY(!decisions);
    QCOMPARE(decisions.error().size(), 1);
    QVERIFY2(decisions.error()[0].contains(problem), qPrintable(decisions.error()[0]));
}

void TestReview::conflicts_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("avoidCity");
    QTest::addColumn<bool>("conflict");
    // The expert: 王建国 of 岚川市第一中学 in 岚川市, who avoids 澄州师范学院.
    QTest::newRow("leader's unit") << u"unit"_s << u"岚川市第一中学"_s << false << true;
    QTest::newRow("participant's unit, wide letters, blanks")
        << u"unit2"_s << u"岚川市　第一中学"_s << false << true;
    QTest::newRow("another unit") << u"unit"_s << u"岚川市第二中学"_s << false << false;
    QTest::newRow("a unit avoided") << u"unit2"_s << u"澄州师范学院"_s << false << true;
    QTest::newRow("leader") << u"name"_s << u"王 建国"_s << false << true;
    QTest::newRow("participant") << u"name2"_s << u"王建国"_s << false << true;
    QTest::newRow("recommender") << u"recommender"_s << u"同意推荐。推荐人：王建\n国，教授"_s << false
                                 << true;
    QTest::newRow("a name like it") << u"name"_s << u"王建"_s << false << false;
    QTest::newRow("same city, not avoided") << u"city"_s << u"岚川市"_s << false << false;
    QTest::newRow("same city, avoided") << u"city"_s << u"岚川市"_s << true << true;
    QTest::newRow("another city, avoided") << u"city"_s << u"云汀市"_s << true << false;
}

// The index finds exactly the conflicts the rules give pair by pair.
void TestReview::conflicts()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(bool, avoidCity);
    QFETCH(bool, conflict);
    Expert expert;
    expert.name = u"王建国"_s;
    expert.unit = u"岚川市第一中学"_s;
    expert.city = u"岚川市"_s;
    expert.avoidUnits = {u"澄州师范学院"_s};
    Expert other = expert;
    other.name = u"李华"_s;
    other.unit = u"澄州大学"_s;
    other.city = u"澄州市"_s;
    other.avoidUnits.clear();
    ReviewApplication app;
    app.names = {u"张三"_s, u"赵四"_s};
    app.units = {u"石枫市实验小学"_s, u"石枫市教育局"_s};
    app.city = u"石枫市"_s;
    if (field == u"unit")
        app.units[0] = value;
    else if (field == u"unit2")
        app.units[1] = value;
    else if (field == u"name")
        app.names[0] = value;
    else if (field == u"name2")
        app.names[1] = value;
    else if (field == u"recommender")
        app.recommenders = value;
    else
        app.city = value;
    const ConflictRules rules{avoidCity};
    QCOMPARE(!conflictOf(app, expert, rules).isEmpty(), conflict);
    QVERIFY(conflictOf(app, other, rules).isEmpty());
    const auto found = findConflicts({app}, {other, expert}, rules);
    QCOMPARE(found[0], conflict ? std::vector<int>{1} : std::vector<int>{});
}

void TestReview::rosterProblems_data()
{
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QStringList>("problems"); // each a part of one line, in order
    const QByteArray head = "姓名,单位,所在市（州）,学科分类,最多评审数,回避单位\n";
    QTest::newRow("a good roster") << head + "王建国,澄州大学,澄州市,基础教育、德育,40,\n" << QStringList{};
    QTest::newRow("half-width heading, semicolons")
        << QByteArray("姓名,单位,所在市(州),学科分类,最多评审数\n"
                      "王建国,澄州大学,澄州市,基础教育;德育,12.0\n")
        << QStringList{};
    QTest::newRow("every problem of a row")
        << head + "王建国,澄州大学,澄州市,数学教育,很多,\n,,澄州市,德育,3,\n"
        << QStringList{u"第 2 行“学科分类”：“数学教育”不是"_s, u"第 2 行“最多评审数”：“很多”"_s,
                       u"第 3 行“姓名”：没有填写"_s, u"第 3 行“单位”：没有填写"_s};
    QTest::newRow("the same expert twice")
        << head + "王建国,澄州大学,澄州市,德育,3,\n王 建国,澄州大学,澄州市,德育,3,\n"
        << QStringList{u"第 3 行“姓名”：与第 2 行是同一位专家"_s};
    QTest::newRow("a column missing") << QByteArray("姓名,单位,学科分类,最多评审数\n王建国,澄州大学,德育,3\n")
                                      << QStringList{u"第 1 行“所在市（州）”：缺少这一列"_s};
    QTest::newRow("a negative load") << head + "王建国,澄州大学,澄州市,德育,-1,\n"
                                     << QStringList{u"第 2 行“最多评审数”"_s};
}

// Every problem of a roster is listed, with its row and column; a good one is read.
void TestReview::rosterProblems()
{
    QFETCH(QByteArray, csv);
    QFETCH(QStringList, problems);
    const QString path =
        m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'_') + u".csv"_s);
    test::writeAll(path, csv);
    const auto roster = readRoster(path);
    if (problems.isEmpty()) {
        QVERIFY2(roster, qPrintable(roster ? QString() : roster.error().join(u'\n')));
        QCOMPARE(roster->size(), std::size_t(1));
        QCOMPARE(roster->front().subjects, (1u << 7) | (1u << 4)); // 基础教育, 德育
        return;
    }
    QVERIFY(!roster);
    QCOMPARE(roster.error().size(), problems.size());
    for (qsizetype i = 0; i < problems.size(); ++i)
        QVERIFY2(roster.error()[i].contains(problems[i]), qPrintable(roster.error()[i]));
}

QTEST_GUILESS_MAIN(TestReview)
#include "test_review.moc"
