#include "app/pictureicon.h"

namespace shenbao {

QIcon pictureIcon(QStringView name)
{
    return QIcon(QStringLiteral(":/icons/") + name.toString() + QStringLiteral(SHENBAO_PICTURE_SUFFIX));
}

} // namespace shenbao
