#include "check/similarity.h"

#include "check/textfold.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace shenbao {
namespace {

// The commonest function characters of written Chinese: left out of both texts, so that one
// slipped in every few characters hides nothing.
constexpr char16_t kFillers[] = u"的地得了着过之和与及而并或也都就是在把被对于以其等这那个为则所从向呢吗吧啊";
// Of a pair's shared passages, the first ones reported.
constexpr std::size_t kPassagesShown = 3;
// Of the places where one fingerprint stands in the other text, the most tried: a text of one
// character repeated would otherwise try each against each.
constexpr int kMostPlacesTried = 64;
// Of a passage, the first characters shown.
constexpr qsizetype kPassageShown = 30;
// A title is short: a gram's length of it in common is a passage.
constexpr int kTitlePassage = kShingleCharacters;

// What each UTF-16 unit becomes when compared: itself or its folded form, 0 when it is left
// out, kSlow when its folding takes the long way (letters outside the common blocks).
constexpr char16_t kLeftOut = 0;
constexpr char16_t kSlow = 0xFFFF;

const std::vector<char16_t>& foldTable()
{
    static const std::vector<char16_t> table = [] {
        std::vector<char16_t> t(0x10000, kLeftOut);
        for (char32_t c = 0; c < 0x10000; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) {
                t[c] = kSlow; // a pair: decided by the code point
                continue;
            }
            if (fold::isBlank(c) || !QChar::isLetterOrNumber(c))
                continue;
            QString folded;
            fold::append(c, folded);
            t[c] = folded.size() == 1 ? folded[0].unicode() : kSlow;
        }
        for (const char16_t f : std::u16string_view(kFillers))
            t[f] = kLeftOut;
        return t;
    }();
    return table;
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

// A gram's hash, rolled along the text: the grams' polynomial in an odd base, then multiplied
// by an odd constant, whose product's high bits depend on every character (they order the
// grams and key the index).
constexpr quint64 kBase = 0x9E3779B97F4A7C15ULL;
constexpr quint64 kSpread = 0xD6E8FEB86659FD93ULL;

struct Match
{
    qsizetype a = 0, b = 0, length = 0;
    bool evidence = false;
};

// The maximal common passages of a and b that pass through a shared fingerprint, each once.
// Every common passage of kSharedPassageCharacters holds such a fingerprint (winnowing's
// guarantee), so these are all of them.
// A text's fingerprints sorted by their hash (then place), for joining with another's.
std::vector<Fingerprint> sortedPrints(const ComparedText& text, const TextPrints* known, std::size_t k)
{
    std::vector<Fingerprint> prints = known ? std::vector<Fingerprint>((*known)[k].begin(), (*known)[k].end())
                                            : fingerprintsOf(text.text());
    std::sort(prints.begin(), prints.end(), [](const Fingerprint& x, const Fingerprint& y) {
        return x.hash < y.hash || (x.hash == y.hash && x.at < y.at);
    });
    return prints;
}

std::vector<Match> sharedMatches(const QString& a, const std::vector<Fingerprint>& sortedA, const QString& b,
                                 const std::vector<Fingerprint>& sortedB, const StockTest& stock,
                                 int shortest)
{
    struct Anchor
    {
        qsizetype diagonal, a, b;
        quint64 hash;
    };
    std::vector<Anchor> anchors;
    for (auto x = sortedA.begin(), y = sortedB.begin(); x != sortedA.end() && y != sortedB.end();) {
        if (x->hash < y->hash) {
            ++x;
        } else if (y->hash < x->hash) {
            ++y;
        } else {
            const quint64 h = x->hash;
            auto yEnd = y;
            while (yEnd != sortedB.end() && yEnd->hash == h)
                ++yEnd;
            for (int tried = 0; x != sortedA.end() && x->hash == h; ++x)
                for (auto z = y; z != yEnd && tried < kMostPlacesTried; ++z, ++tried)
                    anchors.push_back({qsizetype(x->at) - z->at, x->at, z->at, h});
            y = yEnd;
        }
    }
    std::sort(anchors.begin(), anchors.end(), [](const Anchor& x, const Anchor& y) {
        return x.diagonal < y.diagonal || (x.diagonal == y.diagonal && x.a < y.a);
    });
    std::vector<Match> matches;
    const QChar* pa = a.constData();
    const QChar* pb = b.constData();
    for (std::size_t k = 0; k < anchors.size(); ++k) {
        const Anchor& x = anchors[k];
        const bool evidence = !stock || !stock(x.hash);
        if (!matches.empty() && matches.back().a - matches.back().b == x.diagonal &&
            x.a < matches.back().a + matches.back().length) {
            matches.back().evidence = matches.back().evidence || evidence; // inside the last one
            continue;
        }
        qsizetype i = x.a, j = x.b;
        while (i > 0 && j > 0 && pa[i - 1] == pb[j - 1])
            --i, --j;
        qsizetype n = 0;
        while (i + n < a.size() && j + n < b.size() && pa[i + n] == pb[j + n])
            ++n;
        if (n < qsizetype(x.a - i) + kShingleCharacters) // a hash that only looked alike
            continue;
        if (n >= shortest)
            matches.push_back({i, j, n, evidence});
    }
    std::erase_if(matches, [](const Match& m) { return !m.evidence; });
    std::sort(matches.begin(), matches.end(),
              [](const Match& x, const Match& y) { return x.a < y.a || (x.a == y.a && x.b < y.b); });
    return matches;
}

// The characters of a text that intervals cover, each once.
qsizetype covered(std::vector<std::pair<qsizetype, qsizetype>> intervals)
{
    std::sort(intervals.begin(), intervals.end());
    qsizetype total = 0, end = 0;
    for (const auto& [from, to] : intervals) {
        if (to <= end)
            continue;
        total += to - std::max(from, end);
        end = to;
    }
    return total;
}

TextSimilarity measured(Field fieldA, Field fieldB, const std::vector<Match>& matches, qsizetype sizeA,
                        qsizetype sizeB)
{
    TextSimilarity result{fieldA, fieldB, 0, 0, 0, {}};
    std::vector<std::pair<qsizetype, qsizetype>> inA, inB;
    for (const Match& m : matches) {
        inA.emplace_back(m.a, m.a + m.length);
        inB.emplace_back(m.b, m.b + m.length);
        ++result.passages;
        result.longest = std::max(result.longest, int(m.length));
        if (result.first.size() < kPassagesShown)
            result.first.push_back({m.a, m.b, int(m.length), {}});
    }
    if (sizeA > 0 && sizeB > 0)
        // The share of the shorter text: a short text copied whole into a long one counts whole.
        result.score = std::max(double(covered(inA)) / double(sizeA), double(covered(inB)) / double(sizeB));
    return result;
}

// Titles are short: every place of one tried against every place of the other.
std::vector<Match> titleMatches(const QString& a, const QString& b)
{
    std::vector<Match> matches;
    for (qsizetype i = 0; i < a.size();) {
        qsizetype best = 0, bestAt = 0;
        for (qsizetype j = 0; j < b.size(); ++j) {
            qsizetype n = 0;
            while (i + n < a.size() && j + n < b.size() && a[i + n] == b[j + n])
                ++n;
            if (n > best)
                best = n, bestAt = j;
        }
        if (best < kTitlePassage) {
            ++i;
            continue;
        }
        matches.push_back({i, bestAt, best, true});
        i += best;
    }
    return matches;
}

} // namespace

