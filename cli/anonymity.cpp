// xdxtool anonymity: the loose leaves go to the reviewers without the applicant's name or unit.
#include "check/anonymity.h"
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/messages.h"
#include "record/textrules.h"
#include "session/session.h"
#include "xdx/xdxjson.h"

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

struct Scanned
{
    DocumentResult document;
    AnonymityFindings findings;
};

Scanned scanFile(const QString& file)
{
    const OpenedDocument v = openDocument(file);
    Scanned s{documentResult(v, Needs::Application), {}};
    if (v.status() == OpenStatus::Loaded)
        s.findings = findNamesInLooseLeaves(v.record);
    return s;
}

} // namespace

int anonymityCommand(Invocation& invocation)
{
    const std::optional<QStringList> inputs = invocation.files();
    if (!inputs)
        return invocation.status();
    const bool json = invocation.isSet(u"json");
    QTextStream& out = invocation.out();
    qsizetype found = 0, named = 0;
    if (json)
        out << '[';
    Progress progress(invocation.err(), inputs->size());
    const Tally tally = forEachDocument<Scanned>(
        invocation, *inputs, [](const QString& file, qsizetype) { return scanFile(file); },
        [&](qsizetype i, const QString& shown, const Scanned& s) {
            const std::vector<AnonymityHit>& hits = s.findings.hits;
            if (s.findings.total) {
                ++named;
                found += s.findings.total;
            }
            if (json) {
                QString line = (i ? u",\n  {\"file\": "_s : u"\n  {\"file\": "_s) + jsonString(shown);
                line += u", \"message\": "_s + (s.document.message.isEmpty() ? u"null"_s : jsonString(s.document.message));
                line += u", \"total\": "_s + QString::number(s.findings.total);
                line += u", \"hits\": ["_s;
                for (std::size_t h = 0; h < hits.size(); ++h) {
                    const AnonymityHit& hit = hits[h];
                    line += (h ? u", {"_s : u"{"_s) + u"\"field\": "_s + jsonString(fieldName(hit.field)) +
                            u", \"line\": "_s + QString::number(hit.line) + u", \"text\": "_s + jsonString(hit.text) +
                            u", \"source\": "_s + jsonString(anonymitySourceName(hit)) + u", \"context\": "_s +
                            jsonString(hit.context) + (hit.weak ? u", \"weak\": true}"_s : u", \"weak\": false}"_s);
                }
                out << line << "]}";
                return;
            }
            for (const AnonymityHit& hit : hits)
                out << shown << ": "
                    << msg::anonymityHit(fieldName(hit.field), hit.line, visibleControls(hit.text),
                                         anonymitySourceName(hit), hit.context, hit.weak)
                    << '\n';
            if (s.findings.total > qsizetype(hits.size()))
                out << shown << ": " << msg::moreHits(s.findings.total - qsizetype(hits.size())) << '\n';
        },
        progress);
    if (json)
        out << "\n]\n";
    progress.write(msg::anonymitySummary(tally.files(), named, found));
    const int status = tally.exitStatus(false);
    return status == Ok && named ? int(Found) : status;
}

} // namespace shenbao::cli
