// Feeds arbitrary bytes to the XDX reader, as a mailed-in file would, and follows what was read
// through every path a document takes: check, JSON and back, save and read again.
#include "check/verify.h"
#include "xdx/xdxfile.h"
#include "xdx/xdxjson.h"

#include <cstddef>
#include <cstdint>

using namespace shenbao;

namespace {

// A choice value outside the field's items is the one thing a document may hold that JSON refuses.
bool hasForeignChoice(const ApplicationRecord& r)
{
    for (const FieldSpec& spec : fieldCatalogue())
        if (spec.kind == FieldKind::Choice && !r.value(spec.field).isEmpty() &&
            choiceIndex(spec.field, r.value(spec.field)) < 0)
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const OpenResult r = openXdxBytes(bytes);
    if (r.status != OpenResult::Status::Loaded)
        return 0;
    const QStringList errors = verify(r.record);

    // JSON and back gives the same record (the identifier aside: build makes a fresh one).
    const JsonRecord json = recordFromJson(recordToJson(r.record, r.official));
    if (json.ok) {
        ApplicationRecord expected = r.record;
        expected.setProjectId(json.record.projectId());
        if (!(json.record == expected))
            __builtin_trap();
    } else if (!hasForeignChoice(r.record)) {
        __builtin_trap();
    }

    // Saving what was read and reading it again is a fixpoint: the same record, the same bytes.
    const QByteArray saved = xdxBytes(r.record, errors);
    if (saved.isEmpty())
        return 0; // a value past the parser's text-node limit: refused with its reason
    const OpenResult back = openXdxBytes(saved);
    if (back.status != OpenResult::Status::Loaded || !(back.record == r.record) || back.official)
        __builtin_trap();
    if (xdxBytes(back.record, errors) != saved)
        __builtin_trap();
    return 0;
}
