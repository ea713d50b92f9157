// Feeds arbitrary bytes to the XDX reader, as a mailed-in file would.
#include "xdx/xdxfile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const shenbao::OpenResult r = shenbao::openXdxBytes(bytes);
    if (r.status == shenbao::OpenResult::Status::Loaded) {
        // Whatever was read must save and read back the same.
        const QByteArray again = shenbao::xdxBytes(r.record, {});
        const shenbao::OpenResult back = shenbao::openXdxBytes(again);
        if (again.isEmpty() || back.status != shenbao::OpenResult::Status::Loaded)
            __builtin_trap();
    }
    return 0;
}
