#pragma once

#include <QString>

// Every text this layer puts before a user.

namespace shenbao {

// What the window and xdxtool say when a form would pass kMaxSheets.
QString tooManySheetsMessage();

namespace reportmsg {

QString cannotWritePdf(const QString& why);
QString cannotWritePdf(const QString& shown, const QString& why);
QString noSheets();
// What the review prints on pages 12, 13 and the loose leaves.
QString voteResult(bool voteFailed, bool leavesFailed, bool voted);
QString tick();
QString approval(bool approved);
QString reviewCode(const QString& code);

} // namespace reportmsg
} // namespace shenbao
