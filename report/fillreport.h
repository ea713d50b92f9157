#pragma once

#include "record/applicationrecord.h"
#include "report/reportdesign.h"
#include "report/sheetlayout.h"

#include <QStringList>

#include <functional>

namespace shenbao {

// Fills a fresh copy of the built-in design for printing, as the print command does: shows the
// official watermark and banner and hides the informal mark when official, the reverse otherwise;
// then writes every application value into its item, the single items in order and each table
// row by row, column by column. Values go in exactly as the record holds them: no trimming, and
// an empty field empties its item.
void fillReport(ReportDesign& design, const ApplicationRecord& record, bool official);

// The printed form of record, as 预览\打印 and xdxtool pdf make it: a fresh built-in design
// (nothing one print filled in reaches the next), filled, laid out.
// amend, when given, adds to the filled design before it is laid out (the review's pages).
ReportLayout layoutForm(const ApplicationRecord& record, bool official, const SheetProgress& progress = {},
                        const std::function<void(ReportDesign&)>& amend = {});

// The page and item names fillReport writes to, in order ("Page1", "educode"), for checking
// that a design has them all; the names of items that design lacks, in that order.
QStringList missingFillItems(const ReportDesign& design);

} // namespace shenbao
