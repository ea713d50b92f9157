#pragma once

#include <QtGlobal>

#include <vector>

// Experts for every application as a minimum-cost flow: each application sends its reviewers
// through the experts it has no conflict with (conflicts are missing arcs) to a sink, each
// expert's load up to its most; an expert of the application's subject costs nothing, another
// costs kMismatchCost, and the n-th application of an expert costs n, so that among equal
// choices the lighter loaded expert comes first. An application that cannot get its reviewers
// sends the rest through a shortfall arc that costs more than anything else: the flow always
// exists, and the shortfall says who lacks what.

namespace shenbao::office {

inline constexpr qint64 kMismatchCost = 1'000'000;
inline constexpr qint64 kShortfallCost = 1'000'000'000'000;

struct AssignmentProblem
{
    int reviewers = 0;                       // per application
    std::vector<int> subject;                // per application: its subject's bit, or -1
    std::vector<quint32> expertSubjects;     // per expert: a bit a subject
    std::vector<int> maxLoad;                // per expert
    std::vector<std::vector<int>> conflicts; // per application, ascending
};

struct Assignment
{
    std::vector<std::vector<int>> experts; // per application, ascending
    std::vector<int> shortfall;            // per application: reviewers it lacks
    qint64 cost = 0;
    int solves = 0;     // flows solved until no left-out arc could lower the cost
    qsizetype arcs = 0; // arcs of the last flow
};

// The cost of an assignment as the flow counts it.
qint64 assignmentCost(const AssignmentProblem& problem, const std::vector<std::vector<int>>& experts);

// The optimal assignment, the same for the same problem. Not every arc is built at once: each
// application starts with a share of the experts of its subject, and arcs left out are added
// while the flow's prices say one of them would lower the cost (the dual check); when none
// would, the flow is optimal over all of them.
// everyArc builds every arc at once instead (for checking the above).
Assignment assignReviewers(const AssignmentProblem& problem, bool everyArc = false);

} // namespace shenbao::office
