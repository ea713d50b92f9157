#pragma once

#include "cli/command.h"
#include "office/run.h"

#include <QStringList>

#include <functional>

namespace shenbao::cli {

using office::boxLines;
using office::documentResult;
using office::DocumentResult;
using office::forEachInOrder;
using office::interrupted;
using office::Needs;
using office::Outcome;
using office::outcomeKey;
using office::outcomeWord;
using office::Tally;

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

// The tool's side of a run: lines above the progress bar on standard error, the bar's steps,
// and the output's state.
class ToolReport : public office::RunReport
{
public:
    ToolReport(Invocation& invocation, Progress& progress) : m_invocation(invocation), m_progress(progress) {}
    void say(const QString& line) override { m_progress.write(line); }
    void step(qsizetype done) override { m_progress.step(done); }
    bool outputLost() override { return m_invocation.out().status() != QTextStream::Ok; }

private:
    Invocation& m_invocation;
    Progress& m_progress;
};

// Whether the output can no longer be written (a closed pipe), which ends a run: what follows
// would be lost.
bool outputLost(Invocation& invocation, office::Tally& tally);

// A run over the invocation's files on its workers, said on its streams.
template <class Result>
office::Tally forEachDocument(Invocation& invocation, const QStringList& files,
                              const std::function<Result(const QString&, qsizetype)>& work,
                              const std::function<void(qsizetype, const QString& shown, Result&)>& deliver,
                              Progress& progress)
{
    ToolReport report(invocation, progress);
    return office::forEachDocument<Result>(files, invocation.jobs(), invocation.problems(), work, deliver,
                                           report);
}

} // namespace shenbao::cli
