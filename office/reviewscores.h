#pragma once

#include "files/expected.h"
#include "office/review.h"
#include "office/run.h"

#include <QString>
#include <QStringList>

#include <vector>

// The experts' scores: each returned sheet checked against the round, those that pass kept in
// the round's folder, and summed up.

namespace shenbao::office {

struct Score
{
    QString code;
    std::vector<double> points; // a criterion each
    double total = 0;
    QString comment;
};

struct ReturnedSheet
{
    int expert = -1;
    QString file;              // as shown
    std::vector<Score> scores; // in code order
};

// A returned sheet read and checked: the right round and expert, only that expert's codes, each
// once and none missing, titles unchanged, every score a number within its range, the total the
// sum. Every problem (file, row, why), or the sheet.
Expected<ReturnedSheet, QStringList> readReturnedSheet(const ReviewRound& round, const QString& path);

// The sheets collected so far (by expert), as the round's folder keeps them.
Expected<std::vector<ReturnedSheet>, QString> readCollected(const QString& folder, const ReviewRound& round);
QByteArray collectedToJson(const ReviewRound& round, const std::vector<ReturnedSheet>& sheets);

struct CollectOrder
{
    QString folder;
    QStringList sheets;
    bool replace = false; // a sheet of an expert already collected replaces it
};

// The sheets read and checked, the good ones kept (评分数据.json) and summed up (评分汇总.xlsx);
// said: every problem, how many sheets and scores were taken, which experts are still missing.
// 2 when a sheet was refused, 1 when experts are missing, else 0.
int collectScores(const CollectOrder& order, RunReport& report);

} // namespace shenbao::office
