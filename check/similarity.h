#pragma once

#include "record/applicationrecord.h"

#include <QString>

#include <array>
#include <utility>
#include <vector>

// Applications that copy each other (查重): texts compared as their characters without blanks,
// line breaks or punctuation, widths and letter case folded, so that a copy with sentences
// rewritten, reordered or punctuated otherwise is still found. A round is sketched first (a
// MinHash signature of each long text's shingles) and only the pairs that share a band of a
// signature are compared in full.

namespace shenbao {

// Shingles of this many characters: long enough that unrelated texts share almost none.
inline constexpr int kShingleCharacters = 8;
// A passage shared counts from this many characters on.
inline constexpr int kSharedPassageCharacters = 16;
// A pair is reported when a long text's shared passages cover this share of the shorter text.
inline constexpr double kSimilarShare = 0.3;

// What one application brings to the first, rough comparison.
struct SimilaritySketch
{
    // ProjectReasoning, ProjectAnalyze: MinHash signatures, empty for a text too short to judge
    // (and for a file that could not be read).
    std::array<std::vector<quint32>, 2> signatures;
    // A hash of the three texts compared, as written: copies of one application have the same,
    // and the same comparison with any other.
    quint64 texts = 0;
};

SimilaritySketch sketchOf(const ApplicationRecord& record);

// The pairs (a < b, indexes into sketches), sorted, worth comparing in full: those whose
// signatures of the same text agree on a whole band. A pair of texts as alike as kSimilarShare
// asks is a candidate with a probability above 99 per cent; unrelated texts almost never are.
// Applications with the same signatures (copies) are banded once for all of them.
std::vector<std::pair<int, int>> similarCandidates(const std::vector<SimilaritySketch>& sketches);

struct SharedPassage
{
    qsizetype atA = 0;    // where it begins in the first text (UTF-16 units of the field's value)
    qsizetype atB = 0;    // and in the second
    int characters = 0;   // its length, counted as compared (blanks and punctuation left out)
    QString text;         // its beginning, as it stands in the first text
};

struct TextSimilarity
{
    Field field;
    double score = 0; // the share of the shorter text that lies in shared passages
    int passages = 0;
    std::vector<SharedPassage> first; // the first few, in the order of the first text
};

struct Similarity
{
    std::vector<TextSimilarity> texts; // ProjectName, ProjectReasoning, ProjectAnalyze
    double score = 0;                  // of the long texts, the higher
    bool similar() const { return score >= kSimilarShare; }
};

// The full comparison of two applications.
Similarity compareApplications(const ApplicationRecord& a, const ApplicationRecord& b);

} // namespace shenbao
