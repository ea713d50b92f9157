#include "cli/inputs.h"

#include "cli/messages.h"
#include "files/files.h"
#include "record/textrules.h"

#include <QDateTime>

#include <csignal>
#include <cstdio>
#ifdef Q_OS_WIN
#include <io.h>
#define SHENBAO_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define SHENBAO_ISATTY(fd) ::isatty(fd)
#endif

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void onInterrupt(int signal)
{
    g_interrupted = 1;
    std::signal(signal, SIG_DFL); // the second one ends the program
}

} // namespace

bool interrupted()
{
    return g_interrupted != 0;
}

void stopOnInterrupt()
{
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
}


DocumentResult documentResult(const OpenResult& opened, const std::optional<QStringList>& errorList, Needs needs)
{
    switch (openStatus(opened)) {
    case OpenStatus::Rejected:
        return {Outcome::Rejected, opened.error().message};
    case OpenStatus::Unreadable:
        // A file that could not be read at all: the reason alone, without the parser's line.
        return {Outcome::Unreadable,
                opened.error().fileMessage.isEmpty() ? opened.error().message : opened.error().fileMessage};
    case OpenStatus::Hollow:
        if (needs == Needs::Application) // nothing in it to search or to print
            return {Outcome::Rejected, rejectedMessage()};
        break;
    case OpenStatus::Loaded:
        break;
    }
    return {errorList && !errorList->isEmpty() ? Outcome::Incomplete : Outcome::Complete, {}};
}

DocumentResult documentResult(const OpenedDocument& d, Needs needs)
{
    return documentResult(d.document, d.errorList, needs);
}

QString outcomeWord(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Complete:
        return msg::statusComplete();
    case Outcome::Incomplete:
        return msg::statusIncomplete();
    case Outcome::Rejected:
        return msg::statusRejected();
    case Outcome::Unreadable:
        break;
    }
    return msg::statusError();
}

QString outcomeKey(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Complete:
        return u"complete"_s;
    case Outcome::Incomplete:
        return u"incomplete"_s;
    case Outcome::Rejected:
        return u"rejected"_s;
    case Outcome::Unreadable:
        break;
    }
    return u"error"_s;
}

QString boxLines(const QString& message)
{
    return message.split(u"\r\n"_s, Qt::SkipEmptyParts).join(u"\n    "_s);
}


void countDocument(Tally& tally, Progress& progress, const QString& shown, const DocumentResult& document)
{
    ++tally.counts[std::size_t(document.outcome)];
    if (!document.message.isEmpty())
        progress.write(shown + QStringLiteral(": ") + boxLines(document.message));
}

bool outputLost(Invocation& invocation, Tally& tally)
{
    if (invocation.out().status() == QTextStream::Ok)
        return false;
    tally.outputFailed = true;
    return true;
}

int Tally::exitStatus(bool incompleteCounts) const
{
    if ((*this)[Outcome::Rejected] || (*this)[Outcome::Unreadable] || problems || outputFailed)
        return Failure;
    return incompleteCounts && (*this)[Outcome::Incomplete] ? Incomplete : Ok;
}

Progress::Progress(QTextStream& err, qsizetype total)
    : m_err(err), m_total(total), m_terminal(SHENBAO_ISATTY(2) != 0),
      m_started(QDateTime::currentMSecsSinceEpoch())
{
}

Progress::~Progress()
{
    clear();
}

void Progress::step(qsizetype done)
{
    if (!m_terminal)
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_started < 1000 || now - m_drawn < 100)
        return;
    m_drawn = now;
    constexpr int kWidth = 40;
    const int filled = m_total ? int(done * kWidth / m_total) : kWidth;
    m_err << '\r' << '[' << QString(filled, u'#') << QString(kWidth - filled, u'-') << "] " << done << '/'
          << m_total << Qt::flush;
    m_shown = true;
}

void Progress::write(const QString& line)
{
    clear();
    m_err << line << '\n';
    m_drawn = -1; // drawn again at the next step
}

void Progress::clear()
{
    if (!m_shown)
        return;
    m_err << '\r' << QString(60, u' ') << '\r' << Qt::flush;
    m_shown = false;
}

} // namespace shenbao::cli
