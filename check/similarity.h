#pragma once

#include "record/applicationrecord.h"

#include <QString>

#include <array>
#include <functional>
#include <span>
#include <vector>

// Applications that copy each other (查重). Texts are compared as their letters and digits, with
// blanks of every width, punctuation and the commonest function characters (的, 了, 和 ...)
// left out and widths and letter case folded, so that a copy punctuated otherwise, or with a
// filler character slipped in every few characters, is the same text.
//
// The measure: a character of one text is shared when it lies in a passage of at least
// kSharedPassageCharacters characters that the other text holds too; two texts are similar when
// their shared characters make kSimilarShare of the shorter one, and a single shared passage of
// kLongPassageCharacters or more is reported on its own. A round is never compared pair by pair:
// each text is fingerprinted by winnowing (the least hash of every kWinnowWindow consecutive
// kShingleCharacters-grams), which guarantees that two texts sharing a passage of
// kWinnowWindow + kShingleCharacters - 1 = kSharedPassageCharacters characters share a
// fingerprint; only texts sharing one are compared, and every pair the measure reports is.

namespace shenbao {

// Grams of this many characters are hashed: long enough that unrelated texts share almost none.
inline constexpr int kShingleCharacters = 8;
// A passage shared counts from this many characters on.
inline constexpr int kSharedPassageCharacters = 16;
// Of this many consecutive grams, the least is a fingerprint: every shared passage of
// kSharedPassageCharacters characters holds one whole window, hence a fingerprint.
inline constexpr int kWinnowWindow = kSharedPassageCharacters - kShingleCharacters + 1;
// A pair is similar when shared passages cover this share of the shorter text.
inline constexpr double kSimilarShare = 0.3;
// A single shared passage this long is reported however little of the texts it covers.
inline constexpr int kLongPassageCharacters = 150;
// A passage found in more of a round's applications than this share (and at least
// kStockLeastApplications) is a heading or a stock phrase that every form shares: no evidence.
inline constexpr double kStockShare = 0.02;
inline constexpr int kStockLeastApplications = 10;

// The long texts compared, with each other too (one form's design argument as another's
// feasibility analysis).
inline constexpr Field kComparedTexts[] = {Field::ProjectReasoning, Field::ProjectAnalyze};

// A text as compared: folded, and with origins where each of its characters stands in the
// original (UTF-16 units), kept only when asked for (a round holds thousands of texts).
class ComparedText
{
public:
    ComparedText() = default;
    explicit ComparedText(QStringView value, bool withOrigins = false);

    const QString& text() const { return m_text; }
    qsizetype size() const { return m_text.size(); }
    const std::vector<qint32>& origins() const { return m_origins; }

private:
    QString m_text;
    std::vector<qint32> m_origins;
};

// A winnowed fingerprint: a gram's hash and where the gram begins.
struct Fingerprint
{
    quint64 hash = 0;
    qint32 at = 0;
};
std::vector<Fingerprint> fingerprintsOf(QStringView folded);
// The same appended to prints (a round keeps all of them in one array).
void appendFingerprints(QStringView folded, std::vector<Fingerprint>& prints);

struct SharedPassage
{
    qsizetype atA = 0;  // where it begins in the first text (UTF-16 units of the field's value;
    qsizetype atB = 0;  // and in the second; both as compared until placed)
    int characters = 0; // its length, counted as compared
    QString text;       // its beginning, as it stands in the first text (once placed)
};

// How two texts compare.
struct TextSimilarity
{
    Field field;      // of the first application
    Field fieldB;     // of the second: another field when a text was moved
    double score = 0; // the share of the shorter text that lies in shared passages
    int passages = 0;
    int longest = 0;                  // characters of the longest shared passage
    std::vector<SharedPassage> first; // the first few, in the order of the first text
};

// What one application brings to a comparison: its texts as compared, and as written (shared
// with the record, for showing where the passages stand).
struct SimilarityEntry
{
    ComparedText title;
    std::array<ComparedText, std::size(kComparedTexts)> texts;
    QString titleValue;
    std::array<QString, std::size(kComparedTexts)> values;
    // The compared long texts' digest: applications alike in everything but the title have
    // the same, and a family of them is compared once. 0 for one too short to judge.
    quint64 family = 0;
};
SimilarityEntry similarityEntryOf(const ApplicationRecord& record);

struct Similarity
{
    // The title, each long text with its own counterpart, then texts moved to the other field
    // that share passages.
    std::vector<TextSimilarity> texts;
    double score = 0;                                                        // of the long texts, the highest
    Field field = Field::ProjectReasoning, fieldB = Field::ProjectReasoning; // where it is
    int longest = 0; // the longest passage of the long texts
    bool similar() const { return score >= kSimilarShare; }
    bool sharesPassage() const { return longest >= kLongPassageCharacters; }
    bool reported() const { return similar() || sharesPassage(); }
};

// Whether a fingerprint's hash is stock (no evidence of copying); none when not given.
using StockTest = std::function<bool(quint64 hash)>;

// The fingerprints of an application's compared texts, in the texts' order, when known.
using TextPrints = std::array<std::span<const Fingerprint>, std::size(kComparedTexts)>;

// The full comparison of two applications; the passages' places as compared.
Similarity compareApplications(const SimilarityEntry& a, const SimilarityEntry& b,
                               const StockTest& stock = {}, const TextPrints* printsA = nullptr,
                               const TextPrints* printsB = nullptr);
// The places of a comparison's passages in the applications' own texts, and their beginnings.
void placePassages(Similarity& similarity, const SimilarityEntry& a, const SimilarityEntry& b);
// Both at once, for two records.
Similarity compareApplications(const ApplicationRecord& a, const ApplicationRecord& b);

} // namespace shenbao
