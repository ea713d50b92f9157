#pragma once

#include "cli/xdxtool.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace shenbao::cli {

// The options of every command that takes many files: folders (-r for their subfolders),
// --files-from (a list, "-" for standard input: 20,000 names never meet the argument limit) and
// -j (workers, the number of cores by default).
class ManyFiles
{
public:
    void addTo(QCommandLineParser& parser);
    // addTo, parseArguments and files in one: the usual start of a command over many files.
    std::optional<QStringList> parse(QCommandLineParser& parser, const QStringList& args, Io& io,
                                     const QString& command, int* status);
    // The files in input order: a file as given (a missing one too: its command reports it), a
    // folder's *.xdx sorted by name. On a usage error writes it and returns nothing, *status set.
    std::optional<QStringList> files(const QCommandLineParser& parser, Io& io, const QString& command,
                                     int* status) const;
    int jobs(const QCommandLineParser& parser) const;

private:
    QCommandLineOption m_recursive{QStringList{QStringLiteral("r"), QStringLiteral("recursive")}};
    QCommandLineOption m_filesFrom{QStringLiteral("files-from"), QString(), QStringLiteral("FILE")};
    QCommandLineOption m_jobs{QStringLiteral("j"), QString(), QStringLiteral("N")};
};

// Shows how far a long run has come on standard error, when that is a terminal and the run has
// taken more than a second; nothing otherwise. Text written to err goes through write().
class Progress
{
public:
    Progress(QTextStream& err, qsizetype total);
    ~Progress();
    void step(qsizetype done);
    // Writes a line to err above the bar.
    void write(const QString& line);

private:
    void clear();
    QTextStream& m_err;
    qsizetype m_total;
    bool m_terminal;
    qint64 m_started;
    qint64 m_drawn = -1;
    bool m_shown = false;
};

// Runs work on every index in [0, count) on `jobs` threads and hands each result to deliver on the
// calling thread in index order. Workers run at most a few results ahead of deliver, so memory does
// not grow with count.
template <class Result, class Work, class Deliver>
void forEachInOrder(qsizetype count, int jobs, Work work, Deliver deliver)
{
    if (jobs <= 1 || count <= 1) {
        for (qsizetype i = 0; i < count; ++i) {
            Result r = work(i);
            deliver(i, r);
        }
        return;
    }
    const qsizetype window = 4 * qsizetype(jobs);
    std::vector<std::optional<Result>> pending(static_cast<std::size_t>(window));
    std::mutex mutex;
    std::condition_variable changed;
    qsizetype next = 0, emitted = 0;
    auto worker = [&] {
        for (;;) {
            qsizetype i;
            {
                std::unique_lock lock(mutex);
                changed.wait(lock, [&] { return next >= count || next < emitted + window; });
                if (next >= count)
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
    std::vector<std::jthread> threads;
    for (int j = 0; j < std::min<qsizetype>(jobs, count); ++j)
        threads.emplace_back(worker);
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
        deliver(e, *r);
    }
}

} // namespace shenbao::cli
