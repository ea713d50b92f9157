#pragma once

#include "files/expected.h"
#include "record/applicationrecord.h"
#include "xdx/jsonwriter.h"

#include <QByteArray>
#include <QString>

namespace shenbao {

// The application as one JSON object (UTF-8, indented): the keys in the XDX element order
// (ProjectID, ProjectName, ... jiaoyujuyijian; not ver, PASSBY or verifylist), then "official".
// Text, choice and code values are strings (EduCode its value), each table an array of all its
// data rows, each row an array of its cells, each long text one string with CR LF line breaks.
QByteArray recordToJson(const ApplicationRecord& record, bool official);

// The record (a missing key an empty field), or why not (naming the offending key).
using JsonRecord = Expected<ApplicationRecord, QString>;

// The inverse of recordToJson. "ProjectID" and "official" are accepted and ignored. Refuses an
// unknown key, a value of the wrong type, too many rows or cells, and a choice text that is none
// of its field's items; "\n" and "\r\n" both end a long-text line.
JsonRecord recordFromJson(const QByteArray& json);

} // namespace shenbao
