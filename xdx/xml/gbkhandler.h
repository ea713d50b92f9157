#pragma once

namespace shenbao::xml {

// Registers the project's GBK codec with libxml2 as "GBK" (and its aliases GB2312 and CP936),
// ahead of iconv, so that reading and writing documents convert the same way on every system.
void registerGbkHandler();

} // namespace shenbao::xml
