#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The system's converter for code page 936, asked while the tables are built (a row of codes at
// a time, one code where a row fails). One implementation per system.

namespace shenbao::gbk::system {

// The text of bytes; *ok false when the converter reports any byte it cannot decode.
QString decode(QByteArrayView bytes, bool* ok);

// The bytes of text; *ok false when a character has no exact mapping (no best fit, no "?").
QByteArray encode(QStringView text, bool* ok);

} // namespace shenbao::gbk::system