namespace {

// The fold of value into out (room for value.size() units; a character folding into more than
// one unit takes the long way and may ask for more): the number of units written.
template <bool Origins>
qsizetype foldInto(QStringView value, QString& text, std::vector<qint32>& origins,
                   qsizetype enough = std::numeric_limits<qsizetype>::max())
{
    const char16_t* __restrict table = foldTable().data();
    const char16_t* __restrict units = value.utf16();
    char16_t* __restrict out = reinterpret_cast<char16_t*>(text.data());
    const qsizetype size = value.size();
    qsizetype n = 0;
    QString slow;
    for (qsizetype i = 0; i < size && n < enough;) {
        const char16_t u = table[units[i]];
        if (u != kSlow) [[likely]] {
            out[n] = u;
            if constexpr (Origins)
                if (u != kLeftOut)
                    origins.push_back(qint32(i));
            n += u != kLeftOut;
            ++i;
            continue;
        }
        const auto [c, length] = fold::codePoint(value, i);
        if (!fold::isBlank(c) && QChar::isLetterOrNumber(c)) {
            slow.clear();
            fold::append(c, slow);
            if (n + slow.size() + (size - i) > text.size()) {
                text.resize(n + slow.size() + (size - i));
                out = reinterpret_cast<char16_t*>(text.data());
            }
            for (const QChar f : slow) {
                out[n++] = f.unicode();
                if constexpr (Origins)
                    origins.push_back(qint32(i));
            }
        }
        i += length;
    }
    return n;
}

} // namespace

