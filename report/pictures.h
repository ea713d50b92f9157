#pragma once

#include "report/reportdesign.h"

#include <QImage>

namespace shenbao {

// The picture of the official watermark or banner, from the program's resources; a null image
// for Picture::None. Loaded once and shared (images are implicitly shared and never changed).
const QImage& pictureImage(Picture picture);

} // namespace shenbao
