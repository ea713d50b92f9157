// xdxtool similar: applications that copy each other, found across a round without comparing
// every pair in full: each file sketched once, only the pairs whose sketches agree compared.
#include "check/similarity.h"
#include "cli/commands.h"
#include "cli/inputs.h"
#include "cli/messages.h"
#include "cli/similar.h"
#include "record/textrules.h"
#include "session/session.h"
#include "xdx/xdxjson.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

using namespace Qt::StringLiterals;

namespace shenbao::cli {
namespace {

struct Sketched
{
    DocumentResult document;
    SimilaritySketch sketch;
};

} // namespace

void similarPairs(const QStringList& files, const std::vector<SimilaritySketch>& sketches, int jobs,
                  const std::function<bool(SimilarPair&)>& deliver)
{
    const std::vector<std::pair<int, int>> candidates = similarCandidates(sketches);
    // Copies of one application (the same texts) compare alike with anything: such a comparison is
    // made once and kept while more pairs need it.
    using Key = std::pair<quint64, quint64>;
    const auto keyOf = [&](int a, int b) {
        return Key{sketches[std::size_t(a)].texts, sketches[std::size_t(b)].texts};
    };
    std::map<Key, int> uses;
    for (const auto& [a, b] : candidates)
        ++uses[keyOf(a, b)];
    std::erase_if(uses, [](const auto& u) { return u.second < 2; });
    std::map<Key, std::optional<Similarity>> kept;
    std::mutex keeping;

    forEachInOrder<std::optional<SimilarPair>>(
        qsizetype(candidates.size()), jobs,
        [&](qsizetype k) -> std::optional<SimilarPair> {
            const auto [a, b] = candidates[std::size_t(k)];
            const Key key = keyOf(a, b);
            const bool shared = uses.contains(key);
            std::optional<Similarity> s;
            bool known = false;
            if (shared) {
                const std::lock_guard lock(keeping);
                if (const auto it = kept.find(key); it != kept.end()) {
                    s = it->second;
                    known = true;
                }
            }
            if (!known) {
                // Read again for the full comparison: a round holds few candidates, never all pairs.
                const OpenedDocument x = openDocument(files[a]), y = openDocument(files[b]);
                if (x.status == OpenResult::Status::Loaded && y.status == OpenResult::Status::Loaded)
                    if (Similarity full = compareApplications(x.record, y.record); full.similar())
                        s = std::move(full);
            }
            if (shared) {
                const std::lock_guard lock(keeping);
                if (--uses.at(key) == 0)
                    kept.erase(key);
                else if (!known)
                    kept.emplace(key, s);
            }
            if (!s)
                return std::nullopt;
            return SimilarPair{a, b, std::move(*s)};
        },
        [&](qsizetype, std::optional<SimilarPair>& p) { return !p || deliver(*p); });
}

std::vector<SimilaritySketch> sketchFiles(Invocation& invocation, const QStringList& files,
                                          Progress& progress, Tally* tally)
{
    std::vector<SimilaritySketch> sketches;
    sketches.reserve(std::size_t(files.size()));
    *tally = forEachDocument<Sketched>(
        invocation, files,
        [](const QString& file, qsizetype) {
            const OpenedDocument v = openDocument(file);
            Sketched s{documentResult(v), {}};
            if (v.status == OpenResult::Status::Loaded)
                s.sketch = sketchOf(v.record);
            return s;
        },
        [&](qsizetype, const QString&, Sketched& s) { sketches.push_back(std::move(s.sketch)); }, progress);
    return sketches;
}

int similarCommand(Invocation& invocation)
{
    const std::optional<QStringList> inputs = invocation.files();
    if (!inputs)
        return invocation.status();
    const QStringList& files = *inputs;
    Progress progress(invocation.err(), files.size());
    Tally tally;
    const std::vector<SimilaritySketch> sketches = sketchFiles(invocation, files, progress, &tally);
    if (tally.outputFailed)
        return Failure;

    QTextStream& out = invocation.out();
    const bool json = invocation.isSet(u"json");
    if (json)
        out << '[';
    qsizetype found = 0;
    similarPairs(files, sketches, invocation.jobs(), [&](const SimilarPair& p) {
        const QString a = shownName(files[p.a]), b = shownName(files[p.b]);
        if (!json) {
            QStringList texts;
            for (const TextSimilarity& t : p.similarity.texts) {
                QStringList first;
                for (const SharedPassage& f : t.first)
                    first.append(
                        msg::sharedPassage(f.atA + 1, f.atB + 1, f.characters, visibleControls(f.text)));
                texts.append(msg::similarText(fieldName(t.field), t.score, t.passages, first));
            }
            out << msg::similarPair(a, b, p.similarity.score, texts) << '\n';
        } else {
            QString line = (found ? u",\n  {"_s : u"\n  {"_s) + u"\"a\": "_s + jsonString(a) +
                           u", \"b\": "_s + jsonString(b) + u", \"score\": "_s +
                           QString::number(p.similarity.score, 'f', 3) + u", \"texts\": ["_s;
            for (std::size_t t = 0; t < p.similarity.texts.size(); ++t) {
                const TextSimilarity& s = p.similarity.texts[t];
                line += (t ? u", {"_s : u"{"_s) + u"\"field\": "_s + jsonString(fieldName(s.field)) +
                        u", \"score\": "_s + QString::number(s.score, 'f', 3) + u", \"passages\": "_s +
                        QString::number(s.passages) + u", \"first\": ["_s;
                for (std::size_t f = 0; f < s.first.size(); ++f)
                    line += (f ? u", {"_s : u"{"_s) + u"\"a\": "_s + QString::number(s.first[f].atA) +
                            u", \"b\": "_s + QString::number(s.first[f].atB) + u", \"characters\": "_s +
                            QString::number(s.first[f].characters) + u", \"text\": "_s +
                            jsonString(s.first[f].text) + u'}';
                line += u"]}"_s;
            }
            out << line << "]}";
        }
        ++found;
        return !outputLost(invocation, tally);
    });
    if (json)
        out << "\n]\n";
    out.flush();
    if (outputLost(invocation, tally))
        return Failure;
    progress.write(msg::similarSummary(files.size(), found));
    const int status = tally.exitStatus(false);
    return status == Ok && found > 0 ? int(Found) : status;
}

} // namespace shenbao::cli