ComparedText::ComparedText(QStringView value, bool withOrigins)
{
    m_text.resize(value.size());
    qsizetype n = 0;
    if (withOrigins) {
        m_origins.reserve(std::size_t(value.size()));
        n = foldInto<true>(value, m_text, m_origins);
    } else {
        n = foldInto<false>(value, m_text, m_origins);
    }
    m_text.truncate(n);
}

std::vector<Fingerprint> fingerprintsOf(QStringView text)
{
    std::vector<Fingerprint> prints;
    prints.reserve(std::size_t(std::max<qsizetype>(0, 2 * text.size() / (kWinnowWindow + 1)) + 2));
    appendFingerprints(text, prints);
    return prints;
}

void appendFingerprints(QStringView text, std::vector<Fingerprint>& prints)
{
    const std::size_t before = prints.size();
    const qsizetype grams = text.size() - kShingleCharacters + 1;
    if (grams <= 0)
        return;
    quint64 top = 1; // kBase^(k-1)
    for (int k = 1; k < kShingleCharacters; ++k)
        top *= kBase;
    // The grams' hashes of the window, in a ring.
    constexpr int kRing = 16;
    static_assert(kRing >= kWinnowWindow && (kRing & (kRing - 1)) == 0);
    quint64 ring[kRing];
    const char16_t* units = text.utf16();
    quint64 h = 0;
    for (int i = 0; i < kShingleCharacters - 1; ++i)
        h = h * kBase + units[i];
    // Of every window of kWinnowWindow grams, the rightmost least: a function of the window alone,
    // so that a window two texts share chooses the same gram in both. A text shorter than a
    // window has its least as its one fingerprint.
    const qsizetype window = std::min<qsizetype>(kWinnowWindow, grams);
    qsizetype chosen = -1;
    for (qsizetype g = 0; g < grams; ++g) {
        if (g > 0)
            h -= top * units[g - 1];
        h = h * kBase + units[g + kShingleCharacters - 1];
        const quint64 hash = h * kSpread;
        ring[g & (kRing - 1)] = hash;
        if (g < window - 1)
            continue;
        const qsizetype start = g - window + 1;
        if (chosen < start) {
            chosen = start;
            for (qsizetype j = start + 1; j <= g; ++j)
                if (ring[j & (kRing - 1)] <= ring[chosen & (kRing - 1)])
                    chosen = j;
        } else if (hash <= ring[chosen & (kRing - 1)]) {
            chosen = g;
        } else {
            continue;
        }
        if (prints.size() == before || prints.back().at != chosen)
            prints.push_back({ring[chosen & (kRing - 1)], qint32(chosen)});
    }
}

SimilarityEntry similarityEntryOf(const ApplicationRecord& record)
{
    SimilarityEntry e;
    e.titleValue = record.value(Field::ProjectName);
    e.title = ComparedText(e.titleValue);
    quint64 digest = 0;
    qsizetype total = 0;
    for (std::size_t k = 0; k < std::size(kComparedTexts); ++k) {
        e.values[k] = record.value(kComparedTexts[k]);
        e.texts[k] = ComparedText(e.values[k]);
        total += e.texts[k].size();
        digest = mix(digest ^ qHash(e.texts[k].text(), 0x5EED + k));
    }
    // Too short to judge: no family either (empty texts are alike without copying anything).
    e.family = total >= kSharedPassageCharacters ? digest | 1 : 0;
    return e;
}

