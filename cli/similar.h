#pragma once

#include "check/similarity.h"
#include "cli/inputs.h"

#include <functional>
#include <vector>

// The round's copies, for xdxtool similar and the table's column of the most similar row.

namespace shenbao::cli {

struct SimilarPair
{
    int a, b; // indexes into the files, a < b
    Similarity similarity;
};

// Every file opened and sketched, in input order, through the usual run over many documents (a
// file that could not be read has an empty sketch).
std::vector<SimilaritySketch> sketchFiles(Invocation& invocation, const QStringList& files,
                                          Progress& progress, Tally* tally);

// The pairs whose long texts share passages over kSimilarShare of the shorter text, handed to
// deliver in the order of (a, b) (false from deliver ends the search): only the candidates of
// the sketches read again and compared, on jobs workers; copies compared once.
void similarPairs(const QStringList& files, const std::vector<SimilaritySketch>& sketches, int jobs,
                  const std::function<bool(SimilarPair&)>& deliver);

} // namespace shenbao::cli
