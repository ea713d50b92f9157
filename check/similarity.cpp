#include "check/similarity.h"

#include "check/textfold.h"

#include <QHash>
#include <algorithm>
#include <limits>
#include <unordered_map>

namespace shenbao {
namespace {

constexpr Field kLongTexts[] = {Field::ProjectReasoning, Field::ProjectAnalyze};
// 40 bands of 3 rows: texts whose shingle sets agree as much as a copy with a third of it
// rewritten (Jaccard about 0.5) share a band with a probability of 1 - (1 - 0.5^3)^40 > 99.5 %;
// texts sharing a twentieth of their shingles, of 1 - (1 - 0.05^3)^40 < 0.5 %.
constexpr int kBands = 40;
constexpr int kRows = 3;
constexpr int kHashes = kBands * kRows;
// A text shorter than this (as compared) is too short to call a copy.
constexpr int kShortestText = 2 * kShingleCharacters;
// Of a pair's shared passages, the first ones reported.
constexpr std::size_t kPassagesShown = 3;
// Of the places in the second text where a shingle stands, the most tried: a text of one
// character repeated would otherwise try each against each.
constexpr int kMostPlacesTried = 64;
// Of a passage, the first characters shown.
constexpr qsizetype kPassageShown = 30;

// A text as compared: letters and digits folded, everything else left out, each kept character
// with where it stands in the original.
struct Compared
{
    QString text;
    std::vector<qsizetype> origin;
};

Compared comparedOf(QStringView value)
{
    Compared c;
    c.text.reserve(value.size());
    c.origin.reserve(std::size_t(value.size()));
    QString units;
    for (qsizetype i = 0; i < value.size();) {
        const auto [ch, n] = fold::codePoint(value, i);
        if (!fold::isBlank(ch) && QChar::isLetterOrNumber(ch)) {
            units.clear();
            fold::append(ch, units);
            for (const QChar u : units) {
                c.text += u;
                c.origin.push_back(i);
            }
        }
        i += n;
    }
    return c;
}

quint64 mix(quint64 x)
{
    // splitmix64's finaliser: every bit of the input moves every bit of the output.
    x ^= x >> 30;
    x *= 0xBF58476D1CE4E5B9ULL;
    x ^= x >> 27;
    x *= 0x94D049BB133111EBULL;
    x ^= x >> 31;
    return x;
}

// The hash of the shingle at i (kShingleCharacters units), FNV-1a.
quint64 shingle(const QString& text, qsizetype i)
{
    quint64 h = 0xCBF29CE484222325ULL;
    for (qsizetype k = i; k < i + kShingleCharacters; ++k) {
        h ^= text[k].unicode();
        h *= 0x100000001B3ULL;
    }
    return h;
}

// One permutation, split into kHashes bins (one-permutation hashing): each shingle's hash falls
// into one bin, and a bin keeps its least. Bins no shingle fell into take the next bin's least
// (densification), so that two texts still agree on a bin as often as their shingle sets agree.
// One hash a shingle instead of kHashes: the sketch of a round costs little more than reading it.
std::vector<quint32> signatureOf(const Compared& c)
{
    if (c.text.size() < kShortestText)
        return {};
    constexpr quint32 kEmpty = std::numeric_limits<quint32>::max();
    std::vector<quint32> bins(kHashes, kEmpty);
    for (qsizetype i = 0; i + kShingleCharacters <= c.text.size(); ++i) {
        const quint64 h = mix(shingle(c.text, i));
        quint32& bin = bins[std::size_t((h >> 32) % kHashes)];
        bin = std::min(bin, quint32(h));
    }
    for (int k = 0; k < kHashes; ++k)
        for (int step = 1; bins[std::size_t(k)] == kEmpty && step < kHashes; ++step)
            if (const quint32 next = bins[std::size_t((k + step) % kHashes)]; next != kEmpty)
                bins[std::size_t(k)] = mix(next + quint64(step)) & 0x7FFFFFFF; // marked as borrowed
    return bins;
}

// The passages a and b share, longest first at each place of a: where a shingle of a occurs in
// b, the match grown as far as both agree.
TextSimilarity compareTexts(Field field, const QString& valueA, const QString& valueB, int shortestPassage)
{
    TextSimilarity result{field, 0, 0, {}};
    const Compared a = comparedOf(valueA), b = comparedOf(valueB);
    if (a.text.size() < kShingleCharacters || b.text.size() < kShingleCharacters)
        return result;
    std::unordered_multimap<quint64, qsizetype> inB;
    inB.reserve(std::size_t(b.text.size()));
    for (qsizetype j = 0; j + kShingleCharacters <= b.text.size(); ++j)
        inB.emplace(shingle(b.text, j), j);
    std::vector<bool> coveredB(std::size_t(b.text.size()));
    qsizetype coveredA = 0;
    for (qsizetype i = 0; i + kShingleCharacters <= a.text.size();) {
        qsizetype best = 0, bestAt = -1;
        const auto [from, to] = inB.equal_range(shingle(a.text, i));
        int tried = 0;
        for (auto it = from; it != to && tried < kMostPlacesTried; ++it, ++tried) {
            qsizetype n = 0;
            while (i + n < a.text.size() && it->second + n < b.text.size() &&
                   a.text[i + n] == b.text[it->second + n])
                ++n;
            if (n > best)
                best = n, bestAt = it->second;
        }
        if (best < shortestPassage) {
            ++i;
            continue;
        }
        ++result.passages;
        coveredA += best;
        for (qsizetype k = bestAt; k < bestAt + best; ++k)
            coveredB[std::size_t(k)] = true;
        if (result.first.size() < kPassagesShown) {
            const qsizetype at = a.origin[std::size_t(i)], end = a.origin[std::size_t(i + best - 1)] + 1;
            qsizetype shown = std::min<qsizetype>(end - at, kPassageShown);
            if (valueA[at + shown - 1].isHighSurrogate())
                --shown;
            result.first.push_back({at, b.origin[std::size_t(bestAt)], int(best), valueA.mid(at, shown)});
        }
        i += best;
    }
    const qsizetype inBoth = std::count(coveredB.begin(), coveredB.end(), true);
    // The share of the shorter text: a short text copied whole into a long one counts whole.
    result.score = std::max(double(coveredA) / double(a.text.size()), double(inBoth) / double(b.text.size()));
    return result;
}

} // namespace

SimilaritySketch sketchOf(const ApplicationRecord& record)
{
    SimilaritySketch s;
    for (std::size_t k = 0; k < std::size(kLongTexts); ++k)
        s.signatures[k] = signatureOf(comparedOf(record.value(kLongTexts[k])));
    for (Field f : {Field::ProjectName, Field::ProjectReasoning, Field::ProjectAnalyze})
        s.texts = mix(s.texts ^ qHash(record.value(f), 0x5EED));
    return s;
}

std::vector<std::pair<int, int>> similarCandidates(const std::vector<SimilaritySketch>& sketches)
{
    // Copies grouped under the first of them: a round of copies of one sample would otherwise
    // put every pair into every band.
    std::vector<std::vector<int>> groups;
    std::vector<int> firsts;
    std::unordered_multimap<quint64, int> seen; // signatures' hash -> group
    for (std::size_t d = 0; d < sketches.size(); ++d) {
        const auto& sig = sketches[d].signatures;
        if (sig[0].empty() && sig[1].empty())
            continue;
        quint64 key = 0;
        for (const std::vector<quint32>& s : sig)
            for (const quint32 v : s)
                key = mix(key ^ v);
        int group = -1;
        for (auto [it, end] = seen.equal_range(key); it != end && group < 0; ++it)
            if (sketches[std::size_t(firsts[std::size_t(it->second)])].signatures == sig)
                group = it->second;
        if (group < 0) {
            group = int(groups.size());
            groups.emplace_back();
            firsts.push_back(int(d));
            seen.emplace(key, group);
        }
        groups[std::size_t(group)].push_back(int(d));
    }
    // Each group's bands as (bucket, group); sorted, a run of one bucket holds candidates.
    std::vector<std::pair<quint64, int>> buckets;
    buckets.reserve(groups.size() * kBands * 2);
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (std::size_t t = 0; t < std::size(kLongTexts); ++t) {
            const std::vector<quint32>& sig = sketches[std::size_t(firsts[g])].signatures[t];
            if (sig.empty())
                continue;
            for (int band = 0; band < kBands; ++band) {
                quint64 key = mix(quint64(t) * kBands + quint64(band) + 1);
                for (int r = 0; r < kRows; ++r)
                    key = mix(key ^ sig[std::size_t(band * kRows + r)]);
                buckets.emplace_back(key, int(g));
            }
        }
    std::sort(buckets.begin(), buckets.end());
    std::vector<std::pair<int, int>> groupPairs;
    for (std::size_t i = 0; i < buckets.size();) {
        std::size_t j = i;
        while (j < buckets.size() && buckets[j].first == buckets[i].first)
            ++j;
        for (std::size_t x = i; x < j; ++x)
            for (std::size_t y = x + 1; y < j; ++y)
                if (buckets[x].second != buckets[y].second)
                    groupPairs.emplace_back(std::min(buckets[x].second, buckets[y].second),
                                            std::max(buckets[x].second, buckets[y].second));
        i = j;
    }
    std::sort(groupPairs.begin(), groupPairs.end());
    groupPairs.erase(std::unique(groupPairs.begin(), groupPairs.end()), groupPairs.end());
    // Back to applications: within a group every pair, between two groups every member of one
    // with every member of the other.
    std::vector<std::pair<int, int>> pairs;
    const auto add = [&](int a, int b) { pairs.emplace_back(std::min(a, b), std::max(a, b)); };
    for (const std::vector<int>& g : groups)
        for (std::size_t x = 0; x < g.size(); ++x)
            for (std::size_t y = x + 1; y < g.size(); ++y)
                add(g[x], g[y]);
    for (const auto& [g, h] : groupPairs)
        for (const int a : groups[std::size_t(g)])
            for (const int b : groups[std::size_t(h)])
                add(a, b);
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

Similarity compareApplications(const ApplicationRecord& a, const ApplicationRecord& b)
{
    Similarity s;
    // A title is short: a shingle's length of it in common is a passage.
    s.texts.push_back(compareTexts(Field::ProjectName, a.value(Field::ProjectName),
                                   b.value(Field::ProjectName), kShingleCharacters));
    for (Field f : kLongTexts) {
        s.texts.push_back(compareTexts(f, a.value(f), b.value(f), kSharedPassageCharacters));
        s.score = std::max(s.score, s.texts.back().score);
    }
    return s;
}

} // namespace shenbao
