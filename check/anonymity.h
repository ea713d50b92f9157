#pragma once

#include "record/applicationrecord.h"

#include <QString>

#include <vector>

// The blind review: the loose leaves (the title, the design argument and the feasibility
// analysis) go to the reviewers without the applicant's name or unit. This finds the places in
// those three texts that name the leader, a participant, a unit, the funds' unit, bank or address
// as the application itself gives them, for the window (before the form is handed in) and for
// the office's xdxtool alike.

namespace shenbao {

struct AnonymityHit
{
    Field field;      // ProjectName, ProjectReasoning or ProjectAnalyze
    int line = 1;     // the line of field's text, from 1
    qsizetype at = 0; // where in field's text, in UTF-16 units
    qsizetype length = 0;
    QString text;      // as it stands in the text, blanks and line breaks included
    Field source;      // where the application gives it
    int sourceRow = 0; // for MainActor: the participant's row (from 1); else 0
    bool unit = false; // a unit (or bank, address), not a person's name
    QString context;   // ten characters each side, line breaks as blanks, control characters visible
    // A name of two characters inside a longer run of Chinese: perhaps a name, perhaps only a
    // word (周明 in 四周明显).
    bool weak = false;
};

struct AnonymityFindings
{
    std::vector<AnonymityHit> hits; // in the order of the fields, then of the text; at most maxHits
    qsizetype total = 0;            // all places found, also those left out
};

// The places found in record's loose leaves. Texts are compared folded: full-width and
// half-width alike (NFKC), letter case ignored, blanks, line breaks and zero-width characters
// left out on both sides, so that a name split by a line break is found. Names of fewer than two
// characters are not looked for; a unit is also looked for without the city the application
// names. One pass over each text for all names: the time is linear in the text.
AnonymityFindings findNamesInLooseLeaves(const ApplicationRecord& record, qsizetype maxHits = 200);

// Where a hit's words come from, as xdxtool names it: "Presider", "MainActor 第3行 姓名".
QString anonymitySourceName(const AnonymityHit& hit);

} // namespace shenbao
