#pragma once

#include "check/similarityindex.h"
#include "office/run.h"

#include <functional>
#include <vector>

// The round's copies: for its list of similar applications and the table's column of the most
// similar row.

namespace shenbao::office {

// What the search reports, in the order of its files: a family of applications alike in every
// compared text, or a pair that copies (or shares a long passage).
struct SimilarFinding
{
    int a = 0, b = 0;         // input indexes, a < b (of a family: its first two members)
    std::vector<int> members; // a family's, in input order; empty for a pair
    Similarity similarity;    // a pair's, its passages placed in the files' own texts
    bool isFamily() const { return !members.empty(); }
};

// Every file opened and folded, in input order, through the usual run over many documents (a
// file that could not be read has an empty entry).
SimilarityIndex indexFiles(const QStringList& files, int jobs, qsizetype problems, RunReport& report,
                           Tally* tally);

// The findings handed to deliver in input order (false from deliver ends the search): the
// families, and the pairs of the index's candidates that are reported, compared on jobs workers
// (a family compared once, through its first member). With allPairs, a family's pairs too and
// each pair of two related families' members, each as its own finding.
void similarFindings(const SimilarityIndex& index, int jobs, bool allPairs,
                     const std::function<bool(SimilarFinding&)>& deliver);

} // namespace shenbao::office
