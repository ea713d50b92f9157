#include "office/reviewgroup.h"

#include "check/textfold.h"
#include "files/files.h"
#include "office/reviewbooks.h"
#include "office/reviewmessages.h"
#include "office/spreadsheet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

enum Column {
    Code,
    Title,
    Members,
    Present,
    For,
    Against,
    Abstaining,
    Opinion,
    Reasons,
    Approved,
    Category,
    Amount,
    Payments,
    Plan,
    Columns
};
constexpr qsizetype kLongestCell = 32767;
constexpr qint64 kMostVotesBytes = qint64(64) << 20;
constexpr double kAmountTolerance = 1e-6;

// A row of the sheet read into a decision; its problems said through problem(column, why).
class VoteRow
{
public:
    VoteRow(const QStringList& cells, const std::function<void(Column, const QString&)>& problem)
        : m_cells(cells), m_problem(problem)
    {
    }

    GroupDecision read()
    {
        GroupDecision d;
        d.members = count(Members);
        d.present = count(Present);
        d.inFavour = count(For);
        d.against = count(Against);
        d.abstaining = count(Abstaining);
        const int votes = d.inFavour.value_or(0) + d.against.value_or(0) + d.abstaining.value_or(0);
        if (d.present && votes > *d.present)
            m_problem(For, reviewmsg::moreVotesThanPresent(votes, *d.present));
        if (d.present && d.members && *d.present > *d.members)
            m_problem(Present, reviewmsg::morePresentThanMembers(*d.present, *d.members));
        d.opinion = cell(Opinion);
        reasons(d);
        approval(d);
        d.category = cell(Category);
        d.amount = number(Amount) ? cell(Amount) : QString();
        if (const std::optional<int> n = count(Payments))
            d.payments = QString::number(*n);
        plan(d);
        return d;
    }

private:
    QString cell(Column c) const { return m_cells.value(c).trimmed(); }

    std::optional<int> count(Column c)
    {
        const QString t = cell(c);
        if (t.isEmpty())
            return std::nullopt;
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok || v < 0 || v != std::floor(v) || v > 1e6) {
            m_problem(c, reviewmsg::notACount(t));
            return std::nullopt;
        }
        return int(v);
    }

    std::optional<double> number(Column c, const QString& given = {})
    {
        const QString t = given.isEmpty() ? cell(c) : given;
        if (t.isEmpty())
            return std::nullopt;
        bool ok = false;
        const double v = t.toDouble(&ok);
        if (!ok || v < 0 || !std::isfinite(v)) {
            m_problem(c, reviewmsg::notAnAmount(t));
            return std::nullopt;
        }
        return v;
    }

    // "1": the loose leaves failed; "2" and the problems (1) to (8), written as the group likes:
    // "2：1、3", "2(1)(3)", "2 1 3".
    void reasons(GroupDecision& d)
    {
        const QString t = fold::folded(cell(Reasons));
        if (t.isEmpty())
            return;
        static const QRegularExpression kDigits(u"\\d+"_s);
        QList<int> numbers;
        for (const QRegularExpressionMatch& m : kDigits.globalMatch(t))
            numbers.append(m.captured().toInt());
        if (numbers.isEmpty() || (numbers[0] != 1 && numbers[0] != 2) ||
            (numbers[0] == 1 && numbers.size() > 1)) {
            m_problem(Reasons, reviewmsg::badReasons(cell(Reasons)));
            return;
        }
        d.leavesFailed = numbers[0] == 1;
        d.voteFailed = numbers[0] == 2;
        for (qsizetype i = 1; i < numbers.size(); ++i) {
            if (numbers[i] < 1 || numbers[i] > kVoteProblems) {
                m_problem(Reasons, reviewmsg::badReasons(cell(Reasons)));
                return;
            }
            d.problems.push_back(numbers[i]);
        }
        std::sort(d.problems.begin(), d.problems.end());
        d.problems.erase(std::unique(d.problems.begin(), d.problems.end()), d.problems.end());
    }

    void approval(GroupDecision& d)
    {
        const QString t = cell(Approved);
        if (t.isEmpty())
            return;
        if (reviewmsg::yesWords().contains(t))
            d.approved = true;
        else if (reviewmsg::noWords().contains(t))
            d.approved = false;
        else
            m_problem(Approved, reviewmsg::notYesOrNo(t));
    }

    // "2027:3，2028:2": up to five years, each with its amount, adding up to the amount.
    void plan(GroupDecision& d)
    {
        const QString t = cell(Plan);
        if (t.isEmpty())
            return;
        static const QRegularExpression kBetween(u"[,，;；、\\n]"_s);
        static const QRegularExpression kInside(u"[:：]"_s);
        double sum = 0;
        for (const QString& part : t.split(kBetween, Qt::SkipEmptyParts)) {
            const QStringList yearAndAmount = part.split(kInside);
            const QString year = yearAndAmount.value(0).trimmed().remove(u'年');
            const bool yearOk = year.size() == 4 &&
                                std::all_of(year.begin(), year.end(), [](QChar c) { return c.isDigit(); });
            const std::optional<double> amount =
                yearAndAmount.size() == 2 ? number(Plan, yearAndAmount[1].trimmed()) : std::nullopt;
            if (!yearOk || !amount) {
                m_problem(Plan, reviewmsg::badPlan(part.trimmed()));
                return;
            }
            d.plan.emplace_back(year, yearAndAmount[1].trimmed());
            sum += *amount;
        }
        if (d.plan.size() > std::size_t(kPlanYears))
            m_problem(Plan, reviewmsg::tooManyYears(kPlanYears));
        if (const std::optional<double> amount = number(Amount);
            amount && std::abs(*amount - sum) > kAmountTolerance)
            m_problem(Plan, reviewmsg::planNotTheAmount(sum, cell(Amount)));
    }

    const QStringList& m_cells;
    std::function<void(Column, const QString&)> m_problem;
};

