#pragma once

#include "files/expected.h"
#include "office/review.h"

#include <QStringList>

#include <vector>

// The roster of experts, as the office keeps it in a spreadsheet: a heading row naming the
// columns (in any order; more columns are passed over), then an expert a row.

namespace shenbao::office {

// The columns: 姓名, 单位, 所在市（州）, 学科分类 (one or more of the form's subjects, separated
// by 、 ， , ; or ；), 最多评审数; and, when present, 回避单位 (separated alike) and 联系方式.
// The experts in the roster's order, or every problem (file, row, column, why): an unknown
// subject, a load that is no whole number, a name or unit missing, the same expert twice, a
// column missing.
Expected<std::vector<Expert>, QStringList> readRoster(const QString& path);

} // namespace shenbao::office
