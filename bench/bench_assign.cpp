// bench_assign N EXPERTS [SEED]: the reviewers' assignment of a generated round of N applications
// to a generated roster, on one core: the conflicts found, the flow solved, beside a floor
// measured in the same run (taking each application's code, names, units and subject from its
// record once: the least any assignment reads). Prints the figures, the peak memory, and an
// independent count of conflicts among the pairs assigned (it must be 0).
#include "bench/roundgen.h"
#include "office/review.h"
#include "office/reviewassign.h"
#include "office/reviewconflicts.h"
#include "office/reviewroster.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

using namespace shenbao;

namespace {

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_assign N EXPERTS [SEED]\n");
        return 2;
    }
    const int n = args[1].toInt(), experts = args[2].toInt();
    const quint32 seed = args.size() > 3 ? args[3].toUInt() : 7;
    bench::Round round = bench::makeRound(n, seed);
    const std::vector<bench::RosterEntry> roster =
        bench::makeRoster(round, experts, office::kDefaultReviewers, seed + 1);
    QTemporaryDir dir;
    QFile csv(dir.filePath(QStringLiteral("roster.csv")));
    csv.open(QIODevice::WriteOnly);
    csv.write("姓名,单位,所在市（州）,学科分类,最多评审数,回避单位\n");
    for (const bench::RosterEntry& x : roster)
        csv.write(
            (QStringList{x.name, x.unit, x.city, x.subjects, QString::number(x.maxLoad), x.avoid}.join(u',') +
             u'\n')
                .toUtf8());
    csv.close();
    const auto read = office::readRoster(csv.fileName());
    if (!read) {
        std::fprintf(stderr, "%s\n", qPrintable(read.error().join(u'\n')));
        return 2;
    }
    QElapsedTimer clock;
    clock.start();
    std::vector<office::ReviewApplication> applications;
    for (std::size_t i = 0; i < round.applications.size(); ++i)
        applications.push_back(office::reviewApplicationOf(round.applications[i], QString::number(i)));
    const double floor = double(clock.nsecsElapsed()) / 1e9;
    const double before = peakMegabytes();

    office::AssignmentProblem p;
    p.reviewers = office::kDefaultReviewers;
    for (const office::ReviewApplication& a : applications)
        p.subject.push_back(a.subjectIndex);
    for (const office::Expert& e : *read) {
        p.expertSubjects.push_back(e.subjects);
        p.maxLoad.push_back(e.maxLoad);
    }
    clock.restart();
    p.conflicts = office::findConflicts(applications, *read, {});
    const double conflicts = double(clock.nsecsElapsed()) / 1e9;
    clock.restart();
    const office::Assignment assignment = office::assignReviewers(p);
    const double solve = double(clock.nsecsElapsed()) / 1e9;

    // Independent: every pair assigned checked against the rules pair by pair.
    qsizetype broken = 0, shortfall = 0, mismatches = 0, conflicting = 0;
    for (std::size_t a = 0; a < applications.size(); ++a) {
        shortfall += assignment.shortfall[a];
        conflicting += qsizetype(p.conflicts[a].size());
        for (const int e : assignment.experts[a]) {
            broken += office::conflictOf(applications[a], (*read)[std::size_t(e)], {}).isEmpty() ? 0 : 1;
            mismatches +=
                p.subject[a] >= 0 && ((*read)[std::size_t(e)].subjects >> p.subject[a] & 1u) ? 0 : 1;
        }
    }
    std::printf(
        "applications %d, experts %d, K %d; conflicting pairs %lld; floor (each application read once) %.3f s\n",
        n, experts, p.reviewers, qlonglong(conflicting), floor);
    std::printf("conflicts %.3f s (%.1f x floor), flow %.3f s (%.1f x floor, %d solves, %lld arcs)\n",
                conflicts, conflicts / floor, solve, solve / floor, assignment.solves,
                qlonglong(assignment.arcs));
    std::printf("cost %lld; outside the subject %lld; shortfall %lld; conflicts assigned %lld\n",
                qlonglong(assignment.cost), qlonglong(mismatches), qlonglong(shortfall), qlonglong(broken));
    std::printf("peak memory %.0f MB (%.0f MB before the assignment: the round itself)\n", peakMegabytes(),
                before);
    return broken == 0 ? 0 : 1;
}
