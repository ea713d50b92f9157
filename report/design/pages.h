#pragma once

#include "report/reportdesign.h"

namespace shenbao::design {

// The fifteen pages of the printed form, one file each.
ReportPage page01(); // cover
ReportPage page02(); // applicant's declaration
ReportPage page03(); // instructions
ReportPage page04(); // basic data and participants
ReportPage page05(); // prior results, projects undertaken
ReportPage page06(); // design argument
ReportPage page07(); // feasibility analysis
ReportPage page08(); // expected results
ReportPage page09(); // funding
ReportPage page10(); // recommenders' opinions
ReportPage page11(); // opinions of the leader's unit and the city office
ReportPage page12(); // review group (blank form)
ReportPage page13(); // approval and funding decision (blank form)
ReportPage page14(); // loose leaf 1: title and design argument
ReportPage page15(); // loose leaf 2: feasibility analysis

// The band of the feasibility analysis (Page7 and loose leaf 2): items, then the four guidance
// lines above the text.
std::vector<ReportItem> withFeasibilityGuidance(std::vector<ReportItem> items);

} // namespace shenbao::design
