#pragma once

#include <QString>
#include <QStringList>

namespace shenbao {

// Comma text: the one encoding of a list of strings in XDX documents (table rows, the lines of
// long texts, the error list). A string holding a blank or control character, a double quote
// or a comma is written quoted, with its quotes doubled; a list of one empty string is `""`.
QString JoinCommaText(const QStringList& items);

// Reads comma text back. Blanks and control characters between items are skipped; a quoted
// item without its closing quote takes the rest of the text whole; a NUL ends the text.
// For every list, SplitCommaText(JoinCommaText(list)) == list.
QStringList SplitCommaText(QStringView text);

} // namespace shenbao
