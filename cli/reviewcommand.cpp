// xdxtool review: the round after intake, from the experts' assignment to the ranking and the
// subject group's decision. The work is the office's; this reads the options and says it.
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/messages.h"
#include "office/reviewgroup.h"
#include "office/reviewrank.h"
#include "office/reviewround.h"
#include "office/reviewscores.h"

#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

// A report on standard error, without the bar of a run over many documents.
class PlainReport : public office::RunReport
{
public:
    explicit PlainReport(Invocation& invocation) : m_invocation(invocation) {}
    void say(const QString& line) override { m_invocation.err() << line << '\n'; }
    void step(qsizetype) override {}
    bool outputLost() override { return false; }

private:
    Invocation& m_invocation;
};

} // namespace

int reviewAssignCommand(Invocation& invocation)
{
    office::AssignOrder order;
    order.roster = invocation.value(u"experts");
    order.folder = invocation.value(u"o");
    if (order.roster.isEmpty())
        return invocation.usageError(msg::wantRoster());
    if (order.folder.isEmpty())
        return invocation.usageError(msg::wantRoundFolder());
    if (invocation.isSet(u"k")) {
        bool ok = false;
        order.reviewers = invocation.value(u"k").toInt(&ok);
        if (!ok || order.reviewers < 1 || order.reviewers > kMostReviewers)
            return invocation.usageError(msg::badReviewers(invocation.value(u"k"), kMostReviewers));
    }
    if (invocation.isSet(u"criteria")) {
        const auto criteria = office::parseCriteria(invocation.value(u"criteria"));
        if (!criteria)
            return invocation.usageError(criteria.error());
        order.criteria = *criteria;
    }
    order.rules.avoidCity = invocation.isSet(u"avoid-city");
    const QString paper = invocation.isSet(u"paper") ? invocation.value(u"paper") : u"a4"_s;
    if (paper.compare(u"letter", Qt::CaseInsensitive) == 0)
        order.paper = QPageSize(QPageSize::Letter);
    else if (paper.compare(u"a4", Qt::CaseInsensitive) != 0)
        return invocation.usageError(msg::unknownPaper(paper));
    const std::optional<QStringList> files = invocation.files();
    if (!files)
        return invocation.status();
    order.files = *files;
    order.jobs = invocation.jobs();
    order.problems = invocation.problems();
    Progress progress(invocation.err(), files->size());
    ToolReport report(invocation, progress);
    return office::assignRound(order, report);
}

int reviewCollectCommand(Invocation& invocation)
{
    const QStringList args = invocation.positional();
    if (args.size() < 2)
        return invocation.usageError(msg::wantFolderAndSheets());
    office::CollectOrder order{args.first(), args.mid(1), invocation.isSet(u"replace")};
    Progress progress(invocation.err(), order.sheets.size());
    ToolReport report(invocation, progress);
    return office::collectScores(order, report);
}

int reviewRankCommand(Invocation& invocation)
{
    if (invocation.positional().size() != 1)
        return invocation.usageError(msg::wantRoundFolder());
    std::map<QString, int> quotas;
    if (invocation.isSet(u"quota")) {
        const auto parsed = office::parseQuotas(invocation.value(u"quota"));
        if (!parsed)
            return invocation.usageError(parsed.error());
        quotas = *parsed;
    }
    PlainReport report(invocation);
    return office::writeRanking(invocation.positional().first(), quotas, report);
}

int reviewGroupCommand(Invocation& invocation)
{
    if (invocation.positional().size() != 1)
        return invocation.usageError(msg::wantRoundFolder());
    if (invocation.value(u"votes").isEmpty())
        return invocation.usageError(msg::wantVotes());
    PlainReport report(invocation);
    return office::recordVotes(invocation.positional().first(), invocation.value(u"votes"), report);
}

} // namespace shenbao::cli