Similarity compareApplications(const SimilarityEntry& a, const SimilarityEntry& b, const StockTest& stock,
                               const TextPrints* knownA, const TextPrints* knownB)
{
    Similarity s;
    s.texts.push_back(measured(Field::ProjectName, Field::ProjectName,
                               titleMatches(a.title.text(), b.title.text()), a.title.size(), b.title.size()));
    constexpr std::size_t n = std::size(kComparedTexts);
    std::array<std::vector<Fingerprint>, n> printsA, printsB;
    for (std::size_t k = 0; k < n; ++k) {
        printsA[k] = sortedPrints(a.texts[k], knownA, k);
        printsB[k] = sortedPrints(b.texts[k], knownB, k);
    }
    const auto compare = [&](std::size_t x, std::size_t y) {
        const ComparedText &ta = a.texts[x], &tb = b.texts[y];
        if (ta.size() < kSharedPassageCharacters || tb.size() < kSharedPassageCharacters)
            return TextSimilarity{kComparedTexts[x], kComparedTexts[y], 0, 0, 0, {}};
        return measured(
            kComparedTexts[x], kComparedTexts[y],
            sharedMatches(ta.text(), printsA[x], tb.text(), printsB[y], stock, kSharedPassageCharacters),
            ta.size(), tb.size());
    };
    const auto take = [&](TextSimilarity t) {
        if (t.score > s.score)
            s.score = t.score, s.field = t.field, s.fieldB = t.fieldB;
        s.longest = std::max(s.longest, t.longest);
        s.texts.push_back(std::move(t));
    };
    for (std::size_t k = 0; k < n; ++k)
        take(compare(k, k));
    for (std::size_t x = 0; x < n; ++x)
        for (std::size_t y = 0; y < n; ++y)
            if (x != y)
                if (TextSimilarity moved = compare(x, y); moved.passages > 0)
                    take(std::move(moved));
    return s;
}

namespace {

const QString& valueOf(const SimilarityEntry& e, Field f)
{
    for (std::size_t k = 0; k < std::size(kComparedTexts); ++k)
        if (kComparedTexts[k] == f)
            return e.values[k];
    return e.titleValue;
}

} // namespace

// Where the first count characters of value, as compared, stand in it.
std::vector<qint32> originsOf(QStringView value, qsizetype count)
{
    QString text(value.size(), Qt::Uninitialized);
    std::vector<qint32> origins;
    origins.reserve(std::size_t(count));
    foldInto<true>(value, text, origins, count);
    return origins;
}

void placePassages(Similarity& similarity, const SimilarityEntry& a, const SimilarityEntry& b)
{
    for (TextSimilarity& t : similarity.texts) {
        if (t.first.empty())
            continue;
        const QString& valueA = valueOf(a, t.field);
        const QString& valueB = valueOf(b, t.fieldB);
        // Only as far as the passages shown go: the first few, mostly near the start.
        qsizetype lastA = 0, lastB = 0;
        for (const SharedPassage& p : t.first)
            lastA = std::max(lastA, p.atA + p.characters), lastB = std::max(lastB, p.atB + 1);
        const std::vector<qint32> inA = originsOf(valueA, lastA), inB = originsOf(valueB, lastB);
        for (SharedPassage& p : t.first) {
            const qsizetype endA = qsizetype(inA[std::size_t(p.atA + p.characters - 1)]) + 1;
            p.atA = inA[std::size_t(p.atA)];
            p.atB = inB[std::size_t(p.atB)];
            qsizetype shown = std::min<qsizetype>(endA - p.atA, kPassageShown);
            if (valueA[p.atA + shown - 1].isHighSurrogate())
                --shown;
            p.text = valueA.mid(p.atA, shown);
        }
    }
}

Similarity compareApplications(const ApplicationRecord& a, const ApplicationRecord& b)
{
    const SimilarityEntry x = similarityEntryOf(a), y = similarityEntryOf(b);
    Similarity s = compareApplications(x, y);
    placePassages(s, x, y);
    return s;
}

} // namespace shenbao
