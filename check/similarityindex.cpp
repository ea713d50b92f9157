#include "check/similarityindex.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>

namespace shenbao {
namespace {

// A posting: the fingerprint's top 40 bits, then the application's place among those indexed
// (24 bits: sixteen million applications). Sorted by the fingerprint, a run of equal ones names
// the applications that share it.
constexpr int kPlaceBits = 24;

// Winnowing keeps the least hashes of their windows, so fingerprints crowd the low values: mixed
// again, they spread evenly over the buckets.
quint64 keyOf(quint64 hash)
{
    hash ^= hash >> 31;
    hash *= 0x94D049BB133111EBULL;
    hash ^= hash >> 29;
    return hash >> kPlaceBits;
}

// Sorted by the fingerprint, stably (one application's postings of a fingerprint stay together):
// a counting sort ten bits at a time, whose 1,024 streams stay in the caches.
void sortPostings(std::vector<quint64>& postings)
{
    std::vector<quint64> other(postings.size());
    constexpr int kDigit = 10;
    for (int shift = kPlaceBits; shift < 64; shift += kDigit) {
        std::array<std::size_t, (1 << kDigit) + 1> starts{};
        for (const quint64 p : postings)
            ++starts[((p >> shift) & ((1 << kDigit) - 1)) + 1];
        for (std::size_t k = 1; k < starts.size(); ++k)
            starts[k] += starts[k - 1];
        for (const quint64 p : postings)
            other[starts[(p >> shift) & ((1 << kDigit) - 1)]++] = p;
        postings.swap(other);
    }
}

} // namespace

SimilarityIndex::SimilarityIndex(std::vector<SimilarityEntry> entries) : m_entries(std::move(entries))
{
    const std::vector<int> indexed = gatherFamilies();
    findCandidates(fingerprint(indexed), indexed);
}

std::vector<int> SimilarityIndex::gatherFamilies()
{
    const int n = int(m_entries.size());
    m_representative.resize(std::size_t(n));
    // Families: the same digest and the same texts (a digest alone could collide).
    std::unordered_multimap<quint64, int> firsts;
    std::vector<int> familyOf(std::size_t(n), -1);
    std::vector<int> indexed; // the representatives with something to compare
    for (int i = 0; i < n; ++i) {
        m_representative[std::size_t(i)] = i;
        const SimilarityEntry& e = m_entries[std::size_t(i)];
        if (e.family == 0)
            continue;
        for (auto [it, end] = firsts.equal_range(e.family); it != end; ++it) {
            const SimilarityEntry& f = m_entries[std::size_t(it->second)];
            bool same = true;
            for (std::size_t k = 0; k < e.texts.size(); ++k)
                same = same && e.texts[k].text() == f.texts[k].text();
            if (same) {
                m_representative[std::size_t(i)] = it->second;
                break;
            }
        }
        const int r = m_representative[std::size_t(i)];
        if (r == i) {
            firsts.emplace(e.family, i);
            indexed.push_back(i);
            continue;
        }
        if (familyOf[std::size_t(r)] < 0) {
            familyOf[std::size_t(r)] = int(m_families.size());
            m_families.push_back({r});
        }
        m_families[std::size_t(familyOf[std::size_t(r)])].push_back(i);
    }
    return indexed;
}

std::vector<quint64> SimilarityIndex::fingerprint(const std::vector<int>& indexed)
{
    const std::size_t n = m_entries.size();
    // The postings: each application's fingerprints, each once, whichever text holds them.
    m_stockLimit = std::max(kStockLeastApplications, int(std::ceil(kStockShare * double(indexed.size()))));
    std::size_t characters = 0;
    for (const int i : indexed)
        for (const ComparedText& t : m_entries[std::size_t(i)].texts)
            characters += std::size_t(t.size());
    constexpr std::size_t kTexts = std::size(kComparedTexts);
    m_prints.reserve(characters * 2 / (kWinnowWindow + 1) + 4 * indexed.size());
    m_printsAt.assign(n * kTexts + 1, 0);
    std::vector<quint64> postings;
    postings.reserve(m_prints.capacity());
    // Text k of application i: [m_printsAt[i * kTexts + k], m_printsAt[i * kTexts + k + 1]).
    for (std::size_t place = 0, i = 0; i < n; ++i) {
        const bool isIndexed = place < indexed.size() && std::size_t(indexed[place]) == i;
        for (std::size_t k = 0; k < kTexts; ++k) {
            m_printsAt[i * kTexts + k] = m_prints.size();
            if (!isIndexed)
                continue;
            const std::size_t from = m_prints.size();
            appendFingerprints(m_entries[i].texts[k].text(), m_prints);
            for (std::size_t f = from; f < m_prints.size(); ++f)
                postings.push_back((keyOf(m_prints[f].hash) << kPlaceBits) | place);
        }
        place += isIndexed;
    }
    m_printsAt.back() = m_prints.size();
    sortPostings(postings);
    return postings;
}

void SimilarityIndex::findCandidates(std::vector<quint64> postings, const std::vector<int>& indexed)
{
    // A run of one fingerprint: stock when too many hold it, else every two of them a candidate.
    std::vector<quint64> pairs;
    constexpr quint64 kPlaceMask = (quint64(1) << kPlaceBits) - 1;
    std::vector<quint64> run; // the places of one fingerprint, each once
    for (std::size_t i = 0; i < postings.size();) {
        run.clear();
        std::size_t j = i;
        for (; j < postings.size() && (postings[j] >> kPlaceBits) == (postings[i] >> kPlaceBits); ++j)
            if (run.empty() || run.back() != (postings[j] & kPlaceMask))
                run.push_back(postings[j] & kPlaceMask);
        if (run.size() > std::size_t(m_stockLimit)) {
            m_stock.push_back(postings[i] >> kPlaceBits);
        } else {
            for (std::size_t x = 0; x < run.size(); ++x)
                for (std::size_t y = x + 1; y < run.size(); ++y)
                    pairs.push_back((run[x] << 32) | run[y]);
        }
        i = j;
    }
    std::vector<quint64>().swap(postings);
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    m_candidates.reserve(pairs.size());
    for (const quint64 p : pairs)
        m_candidates.emplace_back(indexed[std::size_t(p >> 32)], indexed[std::size_t(p & 0xFFFFFFFF)]);
    std::sort(m_candidates.begin(), m_candidates.end());
}

bool SimilarityIndex::isStock(quint64 hash) const
{
    return std::binary_search(m_stock.begin(), m_stock.end(), keyOf(hash));
}

Similarity SimilarityIndex::compare(int a, int b) const
{
    constexpr std::size_t kTexts = std::size(kComparedTexts);
    const auto known = [this](int i) {
        TextPrints p;
        for (std::size_t k = 0; k < kTexts; ++k) {
            const std::size_t at = std::size_t(i) * kTexts + k;
            p[k] = std::span<const Fingerprint>(m_prints).subspan(m_printsAt[at],
                                                                  m_printsAt[at + 1] - m_printsAt[at]);
        }
        return p;
    };
    // A family's other members are not indexed: theirs are made anew.
    const bool ia = representative(a) == a, ib = representative(b) == b;
    const TextPrints pa = ia ? known(a) : TextPrints(), pb = ib ? known(b) : TextPrints();
    return compareApplications(
        entry(a), entry(b), [this](quint64 hash) { return isStock(hash); }, ia ? &pa : nullptr,
        ib ? &pb : nullptr);
}

} // namespace shenbao
