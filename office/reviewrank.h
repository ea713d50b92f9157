#pragma once

#include "office/review.h"
#include "office/reviewscores.h"
#include "office/run.h"

#include <QString>

#include <map>
#include <optional>
#include <vector>

// The ranking of a round's applications by their experts' scores.

namespace shenbao::office {

// Experts disagree strongly on an application when its totals span this share of the most a
// total can be (30 points of 100).
inline constexpr double kDisagreementShare = 0.3;
// With this many scores or more, the trimmed mean leaves out the highest and the lowest.
inline constexpr int kTrimFrom = 5;

struct RankedApplication
{
    int application = 0;
    std::vector<double> totals; // in expert order
    double mean = 0, trimmed = 0, corrected = 0, range = 0;
    bool disagreement = false;
    int rankInCategory = 0, rankInSubject = 0; // from 1; 0 without scores
    bool recommended = false;
};

struct ExpertStanding
{
    int expert = 0;
    int scored = 0;
    double mean = 0, spread = 0; // spread: the standard deviation of the expert's totals
};

struct Ranking
{
    std::vector<RankedApplication> applications; // in the round's order
    std::vector<ExpertStanding> experts;
};

// Means, trimmed means and means corrected for harsh and lenient experts (each expert's totals
// standardised over that expert's applications, rescaled to the round's mean and spread; an
// expert with fewer than two totals, or all alike, left as given); ranks by the corrected mean
// within the category and within the subject; with quotas, the first N of a category
// recommended.
Ranking rankRound(const ReviewRound& round, const std::vector<ReturnedSheet>& sheets,
                  const std::map<QString, int>& quotas);

// "省级重点资助课题=10,省级一般课题=40", the categories as the form lists them; or why not.
Expected<std::map<QString, int>, QString> parseQuotas(const QString& text);

// 排名.xlsx in the round's folder, said; 2 when the round or its scores cannot be read or the
// workbook cannot be written, 1 when no score has come in yet.
int writeRanking(const QString& folder, const std::map<QString, int>& quotas, RunReport& report);

} // namespace shenbao::office
