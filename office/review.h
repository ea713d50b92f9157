#pragma once

#include "files/expected.h"
#include "record/applicationrecord.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The review round after intake: experts from a roster, each application given to experts
// without a conflict of interest, their scores collected and ranked, the subject group's vote
// and the decision recorded. The round lives in a folder of its own; this is what it holds.

namespace shenbao::office {

// Experts per application unless asked otherwise.
inline constexpr int kDefaultReviewers = 5;
// The files the round keeps in its folder.
inline constexpr char16_t kRoundFile[] = u"评审轮次.json";
inline constexpr char16_t kScoresFile[] = u"评分数据.json";
inline constexpr char16_t kVotesFile[] = u"评审组表决.json";

struct Criterion
{
    QString name;
    int points = 0;
};
// 选题 20, 论证 30, 创新 20, 可行 30.
std::vector<Criterion> defaultCriteria();
// "选题:20,论证:30,…" (commas, semicolons or 、 between, : or ： inside), or why not.
Expected<std::vector<Criterion>, QString> parseCriteria(const QString& text);

struct Expert
{
    qsizetype row = 0; // in the roster
    QString name, unit, city, contact;
    quint32 subjects = 0; // bit i: the form's subject i (the items of 学科分类)
    int maxLoad = 0;
    QStringList avoidUnits;
};
// The form's subjects, in their order.
QStringList formSubjects();
QStringList subjectNames(quint32 subjects);

// An application as the review sees it.
struct ReviewApplication
{
    QString code;
    QString file; // as shown to a person
    QString title, category, subject;
    int subjectIndex = -1; // into formSubjects(), or -1
    QString city;
    QStringList names;    // the leader, then the participants
    QStringList units;    // the leader's unit, then the participants'
    QString recommenders; // the two recommenders' opinions, which they sign
};
ReviewApplication reviewApplicationOf(const ApplicationRecord& record, const QString& file);

// The application's anonymous code: eight letters and digits from a digest of its identifier,
// title, leader and ID card. The same application has the same code in every run; nothing of its
// file's name or of its place in a list goes into it.
QString applicationCode(const ApplicationRecord& record);

// The round as assign leaves it: what collect, rank, group and the printouts read.
struct ReviewRound
{
    QString id; // from the applications, the experts and the criteria: the same inputs, the same id
    int reviewers = kDefaultReviewers;
    std::vector<Criterion> criteria;
    std::vector<Expert> experts;
    std::vector<ReviewApplication> applications; // in code order; names, units and opinions not kept
    std::vector<std::vector<int>> assigned;      // per application, its experts ascending

    int maxScore() const;
    // The expert's folder in the round's, relative: "专家/007 张三".
    QString expertFolder(int expert) const;
    // The expert's applications, in code order.
    std::vector<int> applicationsOf(int expert) const;
    int applicationByCode(const QString& code) const; // -1 when none
};

// The round's id: a digest of its applications, experts, reviewers and criteria.
QString roundIdOf(const ReviewRound& round);
QByteArray roundToJson(const ReviewRound& round);
Expected<ReviewRound, QString> roundFromJson(const QByteArray& json);
// The round in folder, or why not (no round there, a file not of this program).
Expected<ReviewRound, QString> readRound(const QString& folder);

} // namespace shenbao::office
