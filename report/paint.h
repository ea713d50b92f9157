#pragma once

// Drawing laid-out sheets on a painter or into an image.

#include "report/sheet.h"

#include <QImage>

class QPainter;

namespace shenbao {

// Paints one sheet with its top-left corner at the painter's origin, in the device's own
// resolution, unscaled: an inch is logicalDpiX() device units. Works on any device (QPdfWriter,
// QPrinter with setFullPage(true), QImage); a transform already set on the painter applies on
// top, which is how sheetImage scales a preview down.
void paintSheet(QPainter& painter, const Sheet& sheet);

// A preview of one sheet at dpi dots per inch, white background. The painting happens at the
// layout resolution and is scaled down, so its lines break exactly like the paper's.
QImage sheetImage(const Sheet& sheet, double dpi = 96);

} // namespace shenbao
