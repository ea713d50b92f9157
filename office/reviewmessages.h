#pragma once

#include <QString>
#include <QStringList>

// The words of the review round: what its commands, workbooks and checks say.

namespace shenbao::office::reviewmsg {

// The round and its criteria
QString badCriterion(const QString& text);
QString criterionTwice(const QString& name);
QString notARound();
QString noRound(const QString& folder, const QString& why);

// The roster
QString cannotReadRoster(const QString& file, const QString& why);
QString rosterWithoutHeading(const QString& file);
QString rosterProblem(const QString& file, qsizetype row, const QString& column, const QString& why);
QString columnMissing();
QString cellEmpty();
QString unknownSubject(const QString& subject);
QString notALoad(const QString& text);
QString expertTwice(qsizetype firstRow);
QString noExperts();

// Conflicts of interest
QString sameUnit(const QString& unit);
QString avoidedUnit(const QString& unit);
QString namedInApplication(const QString& name);
QString namedAsRecommender(const QString& name);
QString sameCity(const QString& city);

// The workbooks
QStringList scoreSheetLeadingHeadings();
QString withPoints(const QString& name, int points);
QString total();
QString comment();
QString sheetByApplication();
QStringList assignmentHeadings();
QString expertNumber(int k);
QString sheetByExpert();
QStringList expertHeadings();
QString sheetScores();
QString scoreSheetTitle();
QString expertLabel();
QString roundLabel();
QString scoreSheetHelp(int maxScore);
QString scoreOutOfRangeTitle();
QString scoreOutOfRange(int points);
QString sheetVotes();
QStringList votesHeadings();

// assign
QString leftOutIncomplete(const QString& file);
QString sameApplication(const QString& file, const QString& first);
QString tooFewWithoutConflict(const QString& code, const QString& file, const QString& subject, int ofSubject,
                              int free, int wanted);
QString expertsFull(const QString& code, const QString& file, int got, int wanted);
QString nothingWritten();
QString scoresAlreadyCollected(const QString& folder);
QString noApplications();
QString cannotWrite(const QString& file, const QString& why);
QString noLeavesHere();
QString assigned(const QString& folder, const QString& round, qsizetype applications, int reviewers,
                 qsizetype experts, qsizetype conflicts, qsizetype mismatches, int heaviest);

// collect
QString notThisRound(const QString& given, const QString& round);
QString unknownExpert(const QString& name);
QString headingsChanged();
QString sheetProblem(const QString& file, qsizetype row, const QString& why);
QString codeMissing(const QString& code);
QString rowWithoutCode();
QString notThisExpertsCode(const QString& code);
QString codeTwice(const QString& code, qsizetype firstRow);
QString titleChanged(const QString& code);
QString noScore(const QString& criterion);
QString notANumber(const QString& criterion, const QString& text);
QString outOfRange(const QString& criterion, const QString& text, int points);
QString totalNotTheSum(const QString& total, double sum);
QString cannotReadSheet(const QString& file, const QString& why);
QString cannotReadScores(const QString& file, const QString& why);
QString sheetRefused(const QString& file);
QString alreadyCollected(const QString& file, const QString& expert, const QString& earlier);
QString collected(qsizetype taken, qsizetype scores, qsizetype refused, qsizetype sheets, qsizetype allScores,
                  const QStringList& missing);
QStringList summaryHeadings();
QString sheetMissing();
QStringList missingHeadings();

// rank
QString badQuota(const QString& text);
QString unknownCategory(const QString& category, const QStringList& categories);
QString sheetRanking();
QStringList rankingHeadings();
QString recommendedHeading();
QString disagreement();
QString recommended();
QString sheetExperts();
QStringList expertStandingHeadings();
QString expertMeansChart();
QString ranked(const QString& out, qsizetype scored, qsizetype applications, qsizetype disagreements,
               qsizetype recommended);

// group
QString moreVotesThanPresent(int votes, int present);
QString morePresentThanMembers(int present, int members);
QString notACount(const QString& text);
QString notAnAmount(const QString& text);
QString badReasons(const QString& text);
QStringList yesWords();
QStringList noWords();
QString notYesOrNo(const QString& text);
QString badPlan(const QString& text);
QString tooManyYears(int most);
QString planNotTheAmount(double sum, const QString& amount);
QString cannotReadVotes(const QString& file, const QString& why);
QString votesHeadingChanged(const QString& file, const QStringList& heading);
QString notThisRoundsCode(const QString& code);
QString noVotes(const QString& folder, const QString& why);
QString nothingRecorded();
QString votesRecorded(qsizetype decided, qsizetype applications, qsizetype approved);

} // namespace shenbao::office::reviewmsg