QJsonObject toJson(const GroupDecision& d)
{
    QJsonObject o;
    const auto count = [&](const char16_t* key, const std::optional<int>& v) {
        if (v)
            o[QString::fromUtf16(key)] = *v;
    };
    count(u"members", d.members);
    count(u"present", d.present);
    count(u"for", d.inFavour);
    count(u"against", d.against);
    count(u"abstaining", d.abstaining);
    o[u"opinion"_s] = d.opinion;
    o[u"leavesFailed"_s] = d.leavesFailed;
    o[u"voteFailed"_s] = d.voteFailed;
    QJsonArray problems;
    for (const int p : d.problems)
        problems.append(p);
    o[u"problems"_s] = problems;
    if (d.approved)
        o[u"approved"_s] = *d.approved;
    o[u"category"_s] = d.category;
    o[u"amount"_s] = d.amount;
    o[u"payments"_s] = d.payments;
    QJsonArray plan;
    for (const auto& [year, amount] : d.plan)
        plan.append(QJsonArray{year, amount});
    o[u"plan"_s] = plan;
    return o;
}

GroupDecision fromJson(const QJsonObject& o)
{
    GroupDecision d;
    const auto count = [&](const char16_t* key) -> std::optional<int> {
        const QJsonValue v = o.value(QString::fromUtf16(key));
        return v.isDouble() ? std::optional<int>(v.toInt()) : std::nullopt;
    };
    d.members = count(u"members");
    d.present = count(u"present");
    d.inFavour = count(u"for");
    d.against = count(u"against");
    d.abstaining = count(u"abstaining");
    d.opinion = o.value(u"opinion"_s).toString();
    d.leavesFailed = o.value(u"leavesFailed"_s).toBool();
    d.voteFailed = o.value(u"voteFailed"_s).toBool();
    for (const QJsonValue& p : o.value(u"problems"_s).toArray())
        if (p.toInt() >= 1 && p.toInt() <= kVoteProblems)
            d.problems.push_back(p.toInt());
    if (o.value(u"approved"_s).isBool())
        d.approved = o.value(u"approved"_s).toBool();
    d.category = o.value(u"category"_s).toString();
    d.amount = o.value(u"amount"_s).toString();
    d.payments = o.value(u"payments"_s).toString();
    for (const QJsonValue& y : o.value(u"plan"_s).toArray())
        if (d.plan.size() < std::size_t(kPlanYears))
            d.plan.emplace_back(y[0].toString(), y[1].toString());
    return d;
}

} // namespace

