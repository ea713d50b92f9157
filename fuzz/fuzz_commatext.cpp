// SplitCommaText on arbitrary text, and the round trip of what it gives.
#include "xdx/commatext.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList items = shenbao::SplitCommaText(text);
    if (shenbao::SplitCommaText(shenbao::JoinCommaText(items)) != items)
        __builtin_trap();
    return 0;
}
