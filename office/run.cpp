#include "office/run.h"

#include "office/messages.h"

#include <csignal>

using namespace Qt::StringLiterals;

namespace shenbao::office {
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

DocumentResult documentResult(const OpenResult& opened, const std::optional<QStringList>& errorList,
                              Needs needs)
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

void countDocument(Tally& tally, RunReport& report, const QString& shown, const DocumentResult& document)
{
    ++tally.counts[std::size_t(document.outcome)];
    if (!document.message.isEmpty())
        report.say(shown + QStringLiteral(": ") + boxLines(document.message));
}

int Tally::exitStatus(bool incompleteCounts) const
{
    if ((*this)[Outcome::Rejected] || (*this)[Outcome::Unreadable] || problems || outputFailed)
        return kFailure;
    return incompleteCounts && (*this)[Outcome::Incomplete] ? kIncomplete : kOk;
}

} // namespace shenbao::office
