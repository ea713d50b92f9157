#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// GBK as the system's code page 936 has it: the encoding of every document and the unit of every
// field's limit. The system's own converter (ICU on Linux, code page 936 on Windows) is asked
// once for every code, so that all conversions, libxml2's included, go through the same tables
// on every system, and bytes or characters it does not know are errors, never a silent "?".

namespace shenbao::gbk {

// The character of a single byte: ASCII, and the few single-byte characters of the code page
// (the euro sign at 0x80); 0 when the byte is a lead byte or no character.
char16_t fromByte(unsigned char byte);

// The character of a lead and a trail byte, 0 when the pair is no character.
char16_t fromPair(unsigned char lead, unsigned char trail);

// Whether byte starts a two-byte character.
inline bool isLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0xFE;
}

// The bytes of c into out: 1 or 2, or 0 when GBK has no c.
int toBytes(char16_t c, char out[2]);

// The text of bytes; a byte or pair that is no character becomes U+FFFD.
QString decode(QByteArrayView bytes);

// The bytes of text, or nothing when a character has none (a character outside the BMP, for one).
std::optional<QByteArray> encode(QStringView text);

} // namespace shenbao::gbk
