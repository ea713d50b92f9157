#pragma once

#include <QIcon>
#include <QStringView>

namespace shenbao {

// One of the program's pictures by name ("verifydata", "shenbao"): drawn from SVG where Qt
// draws SVG, else from a PNG rendered at build time.
QIcon pictureIcon(QStringView name);

} // namespace shenbao
