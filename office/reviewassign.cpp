#include "office/reviewassign.h"

#include <lemon/network_simplex.h>
#include <lemon/smart_graph.h>

#include <algorithm>
#include <numeric>

namespace shenbao::office {
namespace {

using Graph = lemon::SmartDigraph;
using Flow = lemon::NetworkSimplex<Graph, int, qint64>;

// Each application starts with this many experts of its subject (or all there are), spread
// over them so that the first flow already balances; a solve adds at most this many arcs an
// application.
int startingShare(int reviewers)
{
    return std::max(16, 3 * reviewers);
}

qint64 pairCost(const AssignmentProblem& p, int application, int expert)
{
    const int s = p.subject[std::size_t(application)];
    const bool match = s >= 0 && (p.expertSubjects[std::size_t(expert)] >> s & 1u);
    return match ? 0 : kMismatchCost;
}

struct Solved
{
    Assignment assignment;
    std::vector<qint64> potential; // applications, then experts
};

// The flow over the arcs of candidates (per application, ascending).
Solved solve(const AssignmentProblem& p, const std::vector<std::vector<int>>& candidates)
{
    const int applications = int(p.subject.size());
    const int experts = int(p.expertSubjects.size());
    Graph g;
    g.reserveNode(applications + experts + 1);
    for (int i = 0; i < applications + experts + 1; ++i)
        g.addNode();
    const Graph::Node sink = g.nodeFromId(applications + experts);
    qsizetype arcs = 0;
    for (const std::vector<int>& c : candidates)
        arcs += qsizetype(c.size()) + 1;
    for (const int load : p.maxLoad)
        arcs += std::min(load, applications);
    g.reserveArc(int(arcs));
    Graph::ArcMap<int> upper(g);
    Graph::ArcMap<qint64> cost(g);
    const auto arc = [&](Graph::Node from, Graph::Node to, int capacity, qint64 c) {
        const Graph::Arc a = g.addArc(from, to);
        upper[a] = capacity;
        cost[a] = c;
        return a;
    };
    std::vector<std::vector<Graph::Arc>> reviewArcs(static_cast<std::size_t>(applications));
    std::vector<Graph::Arc> shortfallArcs;
    for (int a = 0; a < applications; ++a) {
        for (const int e : candidates[std::size_t(a)])
            reviewArcs[std::size_t(a)].push_back(
                arc(g.nodeFromId(a), g.nodeFromId(applications + e), 1, pairCost(p, a, e)));
        shortfallArcs.push_back(arc(g.nodeFromId(a), sink, p.reviewers, kShortfallCost));
    }
    for (int e = 0; e < experts; ++e)
        for (int n = 1; n <= std::min(p.maxLoad[std::size_t(e)], applications); ++n)
            arc(g.nodeFromId(applications + e), sink, 1, n); // the n-th application costs n
    Graph::NodeMap<int> supply(g, 0);
    for (int a = 0; a < applications; ++a)
        supply[g.nodeFromId(a)] = p.reviewers;
    supply[sink] = -p.reviewers * applications;

    Flow flow(g);
    flow.upperMap(upper).costMap(cost).supplyMap(supply);
    const Flow::ProblemType result = flow.run();
    Q_ASSERT(result == Flow::OPTIMAL); // the shortfall arcs make every problem feasible
    Q_UNUSED(result);

    Solved s;
    s.assignment.experts.resize(std::size_t(applications));
    s.assignment.shortfall.resize(std::size_t(applications));
    for (int a = 0; a < applications; ++a) {
        const std::vector<int>& c = candidates[std::size_t(a)];
        for (std::size_t k = 0; k < c.size(); ++k)
            if (flow.flow(reviewArcs[std::size_t(a)][k]) > 0)
                s.assignment.experts[std::size_t(a)].push_back(c[k]);
        s.assignment.shortfall[std::size_t(a)] = flow.flow(shortfallArcs[std::size_t(a)]);
    }
    s.assignment.cost = flow.totalCost<qint64>();
    s.assignment.arcs = arcs;
    s.potential.resize(std::size_t(applications + experts));
    for (int i = 0; i < applications + experts; ++i)
        s.potential[std::size_t(i)] = flow.potential(g.nodeFromId(i));
    return s;
}

// The starting arcs: for each application, a share of the experts of its subject without a
// conflict, the n-th application of a subject starting at the n-th expert's turn.
std::vector<std::vector<int>> startingArcs(const AssignmentProblem& p)
{
    const int experts = int(p.expertSubjects.size());
    std::vector<std::vector<int>> bySubject(32);
    for (int e = 0; e < experts; ++e)
        for (int s = 0; s < 32; ++s)
            if (p.expertSubjects[std::size_t(e)] >> s & 1u)
                bySubject[std::size_t(s)].push_back(e);
    std::vector<int> turn(32, 0);
    std::vector<std::vector<int>> candidates(p.subject.size());
    const int share = startingShare(p.reviewers);
    for (std::size_t a = 0; a < p.subject.size(); ++a) {
        if (p.subject[a] < 0)
            continue;
        const std::vector<int>& pool = bySubject[std::size_t(p.subject[a])];
        const std::vector<int>& conflicts = p.conflicts[a];
        int& start = turn[std::size_t(p.subject[a])];
        std::vector<int>& c = candidates[a];
        for (std::size_t k = 0; k < pool.size() && int(c.size()) < share; ++k) {
            const int e = pool[(std::size_t(start) + k) % pool.size()];
            if (!std::binary_search(conflicts.begin(), conflicts.end(), e))
                c.push_back(e);
        }
        start = int((std::size_t(start) + std::size_t(p.reviewers)) % std::max<std::size_t>(pool.size(), 1));
        std::sort(c.begin(), c.end());
    }
    return candidates;
}

// Adds the left-out arcs whose reduced cost is negative (at most a share an application, the
// most negative first); false when there is none, and the flow is optimal over every arc.
bool addPricedArcs(const AssignmentProblem& p, const std::vector<qint64>& potential,
                   std::vector<std::vector<int>>& candidates)
{
    const int applications = int(p.subject.size());
    const int experts = int(p.expertSubjects.size());
    const std::size_t share = std::size_t(startingShare(p.reviewers));
    std::vector<int> seenBy(std::size_t(experts), -1);
    std::vector<std::pair<qint64, int>> better;
    bool added = false;
    for (int a = 0; a < applications; ++a) {
        for (const int e : p.conflicts[std::size_t(a)])
            seenBy[std::size_t(e)] = a;
        std::vector<int>& c = candidates[std::size_t(a)];
        for (const int e : c)
            seenBy[std::size_t(e)] = a;
        better.clear();
        for (int e = 0; e < experts; ++e) {
            if (seenBy[std::size_t(e)] == a)
                continue;
            const qint64 reduced =
                pairCost(p, a, e) + potential[std::size_t(a)] - potential[std::size_t(applications + e)];
            if (reduced < 0)
                better.emplace_back(reduced, e);
        }
        if (better.empty())
            continue;
        std::sort(better.begin(), better.end());
        for (std::size_t k = 0; k < better.size() && k < share; ++k)
            c.push_back(better[k].second);
        std::sort(c.begin(), c.end());
        added = true;
    }
    return added;
}

} // namespace

qint64 assignmentCost(const AssignmentProblem& problem, const std::vector<std::vector<int>>& experts)
{
    qint64 cost = 0;
    std::vector<qint64> load(problem.expertSubjects.size(), 0);
    for (std::size_t a = 0; a < experts.size(); ++a) {
        cost += kShortfallCost * (problem.reviewers - qint64(experts[a].size()));
        for (const int e : experts[a]) {
            cost += pairCost(problem, int(a), e);
            cost += ++load[std::size_t(e)];
        }
    }
    return cost;
}

Assignment assignReviewers(const AssignmentProblem& problem, bool everyArc)
{
    std::vector<std::vector<int>> candidates = startingArcs(problem);
    if (everyArc)
        for (std::size_t a = 0; a < candidates.size(); ++a) {
            candidates[a].clear();
            for (int e = 0; e < int(problem.expertSubjects.size()); ++e)
                if (!std::binary_search(problem.conflicts[a].begin(), problem.conflicts[a].end(), e))
                    candidates[a].push_back(e);
        }
    for (int solves = 1;; ++solves) {
        Solved s = solve(problem, candidates);
        if (!addPricedArcs(problem, s.potential, candidates)) {
            s.assignment.solves = solves;
            return std::move(s.assignment);
        }
    }
}

} // namespace shenbao::office
