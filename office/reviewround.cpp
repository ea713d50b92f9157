#include "office/reviewround.h"

#include "files/files.h"
#include "office/reviewassign.h"
#include "office/reviewbooks.h"
#include "office/reviewmessages.h"
#include "office/reviewroster.h"
#include "session/session.h"

#ifdef SHENBAO_HAVE_GUI
#include "office/printing.h"
#endif

#include <algorithm>

using namespace Qt::StringLiterals;

namespace shenbao::office {
namespace {

// The files and folders a run made, removed again unless the run ends well.
class Written
{
public:
    ~Written()
    {
        if (m_kept)
            return;
        for (auto it = m_files.rbegin(); it != m_files.rend(); ++it)
            (void)removeFile(*it);
        for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it)
            (void)removeEmptyFolder(*it);
    }
    FileResult<void> folder(const QString& path)
    {
        QStringList missing; // the folder and those above it not there yet, innermost first
        for (QString p = path; !p.isEmpty() && pathKind(p) == PathKind::Missing;
             p = p.lastIndexOf(u'/') > 0 ? p.left(p.lastIndexOf(u'/')) : QString())
            missing.append(p);
        const FileResult<void> made = makeFolders(path);
        if (made)
            for (auto it = missing.rbegin(); it != missing.rend(); ++it)
                m_folders.push_back(*it);
        return made;
    }
    FileResult<void> file(const QString& path, const FileResult<void>& written)
    {
        if (written)
            m_files.push_back(path);
        return written;
    }
    void keep() { m_kept = true; }

private:
    std::vector<QString> m_files, m_folders;
    bool m_kept = false;
};

struct Gathered
{
    DocumentResult document;
    std::optional<ReviewApplication> application;
};

// The complete applications of the files, in code order, each with its file; the others said
// and left out.
std::vector<std::pair<ReviewApplication, QString>> gather(const AssignOrder& order, RunReport& report,
                                                          Tally& tally)
{
    std::vector<std::pair<ReviewApplication, QString>> gathered;
    tally = forEachDocument<Gathered>(
        order.files, order.jobs, order.problems,
        [](const QString& file, qsizetype) {
            const OpenedDocument v = openDocument(file);
            Gathered g{documentResult(v), std::nullopt};
            if (g.document.outcome == Outcome::Complete)
                g.application = reviewApplicationOf(v.record, shownPath(file));
            return g;
        },
        [&](qsizetype i, const QString& shown, Gathered& g) {
            if (g.application)
                gathered.emplace_back(std::move(*g.application), order.files[i]);
            else if (g.document.outcome == Outcome::Incomplete)
                report.say(reviewmsg::leftOutIncomplete(shown));
        },
        report);
    std::stable_sort(gathered.begin(), gathered.end(),
                     [](const auto& x, const auto& y) { return x.first.code < y.first.code; });
    // The same code twice is the same application (its identifier, title, leader and ID card).
    for (std::size_t i = 1; i < gathered.size();)
        if (gathered[i].first.code == gathered[i - 1].first.code) {
            report.say(reviewmsg::sameApplication(gathered[i].first.file, gathered[i - 1].first.file));
            gathered.erase(gathered.begin() + qsizetype(i));
        } else {
            ++i;
        }
    return gathered;
}

AssignmentProblem problemOf(const ReviewRound& round, const std::vector<std::vector<int>>& conflicts)
{
    AssignmentProblem p;
    p.reviewers = round.reviewers;
    for (const ReviewApplication& a : round.applications)
        p.subject.push_back(a.subjectIndex);
    for (const Expert& e : round.experts) {
        p.expertSubjects.push_back(e.subjects);
        p.maxLoad.push_back(e.maxLoad);
    }
    p.conflicts = conflicts;
    return p;
}

// Why application a lacks experts: too few without a conflict, or those all fully loaded.
QString shortfallReason(const ReviewRound& round, const AssignmentProblem& p, int a, int got)
{
    const ReviewApplication& app = round.applications[std::size_t(a)];
    int free = 0, ofSubject = 0;
    for (int e = 0; e < int(round.experts.size()); ++e) {
        if (p.maxLoad[std::size_t(e)] == 0 ||
            std::binary_search(p.conflicts[std::size_t(a)].begin(), p.conflicts[std::size_t(a)].end(), e))
            continue;
        ++free;
        if (app.subjectIndex >= 0 && (p.expertSubjects[std::size_t(e)] >> app.subjectIndex & 1u))
            ++ofSubject;
    }
    if (free < round.reviewers)
        return reviewmsg::tooFewWithoutConflict(app.code, app.file, app.subject, ofSubject, free,
                                                round.reviewers);
    return reviewmsg::expertsFull(app.code, app.file, got, round.reviewers);
}

#ifdef SHENBAO_HAVE_GUI
// Each expert's 活页.pdf: the loose leaves of the expert's applications in code order, each
// headed by its code; the experts on every core.
Expected<void, QString> writeLeaves(const ReviewRound& round, const QStringList& files,
                                    const AssignOrder& order, Written& written, RunReport& report)
{
    QString failure;
    forEachInOrder<Expected<QString, QString>>(
        qsizetype(round.experts.size()), order.jobs,
        [&](qsizetype e) -> Expected<QString, QString> {
            QStringList mine, codes;
            for (const int a : round.applicationsOf(int(e))) {
                mine.append(files[a]);
                codes.append(round.applications[std::size_t(a)].code);
            }
            if (mine.isEmpty())
                return QString();
            const QString out = order.folder + u'/' + round.expertFolder(int(e)) + u"/活页.pdf"_s;
            if (const Expected<void, QString> printed = printCodedLooseLeaves(mine, codes, out, order.paper);
                !printed)
                return unexpected(printed.error());
            return out;
        },
        [&](qsizetype e, Expected<QString, QString>& out) {
            report.step(e + 1);
            if (!out)
                failure = out.error();
            else if (!out->isEmpty())
                (void)written.file(*out, {});
            return out.has_value();
        });
    if (!failure.isEmpty() || interrupted())
        return unexpected(failure);
    return {};
}
#endif

// The round's files in its folder; the round itself last, so that a round half written is none.
Expected<void, QString> writeRound(const ReviewRound& round, const QStringList& files,
                                   const AssignOrder& order, Written& written, RunReport& report)
{
    const auto failed = [&](const QString& path, const FileError& e) {
        return unexpected(reviewmsg::cannotWrite(shownPath(path), e.why()));
    };
    if (const FileResult<void> made = written.folder(order.folder); !made)
        return failed(order.folder, made.error());
    for (int e = 0; e < int(round.experts.size()); ++e) {
        const QString folder = order.folder + u'/' + round.expertFolder(e);
        if (const FileResult<void> made = written.folder(folder); !made)
            return failed(folder, made.error());
        const QString sheet = folder + u"/评分表.xlsx"_s;
        if (const FileResult<void> w = written.file(sheet, writeScoreSheet(round, e, sheet)); !w)
            return failed(sheet, w.error());
        if (interrupted())
            return unexpected(QString());
    }
#ifdef SHENBAO_HAVE_GUI
    if (const Expected<void, QString> leaves = writeLeaves(round, files, order, written, report); !leaves)
        return leaves;
#else
    Q_UNUSED(files);
    report.say(reviewmsg::noLeavesHere());
#endif
    const QString book = order.folder + u"/分配.xlsx"_s;
    if (const FileResult<void> w = written.file(book, writeAssignmentBook(round, book)); !w)
        return failed(book, w.error());
    const QString votes = order.folder + u"/表决.xlsx"_s;
    if (const FileResult<void> w = written.file(votes, writeVotesSheet(round, votes)); !w)
        return failed(votes, w.error());
    const QString state = order.folder + u'/' + QString::fromUtf16(kRoundFile);
    if (const FileResult<void> w = written.file(state, replaceFile(state, roundToJson(round))); !w)
        return failed(state, w.error());
    return {};
}

} // namespace

