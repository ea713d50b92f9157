#pragma once

#include "record/groupdecision.h"
#include "report/reportdesign.h"

#include <QString>

// What the review adds to the printed form: the subject group's vote and opinion on page 12, the
// approval and the funds on page 13, and on the loose leaves the anonymous code that stands for
// the application. The applicant's own print has none of it.

namespace shenbao {

// Pages 12 and 13 of design filled with the decision: the counts in their cells, the opinion in
// section 十一's space, a tick before each reason, the approval in section 十二, category, amount,
// payments and the yearly plan in section 十三. Signatures and dates stay blank.
void fillDecision(ReportDesign& design, const GroupDecision& decision);

// The loose leaves headed by the code on every sheet, and the code in page 14's box.
void markLooseLeaves(ReportDesign& design, const QString& code);

} // namespace shenbao
