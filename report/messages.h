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

} // namespace reportmsg
} // namespace shenbao
