#pragma once

#include "office/review.h"
#include "office/reviewconflicts.h"
#include "office/run.h"

#include <QPageSize>
#include <QString>
#include <QStringList>

// The review round's steps as the office runs them, each said to a RunReport and ending with an
// exit status: assign, collect, rank, group.

namespace shenbao::office {

struct AssignOrder
{
    QString roster;
    QStringList files;
    int jobs = 1;
    qsizetype problems = 0; // folders that could not be read
    int reviewers = kDefaultReviewers;
    std::vector<Criterion> criteria = defaultCriteria();
    ConflictRules rules;
    QString folder;
    QPageSize paper = QPageSize(QPageSize::A4);
};

// Every readable, complete application given to order.reviewers experts of the roster without a
// conflict, optimally; written to the folder: the round, 分配.xlsx, 表决.xlsx and for each expert
// a folder with 活页.pdf and 评分表.xlsx. When some application cannot have its experts, each is
// named with the reason and nothing is written. A run that fails or is interrupted leaves none of
// its files behind.
int assignRound(const AssignOrder& order, RunReport& report);

} // namespace shenbao::office
