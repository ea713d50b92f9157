#include "session/messages.h"

namespace shenbao::sessionmsg {

QString draftsFolder()
{
    return QStringLiteral("未保存的草稿");
}

QString untitled()
{
    return QStringLiteral("未命名");
}

} // namespace shenbao::sessionmsg
