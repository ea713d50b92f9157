#pragma once

#include <QString>
#include <QStringView>

#include <utility>

// How the checks that look for one text inside another compare characters: full-width and
// half-width alike (NFKC), letter case ignored, and blanks, line breaks and the characters that
// take no room left out. The checks and the review's conflicts of interest compare names and units so.

namespace shenbao::fold {

// The code point at text[i] and its length in UTF-16 units.
std::pair<char32_t, qsizetype> codePoint(QStringView text, qsizetype i);

// Blanks of every width, line breaks, and the characters that take no room at all.
bool isBlank(char32_t c);

// Appends the folded form of c; the common characters (ASCII, the unified ideographs) take the
// short way.
void append(char32_t c, QString& out);

// text folded: every character appended, the blanks left out.
QString folded(QStringView text);

} // namespace shenbao::fold
