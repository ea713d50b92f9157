#pragma once

#include "files/expected.h"
#include "office/review.h"
#include "office/run.h"
#include "record/groupdecision.h"

#include <QString>
#include <QStringList>

#include <map>

// The subject group's votes and the decision, from the sheet 表决.xlsx the group fills in.

namespace shenbao::office {

// The decisions by code, or every problem (file, row, column, why): a code not of the round or
// twice, a count that is no whole number, more votes than members present or more present than
// members, a reason that is not 1 or 2 with problems (1) to (8), an approval that is neither yes
// nor no, an amount or a plan's amount that is no number, more than five years, a plan that does
// not add up to the amount. Rows with nothing filled in are passed over.
Expected<std::map<QString, GroupDecision>, QStringList> readVotes(const ReviewRound& round,
                                                                  const QString& path);

// The decisions recorded in the round's folder (empty when none are).
Expected<std::map<QString, GroupDecision>, QString> readDecisions(const QString& folder);

// The votes read, checked and recorded in the round's folder, said; nothing recorded when a
// problem is found (2).
int recordVotes(const QString& folder, const QString& votes, RunReport& report);

} // namespace shenbao::office
