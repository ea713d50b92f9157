#pragma once

#include <QStyle>

namespace shenbao {

// The application's style, except that a drop-down list opens as a list below the box that
// honours QComboBox::maxVisibleItems: some styles (Fusion) otherwise pop up every item at once.
// One instance for the process.
QStyle* listPopupStyle();

} // namespace shenbao
