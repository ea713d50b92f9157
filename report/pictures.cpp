#include "report/pictures.h"

using namespace Qt::StringLiterals;

namespace shenbao {

const QImage& pictureImage(Picture picture)
{
    static const QImage watermark(u":/report/pictures/watermark.png"_s);
    static const QImage banner(u":/report/pictures/banner.png"_s);
    static const QImage none;
    switch (picture) {
    case Picture::Watermark:
        return watermark;
    case Picture::Banner:
        return banner;
    case Picture::None:
        break;
    }
    return none;
}

} // namespace shenbao
