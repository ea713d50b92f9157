#pragma once

#include <QString>
#include <QStringList>

namespace shenbao {

// Length of text in bytes of the GBK code page, as the field limits count it: an ASCII
// character 1, every other character 2 (also one that GBK cannot encode), a line break 2
// (CR LF, a lone LF, a lone CR or U+2029 alike).
int gbkByteLength(QStringView text);

// The bytes a field's limit leaves once it holds text (negative when a document put in more):
// the one count behind the editors' limit and the room an applicant is shown.
inline int bytesLeft(QStringView text, int limitBytes)
{
    return limitBytes - gbkByteLength(text);
}

// The characters of text, a surrogate pair and a CR LF one each: what an applicant counts.
int characterCount(QStringView text);

// The longest prefix of text that takes at most maxBytes GBK bytes, cut between whole
// characters: never inside a surrogate pair or a CR LF.
QString fitGbkBytes(QStringView text, int maxBytes);

// Whether GBK can encode every character of text.
bool isGbkEncodable(QStringView text);

// EduCode's masked display: ten digit positions as "000-000-0000", "_" for an empty position,
// characters beyond the tenth shown after the last group.
inline constexpr int kEduCodeDigits = 10;
QString eduCodeDisplay(QStringView value);
// The value of a display: the characters without the two separators, the trailing run of
// empty positions dropped, every other empty position a blank.
QString eduCodeValue(QStringView display);
// Whether the display position (0-based, in the display text) is a separator.
bool isEduCodeSeparator(int displayPosition);

// text with its control characters made visible, for messages that show text from a file on a
// screen or a terminal: C0 controls as their Control Pictures (ESC as U+241B), DEL as U+2421,
// C1 controls as "\x9b". Nothing else changes, so the count of characters stays.
QString visibleControls(QStringView text);

// A file name as the system's bytes, readably for a message: UTF-8 where it is UTF-8, a part
// between slashes that is GBK through and through (an archive unpacked from a Chinese Windows
// machine) as GBK, other bytes as "\xNN"; control characters visible.
QString readableFileName(QByteArrayView bytes);

// A long text's lines: its text split at its line breaks (CR LF, or a lone LF or CR); an empty
// last line after a final line break is no line, so "" gives no line and "\r\n" one empty line.
QStringList longTextLines(QStringView text);
// The same split one line at a time: the line that starts at *pos, with *pos moved past its line
// break. Call while *pos < text.size().
QStringView nextTextLine(QStringView text, qsizetype* pos);
// The text that lines give back: each line followed by CR LF.
QString longTextFromLines(const QStringList& lines);
// Whether text holds a line break (CR, LF, U+2028 or U+2029).
bool hasLineBreak(QStringView text);
// A text with every line break as CR LF.
QString withCrLf(QStringView text);

} // namespace shenbao
