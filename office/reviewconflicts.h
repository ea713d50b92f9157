#pragma once

#include "office/review.h"

#include <QString>

#include <vector>

// Who must not review what: an expert never reviews an application whose leader or a participant
// works in the expert's unit, that names the expert as its leader, a participant or a
// recommender, or whose unit the expert must avoid; nor, when the round says so, one from the
// expert's own city. Names and units are compared folded (widths, letter case and blanks alike).

namespace shenbao::office {

struct ConflictRules
{
    bool avoidCity = false;
};

// For each application, the experts it must not go to, ascending. Found through an index of
// the experts' units and names: no pair is compared in full.
std::vector<std::vector<int>> findConflicts(const std::vector<ReviewApplication>& applications,
                                            const std::vector<Expert>& experts, ConflictRules rules);

// Why the expert must not review the application, in words, or empty.
QString conflictOf(const ReviewApplication& application, const Expert& expert, ConflictRules rules);

} // namespace shenbao::office
