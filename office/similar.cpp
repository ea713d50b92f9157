#include "office/similar.h"

#include "check/similarity.h"
#include "xdx/xdxfile.h"

#include <algorithm>
#include <optional>

namespace shenbao::office {
namespace {

struct Indexed
{
    DocumentResult document;
    SimilarityEntry entry;
};

// A piece of the search, in the order of its output: a family, or a candidate pair.
struct Piece
{
    int a = 0, b = 0;
    int family = -1; // into the index's families, or -1 for a pair
};

// Every pair two findings stand for: a family's members with each other, and each member of one
// side's family with each of the other's. Passages are not placed for these.
std::vector<SimilarFinding> allPairsOf(const SimilarityIndex& index, const std::vector<SimilarFinding>& found)
{
    std::vector<std::vector<int>> familyOf(std::size_t(index.size()));
    for (const std::vector<int>& f : index.families())
        familyOf[std::size_t(f.front())] = f;
    const auto membersOf = [&](int r) {
        return familyOf[std::size_t(r)].empty() ? std::vector<int>{r} : familyOf[std::size_t(r)];
    };
    std::vector<SimilarFinding> pairs;
    for (const SimilarFinding& f : found) {
        Similarity same;
        if (f.isFamily())
            same = index.compare(f.members[0], f.members[1]);
        const std::vector<int> left = f.isFamily() ? f.members : membersOf(f.a);
        const std::vector<int> right = f.isFamily() ? f.members : membersOf(f.b);
        for (const int x : left)
            for (const int y : right)
                if (f.isFamily() ? x < y : true)
                    pairs.push_back({std::min(x, y), std::max(x, y), {}, f.isFamily() ? same : f.similarity});
    }
    for (SimilarFinding& p : pairs)
        for (TextSimilarity& t : p.similarity.texts)
            t.first.clear();
    std::sort(pairs.begin(), pairs.end(), [](const SimilarFinding& x, const SimilarFinding& y) {
        return std::pair{x.a, x.b} < std::pair{y.a, y.b};
    });
    return pairs;
}

} // namespace

SimilarityIndex indexFiles(const QStringList& files, int jobs, qsizetype problems, RunReport& report,
                           Tally* tally)
{
    std::vector<SimilarityEntry> entries;
    entries.reserve(std::size_t(files.size()));
    *tally = forEachDocument<Indexed>(
        files, jobs, problems,
        [](const QString& file, qsizetype) {
            // Only the texts are wanted: no check.
            static constexpr Field kWanted[] = {Field::ProjectName, kComparedTexts[0], kComparedTexts[1]};
            const OpenResult opened = openXdxFile(file, kWanted);
            Indexed x{documentResult(opened, std::nullopt, Needs::Document), {}};
            if (openStatus(opened) == OpenStatus::Loaded)
                x.entry = similarityEntryOf(opened->record);
            return x;
        },
        [&](qsizetype, const QString&, Indexed& x) { entries.push_back(std::move(x.entry)); }, report);
    return SimilarityIndex(std::move(entries));
}

void similarFindings(const SimilarityIndex& index, int jobs, bool allPairs,
                     const std::function<bool(SimilarFinding&)>& deliver)
{
    std::vector<Piece> pieces;
    for (std::size_t f = 0; f < index.families().size(); ++f)
        pieces.push_back({index.families()[f][0], index.families()[f][1], int(f)});
    for (const auto& [a, b] : index.candidates())
        pieces.push_back({a, b, -1});
    std::sort(pieces.begin(), pieces.end(), [](const Piece& x, const Piece& y) {
        return std::pair{x.a, x.b} < std::pair{y.a, y.b};
    });

    std::vector<SimilarFinding> found; // with allPairs: each expanded once all are known
    bool going = true;
    forEachInOrder<std::optional<SimilarFinding>>(
        qsizetype(pieces.size()), jobs,
        [&](qsizetype k) -> std::optional<SimilarFinding> {
            const Piece& p = pieces[std::size_t(k)];
            if (p.family >= 0)
                return SimilarFinding{p.a, p.b, index.families()[std::size_t(p.family)], {}};
            Similarity s = index.compare(p.a, p.b);
            if (!s.reported())
                return std::nullopt;
            if (!allPairs)
                placePassages(s, index.entry(p.a), index.entry(p.b));
            return SimilarFinding{p.a, p.b, {}, std::move(s)};
        },
        [&](qsizetype, std::optional<SimilarFinding>& f) {
            if (!f)
                return true;
            if (allPairs) {
                found.push_back(std::move(*f));
                return true;
            }
            return going = deliver(*f);
        });
    if (!allPairs || !going)
        return;
    for (SimilarFinding& p : allPairsOf(index, found))
        if (!deliver(p))
            return;
}

} // namespace shenbao::office
