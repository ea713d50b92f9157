#pragma once

#include <QString>

// The words of the commands' procedures that the window and xdxtool share.

namespace shenbao::sessionmsg {

QString draftsFolder();
QString untitled();

} // namespace shenbao::sessionmsg
