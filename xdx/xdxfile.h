#pragma once

#include "files/expected.h"
#include "record/applicationrecord.h"
#include "xdx/messages.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringList>

#include <span>
#include <vector>

namespace shenbao {

// The format tag every document of this system carries in <ver>.
QString formatTag(); // "QX2011v1.0"

// A fresh identifier for a save: a random GUID in its 38-character registry form,
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case.
QString newProjectId();

// Written, or the reason why not (the message the error box shows).
using WriteResult = Expected<void, QString>;

// The XDX document of record, as GBK bytes: the declaration, then XMLPackage with its 53 children
// in the format's order (ProjectID from record.projectId(), ver, PASSBY "0", verifylist from
// errorList). Characters XML cannot hold are dropped; characters outside GBK become character
// references. Returns empty bytes and sets *error when the XML engine fails.
QByteArray xdxBytes(const ApplicationRecord& record, const QStringList& errorList, QString* error = nullptr);

// The characters of record that XML 1.0 cannot hold (U+0000, most other C0 controls, a lone
// surrogate, U+FFFE, U+FFFF) and the writer therefore leaves out, by field, each character once
// in the order met; empty when every value is written whole.
struct UnwritableCharacters
{
    Field field;
    QString characters;
};
std::vector<UnwritableCharacters> unwritableCharacters(const ApplicationRecord& record);

// The save's own rule: a document needs a project title and a leader as they will be written,
// that is without the characters XML cannot hold. Empty when record may be saved, else the
// message "“课题名称”  和  “主持人”  必须填写！".
QString saveRefusal(const ApplicationRecord& record);

// Writes the document to device.
WriteResult writeXdx(QIODevice* device, const ApplicationRecord& record, const QStringList& errorList);

// Writes the document to path atomically: a temporary file beside it, renamed over the old file
// only once complete, so that a failed save leaves an existing file as it was.
WriteResult saveXdxFile(const QString& path, const ApplicationRecord& record, const QStringList& errorList);

// A document read: its record and mode. A root without children is a document that holds
// nothing (hollow): nothing is read from it, and no message is shown.
struct XdxDocument
{
    ApplicationRecord record; // the document's values (empty when hollow)
    bool official = false;    // PASSBY is exactly "1"
    bool hollow = false;
};

// Why a document was not read.
struct OpenFailure
{
    enum class Kind {
        Rejected,   // not this system's (a wrong format tag): message is the information box's
        Unreadable, // a parse failure or an element with more than a text value: the error
    };
    Kind kind = Kind::Unreadable;
    QString message;
    // A file that could not be read at all (missing, a folder, too large): the reason alone,
    // without the parser's line that message carries as the window's box does.
    QString fileMessage;
};

using OpenResult = Expected<XdxDocument, OpenFailure>;

// The four ways an open ends, for the places that take each its own way.
enum class OpenStatus { Loaded, Hollow, Rejected, Unreadable };
OpenStatus openStatus(const OpenResult& result);

// Reads a whole XDX document into a record without touching anything else; the window takes the
// result only when it is Loaded, so an open that fails half-way changes nothing.
OpenResult openXdxFile(const QString& path);
OpenResult openXdxBytes(const QByteArray& bytes);
// The same, the record holding only the fields of only (the others empty): a round's search
// wants a few texts of thousands of documents. The outcome is that of the whole open.
OpenResult openXdxFile(const QString& path, std::span<const Field> only);
OpenResult openXdxBytes(const QByteArray& bytes, std::span<const Field> only);

} // namespace shenbao
