// Feeds arbitrary bytes to the JSON input of xdxtool build: it refuses or gives a record that
// saves, reads back equal and prints as the same JSON.
#include "check/verify.h"
#include "xdx/xdxfile.h"
#include "xdx/xdxjson.h"

#include <cstddef>
#include <cstdint>

using namespace shenbao;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const JsonRecord json = recordFromJson(bytes);
    if (!json) {
        if (json.error().isEmpty())
            __builtin_trap(); // a refusal always says why
        return 0;
    }
    ApplicationRecord record = *json;
    record.setProjectId(newProjectId());
    const QStringList errors = verify(record);
    const QByteArray saved = xdxBytes(record, errors);
    if (saved.isEmpty())
        return 0;
    const OpenResult back = openXdxBytes(saved);
    if (openStatus(back) != OpenStatus::Loaded)
        __builtin_trap();
    // What XML cannot hold is dropped on saving; everything else comes back, and from then on
    // the record is stable through JSON.
    const JsonRecord again = recordFromJson(recordToJson(back->record, false));
    if (!again)
        __builtin_trap();
    ApplicationRecord expected = back->record;
    expected.setProjectId(again->projectId());
    if (!(*again == expected))
        __builtin_trap();
    return 0;
}
