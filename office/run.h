#pragma once

#include "files/files.h"
#include "session/session.h"

#include <QStringList>
#include <QThread>

#include <array>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <vector>

// A run over a round's many documents: in input order on every core, each document's outcome
// counted and said, stopped by Ctrl+C or a reader that went away. What is said goes to a
// RunReport, which the command line (or any other front) provides.

namespace shenbao::office {

// Whether Ctrl+C or SIGTERM asked the run to stop: what is running finishes its piece, nothing
// new starts, and outputs half made are removed. A second Ctrl+C ends the program at once.
bool interrupted();
// Installs the handlers (the program's start).
void stopOnInterrupt();
// The exit statuses of a run: all well; something found or incomplete; a failure (a file
// refused or unreadable, an output not written); interrupted, as shells expect it (128 + SIGINT).
inline constexpr int kOk = 0, kIncomplete = 1, kFound = 1, kFailure = 2, kInterruptedStatus = 130;

// Runs work on every index in [0, count) on `jobs` threads and hands each result to deliver on the
// calling thread in index order. Workers run at most a few results ahead of deliver, so memory does
// not grow with count. A deliver that returns false stops the run: no further work is started.
template <class Result, class Work, class Deliver>
void forEachInOrder(qsizetype count, int jobs, Work work, Deliver deliver)
{
    const auto handOver = [&](qsizetype i, Result& r) {
        if constexpr (std::is_same_v<decltype(deliver(i, r)), bool>)
            return deliver(i, r);
        else
            return deliver(i, r), true;
    };
    if (jobs <= 1 || count <= 1) {
        for (qsizetype i = 0; i < count && !interrupted(); ++i) {
            Result r = work(i);
            if (!handOver(i, r))
                return;
        }
        return;
    }
    const qsizetype window = 4 * qsizetype(jobs);
    std::vector<std::optional<Result>> pending(static_cast<std::size_t>(window));
    std::mutex mutex;
    std::condition_variable changed;
    qsizetype next = 0, emitted = 0;
    bool stopped = false;
    auto worker = [&] {
        for (;;) {
            qsizetype i;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return stopped || next >= count || next < emitted + window; });
                if (stopped || next >= count)
                    return;
                i = next++;
            }
            Result r = work(i);
            {
                const std::lock_guard lock(mutex);
                pending[std::size_t(i % window)] = std::move(r);
            }
            changed.notify_all();
        }
    };
    // Qt's own threads: a worker that draws holds Qt's data of its thread (fonts, the PDF
    // writer's objects), which Qt tears down properly only in a thread it made (MinGW's threads
    // crashed at their end under Windows). They are waited for however the run ends.
    struct Workers
    {
        std::vector<std::unique_ptr<QThread>> threads;
        ~Workers()
        {
            for (const auto& t : threads)
                t->wait();
        }
    } workers;
    for (int j = 0; j < std::min<qsizetype>(jobs, count); ++j) {
        workers.threads.emplace_back(QThread::create(worker));
        workers.threads.back()->start();
    }
    for (qsizetype e = 0; e < count; ++e) {
        std::optional<Result> r;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return pending[std::size_t(e % window)].has_value(); });
            r = std::move(pending[std::size_t(e % window)]);
            pending[std::size_t(e % window)].reset();
            ++emitted;
        }
        changed.notify_all();
        if (!handOver(e, *r) || interrupted()) {
            {
                const std::lock_guard lock(mutex);
                stopped = true;
            }
            changed.notify_all();
            return; // the threads finish what they hold and end
        }
    }
}

// The four ways opening a document ends, as every command reports them.
enum class Outcome { Complete, Incomplete, Rejected, Unreadable };

// 完整, 不完整, 被拒绝, 无法读取
QString outcomeWord(Outcome outcome);
// complete, incomplete, rejected, error: the JSON's words
QString outcomeKey(Outcome outcome);
// What a command's work on one document hands back besides its own results.
struct DocumentResult
{
    Outcome outcome = Outcome::Complete;
    // The box the window would show (lines separated by CR LF), without a parser line for a
    // file that could not be read at all; empty when there is none.
    QString message;
};
// What a command needs of a document: any document of this system's (Document), or one that
// holds an application (a root without children holds none to search).
enum class Needs { Document, Application };
// How opening a document ended, as every command counts and reports it: the one place that
// maps an open to its outcome and message (and so to the exit status). Without a check, a
// readable document counts as complete.
DocumentResult documentResult(const OpenResult& opened, const std::optional<QStringList>& errorList,
                              Needs needs);
DocumentResult documentResult(const OpenedDocument& document, Needs needs = Needs::Document);
// A message's lines as one entry of the error stream: continuation lines indented.
QString boxLines(const QString& message);

// How many documents ended which way.
struct Tally
{
    std::array<qsizetype, 4> counts{};
    qsizetype problems = 0; // folders that could not be read
    bool outputFailed = false;

    qsizetype operator[](Outcome o) const { return counts[std::size_t(o)]; }
    qsizetype files() const { return counts[0] + counts[1] + counts[2] + counts[3]; }
    // 2 when a document was refused or unreadable (or a folder), else 1 for an incomplete one
    // when that counts, else 0.
    int exitStatus(bool incompleteCounts) const;
};

// Where a run says what it does.
class RunReport
{
public:
    virtual ~RunReport() = default;
    // A line for the person running it (a document's box under its name, a note).
    virtual void say(const QString& line) = 0;
    // How many of the run's pieces are done.
    virtual void step(qsizetype done) = 0;
    // Whether what the run writes can no longer be written (a closed pipe): the run ends, as
    // what follows would be lost.
    virtual bool outputLost() = 0;
};

// One document's outcome as every run reports it: counted, its box said under its name.
void countDocument(Tally& tally, RunReport& report, const QString& shown, const DocumentResult& document);

// Opens the files on jobs workers and hands each result to deliver in input order: the usual
// "open each file, report it, go on" of a run over many files. work(file, index) gives a Result
// that holds a DocumentResult `document`; its message is said under the file's name and its
// outcome counted. problems: the folders that could not be read, for the exit status.
template <class Result>
Tally forEachDocument(const QStringList& files, int jobs, qsizetype problems,
                      const std::function<Result(const QString&, qsizetype)>& work,
                      const std::function<void(qsizetype, const QString& shown, Result&)>& deliver,
                      RunReport& report)
{
    Tally tally;
    tally.problems = problems;
    forEachInOrder<Result>(
        files.size(), jobs, [&](qsizetype i) { return work(files[i], i); },
        [&](qsizetype i, Result& r) {
            const QString shown = shownPath(files[i]);
            countDocument(tally, report, shown, r.document);
            deliver(i, shown, r);
            report.step(i + 1);
            if (report.outputLost())
                tally.outputFailed = true;
            return !tally.outputFailed;
        });
    return tally;
}

} // namespace shenbao::office