Expected<std::map<QString, GroupDecision>, QStringList> readVotes(const ReviewRound& round,
                                                                  const QString& path)
{
    const QString shown = shownPath(path);
    const Expected<SpreadsheetRows, QString> rows = readSpreadsheet(path, Columns, kLongestCell);
    if (!rows)
        return unexpected(QStringList{reviewmsg::cannotReadVotes(shown, rows.error())});
    const QStringList heading = votesHeadings();
    if (rows->empty() || rows->begin()->first != 1 || rows->begin()->second.mid(0, Columns) != heading)
        return unexpected(QStringList{reviewmsg::votesHeadingChanged(shown, heading)});
    std::map<QString, GroupDecision> decisions;
    std::map<QString, qsizetype> rowOf;
    QStringList problems;
    for (auto it = std::next(rows->begin()); it != rows->end(); ++it) {
        const QStringList& cells = it->second;
        const auto problem = [&](Column c, const QString& why) {
            problems.append(reviewmsg::rosterProblem(shown, it->first, heading[c], why));
        };
        const QString code = cells.value(Code).trimmed();
        bool filled = false;
        for (int c = Members; c < Columns; ++c)
            filled = filled || !cells.value(c).trimmed().isEmpty();
        if (!filled)
            continue; // not voted on yet
        if (round.applicationByCode(code) < 0) {
            problem(Code, reviewmsg::notThisRoundsCode(code));
            continue;
        }
        if (const auto [first, fresh] = rowOf.emplace(code, it->first); !fresh) {
            problem(Code, reviewmsg::codeTwice(code, first->second));
            continue;
        }
        decisions[code] = VoteRow(cells, problem).read();
    }
    if (!problems.isEmpty())
        return unexpected(problems);
    return decisions;
}

Expected<std::map<QString, GroupDecision>, QString> readDecisions(const QString& folder)
{
    const QString path = folder + u'/' + QString::fromUtf16(kVotesFile);
    const FileResult<QByteArray> bytes = readRegularFile(path, kMostVotesBytes);
    if (!bytes)
        return unexpected(reviewmsg::noVotes(shownPath(folder), bytes.error().why()));
    const QJsonObject o = QJsonDocument::fromJson(*bytes).object();
    if (o.value(u"program"_s).toString() != u"xdxtool review votes")
        return unexpected(reviewmsg::noVotes(shownPath(folder), reviewmsg::notARound()));
    std::map<QString, GroupDecision> decisions;
    const QJsonObject byCode = o.value(u"decisions"_s).toObject();
    for (auto it = byCode.begin(); it != byCode.end(); ++it)
        decisions[it.key()] = fromJson(it.value().toObject());
    return decisions;
}

int recordVotes(const QString& folder, const QString& votes, RunReport& report)
{
    const Expected<ReviewRound, QString> round = readRound(folder);
    if (!round) {
        report.say(round.error());
        return kFailure;
    }
    const Expected<std::map<QString, GroupDecision>, QStringList> decisions = readVotes(*round, votes);
    if (!decisions) {
        for (const QString& p : decisions.error())
            report.say(p);
        report.say(reviewmsg::nothingRecorded());
        return kFailure;
    }
    QJsonObject byCode;
    qsizetype approved = 0;
    for (const auto& [code, d] : *decisions) {
        byCode[code] = toJson(d);
        approved += d.approved.value_or(false) ? 1 : 0;
    }
    const QJsonObject o{
        {u"program"_s, u"xdxtool review votes"_s}, {u"round"_s, round->id}, {u"decisions"_s, byCode}};
    const QString out = folder + u'/' + QString::fromUtf16(kVotesFile);
    if (const FileResult<void> w = replaceFile(out, QJsonDocument(o).toJson(QJsonDocument::Indented)); !w) {
        report.say(reviewmsg::cannotWrite(shownPath(out), w.error().why()));
        return kFailure;
    }
    report.say(reviewmsg::votesRecorded(qsizetype(decisions->size()), qsizetype(round->applications.size()),
                                        approved));
    return kOk;
}

} // namespace shenbao::office