int assignRound(const AssignOrder& order, RunReport& report)
{
    const Expected<std::vector<Expert>, QStringList> roster = readRoster(order.roster);
    if (!roster) {
        for (const QString& problem : roster.error())
            report.say(problem);
        report.say(reviewmsg::nothingWritten());
        return kFailure;
    }
    // Scores already collected belong to the round as it was: a new assignment would orphan them.
    if (pathKind(order.folder + u'/' + QString::fromUtf16(kScoresFile)) != PathKind::Missing) {
        report.say(reviewmsg::scoresAlreadyCollected(shownPath(order.folder)));
        return kFailure;
    }
    Tally tally;
    std::vector<std::pair<ReviewApplication, QString>> gathered = gather(order, report, tally);
    if (tally.outputFailed || interrupted())
        return kFailure;
    ReviewRound round;
    round.reviewers = order.reviewers;
    round.criteria = order.criteria;
    round.experts = *roster;
    QStringList files;
    for (auto& [app, file] : gathered) {
        round.applications.push_back(std::move(app));
        files.append(file);
    }
    if (round.applications.empty()) {
        report.say(reviewmsg::noApplications());
        return kFailure;
    }
    const std::vector<std::vector<int>> conflicts =
        findConflicts(round.applications, round.experts, order.rules);
    const AssignmentProblem problem = problemOf(round, conflicts);
    const Assignment assignment = assignReviewers(problem);
    bool short_ = false;
    for (int a = 0; a < int(round.applications.size()); ++a)
        if (const int lacks = assignment.shortfall[std::size_t(a)]; lacks > 0) {
            report.say(shortfallReason(round, problem, a, round.reviewers - lacks));
            short_ = true;
        }
    if (short_) {
        report.say(reviewmsg::nothingWritten());
        return kFailure;
    }
    round.assigned = assignment.experts;
    round.id = roundIdOf(round);

    Written written;
    if (const Expected<void, QString> done = writeRound(round, files, order, written, report); !done) {
        if (!done.error().isEmpty())
            report.say(done.error());
        report.say(reviewmsg::nothingWritten());
        return kFailure;
    }
    written.keep();
    qsizetype mismatches = 0;
    int heaviest = 0;
    std::vector<int> load(round.experts.size(), 0);
    for (std::size_t a = 0; a < round.assigned.size(); ++a)
        for (const int e : round.assigned[a]) {
            heaviest = std::max(heaviest, ++load[std::size_t(e)]);
            const int s = round.applications[a].subjectIndex;
            mismatches += s >= 0 && (round.experts[std::size_t(e)].subjects >> s & 1u) ? 0 : 1;
        }
    qsizetype conflictCount = 0;
    for (const std::vector<int>& c : conflicts)
        conflictCount += qsizetype(c.size());
    report.say(reviewmsg::assigned(shownPath(order.folder), round.id, qsizetype(round.applications.size()),
                                   round.reviewers, qsizetype(round.experts.size()), conflictCount,
                                   mismatches, heaviest));
    return tally.exitStatus(true);
}

} // namespace shenbao::office
