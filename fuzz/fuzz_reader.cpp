// Feeds arbitrary bytes to the XDX reader, as a mailed-in file would, and follows what was read
// through every path a document takes: check, JSON and back, save and read again. The reader's
// outline, made from the parser's events, must hold what the engine's tree holds.
#include "check/verify.h"
#include "xdx/xdxfile.h"
#include "xdx/xdxjson.h"
#include "xdx/xml/outline.h"

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

QString shape(const xml::Outline::Node& n)
{
    switch (n.kind()) {
    case xml::NodeKind::Element: {
        QString s = u'<' + QString::fromUtf8(n.name().data(), qsizetype(n.name().size())) + u'>';
        for (xml::Outline::Node c = n.firstChild(); !c.isNull(); c = c.nextSibling())
            s += shape(c);
        return s + QStringLiteral("</>");
    }
    case xml::NodeKind::Text:
        return QStringLiteral("T[") + n.value() + u']';
    case xml::NodeKind::CData:
        return QStringLiteral("C[") + n.value() + u']';
    default:
        return QStringLiteral("O");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    xml::ParseError fromEvents, fromTree;
    const auto events = xml::Outline::read(bytes, &fromEvents);
    const auto tree = xml::Outline::readThroughTree(bytes, &fromTree);
    if (events.has_value() != tree.has_value())
        __builtin_trap();
    if (events ? shape(events->root()) != shape(tree->root()) : fromEvents.message() != fromTree.message())
        __builtin_trap();
    const OpenResult r = openXdxBytes(bytes);
    if (openStatus(r) != OpenStatus::Loaded)
        return 0;
    const QStringList errors = verify(r->record);

    // JSON and back gives the same record (the identifier aside: build makes a fresh one).
    const JsonRecord json = recordFromJson(recordToJson(r->record, r->official));
    if (json) {
        ApplicationRecord expected = r->record;
        expected.setProjectId(json->projectId());
        if (!(*json == expected))
            __builtin_trap();
    } else if (!hasForeignChoice(r->record)) {
        __builtin_trap();
    }

    // Saving what was read and reading it again is a fixpoint: the same record, the same bytes.
    const QByteArray saved = xdxBytes(r->record, errors);
    if (saved.isEmpty())
        return 0; // a value past the parser's text-node limit: refused with its reason
    const OpenResult back = openXdxBytes(saved);
    if (openStatus(back) != OpenStatus::Loaded || !(back->record == r->record) || back->official)
        __builtin_trap();
    if (xdxBytes(back->record, errors) != saved)
        __builtin_trap();
    return 0;
}
