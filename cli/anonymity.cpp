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
    std::optional<JsonListOut<QTextStream>> list;
    if (json)
        list.emplace(out);
    Progress progress(invocation.err(), inputs->size());
    const Tally tally = forEachDocument<Scanned>(
        invocation, *inputs, [](const QString& file, qsizetype) { return scanFile(file); },
        [&](qsizetype, const QString& shown, const Scanned& s) {
            const std::vector<AnonymityHit>& hits = s.findings.hits;
            if (s.findings.total) {
                ++named;
                found += s.findings.total;
            }
            if (list) {
                JsonLine line;
                line.beginObject().field(u"file", shown).key(u"message").textOrNull(s.document.message);
                line.field(u"total", qint64(s.findings.total)).key(u"hits").beginArray();
                for (const AnonymityHit& hit : hits)
                    line.beginObject()
                        .field(u"field", fieldName(hit.field))
                        .field(u"line", hit.line)
                        .field(u"text", hit.text)
                        .field(u"source", anonymitySourceName(hit))
                        .field(u"context", hit.context)
                        .field(u"weak", hit.weak)
                        .endObject();
                list->add(line.endArray().endObject());
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
    if (list)
        list->finish();
    progress.write(msg::anonymitySummary(tally.files(), named, found));
    const int status = tally.exitStatus(false);
    return status == Ok && named ? int(Found) : status;
}

} // namespace shenbao::cli
