#pragma once

#include <QString>

#include <optional>
#include <utility>
#include <vector>

// The subject review group's vote on an application and the decision on it, as the office
// records them after the review and the form prints them on its pages 12 and 13.

namespace shenbao {

// The problems a failed vote may name, (1) to (8) on page 12.
inline constexpr int kVoteProblems = 8;
// The years of a funding plan page 13 has room for.
inline constexpr int kPlanYears = 5;

struct GroupDecision
{
    std::optional<int> members, present, inFavour, against, abstaining;
    QString opinion;
    bool leavesFailed = false; // reason 1: the loose leaves did not pass
    bool voteFailed = false;   // reason 2: the vote did not pass, for the problems below
    std::vector<int> problems; // 1..kVoteProblems, ascending
    std::optional<bool> approved;
    QString category, amount, payments;            // amount in 万元
    std::vector<std::pair<QString, QString>> plan; // year, amount; at most kPlanYears
};

} // namespace shenbao
