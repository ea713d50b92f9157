#pragma once

#include "files/files.h"
#include "office/review.h"

// The workbooks the round hands out: the assignment, an expert's score sheet, the subject
// group's sheet of votes to fill in.

namespace shenbao::office {

// The layout of a score sheet, which collect reads back: a few rows of heading (the expert, the
// round), then a row of column names, then a row an application.
struct ScoreSheetLayout
{
    static constexpr int kExpertRow = 2; // 评审专家 | name | unit
    static constexpr int kRoundRow = 3;  // 评审轮次 | id
    static constexpr int kHeadingRow = 5; // 编号 | 课题名称 | 学科分类 | criteria... | 总分 | 评语
    static constexpr int kFixedColumns = 3;
};
// The column names of a score sheet: 编号, 课题名称, 学科分类, "选题（20）"..., "总分（100）", 评语.
QStringList scoreSheetHeadings(const ReviewRound& round);

// 分配.xlsx: a sheet by application (its code, file, title, category, subject and experts) and
// a sheet by expert (load and codes).
FileResult<void> writeAssignmentBook(const ReviewRound& round, const QString& out);

// 评分表.xlsx of one expert: a row per code with title and subject, a column per criterion
// limited to its range, the total summed, a comment; all but the scores and the comment locked.
FileResult<void> writeScoreSheet(const ReviewRound& round, int expert, const QString& out);

// 表决.xlsx: a row per code for the subject group's counts, opinion and decision.
FileResult<void> writeVotesSheet(const ReviewRound& round, const QString& out);
// Its column names, which group reads.
QStringList votesHeadings();

} // namespace shenbao::office
