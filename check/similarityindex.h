#pragma once

#include "check/similarity.h"

#include <utility>
#include <vector>

// A round's texts, for finding the pairs that copy each other without comparing every pair:
// applications alike in every compared text gathered into families (compared once), and an
// index from each fingerprint to the applications that hold it.

namespace shenbao {

class SimilarityIndex
{
public:
    // The entries in input order (an unreadable file's is empty).
    explicit SimilarityIndex(std::vector<SimilarityEntry> entries);

    const SimilarityEntry& entry(int i) const { return m_entries[std::size_t(i)]; }
    int size() const { return int(m_entries.size()); }

    // Groups of two or more applications alike in every compared text, members in input
    // order; the groups in the order of their first members.
    const std::vector<std::vector<int>>& families() const { return m_families; }
    // The first member of i's family, or i.
    int representative(int i) const { return m_representative[std::size_t(i)]; }

    // The pairs (a < b, representatives, sorted) that share a fingerprint that is not stock:
    // every pair whose texts share a passage of kSharedPassageCharacters that is not stock.
    const std::vector<std::pair<int, int>>& candidates() const { return m_candidates; }

    // Whether a fingerprint is stock: found in more applications than stockLimit().
    bool isStock(quint64 hash) const;
    int stockLimit() const { return m_stockLimit; }

    Similarity compare(int a, int b) const;

private:
    // The steps of building: families found (the representatives with something to compare
    // returned), their fingerprints taken (the postings, key and place, returned sorted), the
    // postings' runs made candidates or stock.
    std::vector<int> gatherFamilies();
    std::vector<quint64> fingerprint(const std::vector<int>& indexed);
    void findCandidates(std::vector<quint64> postings, const std::vector<int>& indexed);

    std::vector<SimilarityEntry> m_entries;
    std::vector<std::vector<int>> m_families;
    std::vector<int> m_representative;
    std::vector<std::pair<int, int>> m_candidates;
    std::vector<quint64> m_stock; // sorted keys
    // Every indexed text's fingerprints in one array (a vector each would cost more than the
    // prints), text k of application i from m_printsAt[2i + k]; kept for the comparisons.
    std::vector<Fingerprint> m_prints;
    std::vector<std::size_t> m_printsAt;
    int m_stockLimit = 0;
};

} // namespace shenbao
