#pragma once

#include "files/expected.h"

#include <QByteArray>
#include <QString>

namespace shenbao {

// Marking a document official ("1") or not ("0") in place: the text of its PASSBY element
// replaced, or the element added where the writer puts it (after ExpectProduction2), and every
// other byte left as it was. Only a document this system reads as its own is edited; the result
// is read back and must hold the same record.
struct PassbyEdit
{
    QByteArray bytes; // the edited document
    bool changed = false;
};

// The edit, or why the document cannot be edited.
Expected<PassbyEdit, QString> withPassby(const QByteArray& bytes, bool official);

} // namespace shenbao
