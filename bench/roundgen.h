#pragma once

#include "record/applicationrecord.h"

#include <QRandomGenerator>
#include <QString>

#include <vector>

// Rounds that look real, for measuring: applications with varied titles, names, units and cities,
// and long texts drawn from the common Chinese characters with the frequencies of real text (a
// rank-frequency law over some 3,000 characters, about a thousand distinct ones in a text of a
// few thousand). Deterministic from a seed; nothing is copied from the samples.

namespace shenbao::bench {

class TextSource
{
public:
    explicit TextSource(quint32 seed);

    // A sentence of 8 to 40 characters, ending in a full stop or a comma.
    QString sentence();
    // Sentences up to about characters, broken into paragraphs of three to eight sentences.
    QString text(int characters);
    // A sentence rewritten: some characters exchanged, the punctuation changed.
    QString rewrite(const QString& sentence);

    QString title();
    QString personName();
    QString unit(const QString& city);

    QRandomGenerator& random() { return m_random; }

private:
    QChar character();

    QRandomGenerator m_random;
    std::vector<QChar> m_chars;       // by rank
    std::vector<double> m_cumulative; // of the rank-frequency law
};

// The kinds of copies a round plants, each one a rule of the search must find.
enum class CopyKind {
    NearCopy,    // 10 to 30 per cent of the design argument's sentences rewritten or reordered
    Coverage,    // ten passages of the original making 30, 40 or 50 per cent of the shorter text
    Unequal,     // a short feasibility analysis copied whole into a long one
    CrossField,  // the design argument as the other's feasibility analysis
    Filler,      // a filler character and blanks of other widths slipped in every few characters
    Passage,     // one passage of 420 characters (some 170 as compared) in a text of its own
    Interleaved, // passages of two originals taken in turn: a pair with each
    Family,      // the same texts under another title
};
QString copyKindName(CopyKind kind);

// What a generated round holds, for measuring what found it.
struct PlantedPair
{
    int original; // index of the application copied
    int copy;     // index of the copy
    double share; // NearCopy: sentences changed; Coverage: the share copied; else 1
    CopyKind kind = CopyKind::NearCopy;
};

struct Round
{
    std::vector<ApplicationRecord> applications;
    std::vector<PlantedPair> planted;
    std::vector<int> incomplete; // indexes left with gaps
    std::vector<int> broken;     // written cut short
    std::vector<std::pair<int, int>> sameLeader;
};

// n applications: about one in ten incomplete, one in fifty broken, one in thirty the same leader
// again; one in twenty a near-copy of an earlier one, and copies of every other kind, about one
// in forty each (two families among them, of n / 30 and of a few members).
Round makeRound(int n, quint32 seed);

// A row of a roster of experts, as the office types it.
struct RosterEntry
{
    QString name, unit, city, subjects, avoid, contact;
    int maxLoad = 0;
};

// experts for the round: a third from a few large universities, the others from the
// applicants' own units (so that conflicts occur as in a province); one to three subjects each;
// loads leaving room for reviewers experts an application, unevenly; a few who avoid a unit,
// who are a participant of an application, or whose name signs a recommendation (added to it).
std::vector<RosterEntry> makeRoster(Round& round, int experts, int reviewers, quint32 seed);

} // namespace shenbao::bench
