#include "record/textrules.h"

#include "record/gbk.h"

#include <QStringDecoder>

#include <algorithm>
#include <optional>

namespace shenbao {
namespace {

bool isLineBreakChar(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
}

// Length of the character (or CR LF pair) that starts at i, in UTF-16 units.
qsizetype unitLength(QStringView text, qsizetype i)
{
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
        return 2;
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return 2;
    return 1;
}

int unitBytes(QStringView unit)
{
    const QChar c = unit[0];
    if (isLineBreakChar(c))
        return 2;
    if (c.unicode() < 0x80)
        return 1;
    // CP936 holds a few single-byte characters, such as the euro sign at 0x80.
    char bytes[2];
    const int n = unit.size() == 1 ? gbk::toBytes(c.unicode(), bytes) : 0;
    return n ? n : 2;
}

} // namespace

int gbkByteLength(QStringView text)
{
    int bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = unitLength(text, i);
        bytes += unitBytes(text.mid(i, n));
        i += n;
    }
    return bytes;
}

int characterCount(QStringView text)
{
    int n = 0;
    for (qsizetype i = 0; i < text.size(); i += unitLength(text, i))
        ++n;
    return n;
}

QString fitGbkBytes(QStringView text, int maxBytes)
{
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype n = unitLength(text, i);
        const int b = unitBytes(text.mid(i, n));
        if (bytes + b > maxBytes)
            break;
        bytes += b;
        i += n;
    }
    return text.left(i).toString();
}

bool isGbkEncodable(QStringView text)
{
    return gbk::encode(text).has_value();
}

bool isEduCodeSeparator(int displayPosition)
{
    return displayPosition == 3 || displayPosition == 7;
}

QString eduCodeDisplay(QStringView value)
{
    QString display;
    display.reserve(12 + std::max<qsizetype>(0, value.size() - kEduCodeDigits));
    for (int i = 0; i < kEduCodeDigits; ++i) {
        display.append(i < value.size() ? value[i] : QChar(u'_'));
        if (i == 2 || i == 5)
            display.append(u'-');
    }
    if (value.size() > kEduCodeDigits)
        display.append(value.mid(kEduCodeDigits));
    return display;
}

QString eduCodeValue(QStringView display)
{
    QString chars;
    chars.reserve(display.size());
    for (qsizetype i = 0; i < display.size(); ++i)
        if (!(isEduCodeSeparator(int(i)) && display[i] == u'-'))
            chars.append(display[i]);
    qsizetype end = chars.size();
    while (end > 0 && chars[end - 1] == u'_')
        --end;
    chars.truncate(end);
    chars.replace(u'_', u' ');
    return chars;
}

QString visibleControls(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20)
            out += QChar(char16_t(0x2400 + u));
        else if (u == 0x7F)
            out += QChar(char16_t(0x2421));
        else if (u >= 0x80 && u < 0xA0)
            out += QStringLiteral("\\x") + QString::number(u, 16);
        else
            out += c;
    }
    return out;
}

namespace {

// The text of bytes that are GBK through and through, or nothing.
std::optional<QString> strictGbk(QByteArrayView bytes)
{
    QString text;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = uchar(bytes[i]);
        const char16_t c = gbk::isLeadByte(b) && i + 1 < bytes.size() ? gbk::fromPair(b, uchar(bytes[++i]))
                                                                      : gbk::fromByte(b);
        if (c == 0)
            return std::nullopt;
        text += QChar(c);
    }
    return text;
}

// UTF-8 with each byte that is not part of a character as "\xNN".
QString utf8WithEscapes(QByteArrayView bytes)
{
    QString out;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (qsizetype i = 0; i < bytes.size();) {
        const auto b = uchar(bytes[i]);
        const int length = b < 0x80             ? 1
                           : (b & 0xE0) == 0xC0 ? 2
                           : (b & 0xF0) == 0xE0 ? 3
                           : (b & 0xF8) == 0xF0 ? 4
                                                : 0;
        if (length && i + length <= bytes.size() && bytes.sliced(i, length).isValidUtf8()) {
            out += decoder.decode(bytes.sliced(i, length));
            i += length;
        } else {
            out += QStringLiteral("\\x%1").arg(int(b), 2, 16, QChar(u'0'));
            ++i;
        }
    }
    return out;
}

} // namespace

QString readableFileName(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return visibleControls(QString::fromUtf8(bytes));
    QStringList parts;
    for (qsizetype from = 0; from <= bytes.size();) {
        qsizetype slash = bytes.sliced(from).indexOf('/');
        slash = slash < 0 ? bytes.size() : from + slash;
        const QByteArrayView part = bytes.sliced(from, slash - from);
        if (part.isValidUtf8())
            parts.append(QString::fromUtf8(part));
        else if (const std::optional<QString> gbkText = strictGbk(part))
            parts.append(*gbkText);
        else
            parts.append(utf8WithEscapes(part));
        from = slash + 1;
    }
    return visibleControls(parts.join(u'/'));
}

QStringView nextTextLine(QStringView text, qsizetype* pos)
{
    const qsizetype start = *pos;
    qsizetype i = start;
    while (i < text.size() && !isLineBreakChar(text[i]))
        ++i;
    *pos = i < text.size() ? i + unitLength(text, i) : i;
    return text.mid(start, i - start);
}

QStringList longTextLines(QStringView text)
{
    QStringList lines;
    for (qsizetype pos = 0; pos < text.size();)
        lines.append(nextTextLine(text, &pos).toString());
    return lines;
}

QString longTextFromLines(const QStringList& lines)
{
    QString text;
    qsizetype size = 0;
    for (const QString& line : lines)
        size += line.size() + 2;
    text.reserve(size);
    for (const QString& line : lines) {
        text += line;
        text += u"\r\n";
    }
    return text;
}

bool hasLineBreak(QStringView text)
{
    // Most characters lie between CR and the line separator, or above the paragraph separator.
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        const char16_t u = c.unicode();
        return (u <= u'\r' || (u >= 0x2028 && u <= 0x2029)) && isLineBreakChar(c);
    });
}

QString withCrLf(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        if (isLineBreakChar(text[i])) {
            out += u"\r\n";
            i += unitLength(text, i);
        } else {
            out += text[i];
            ++i;
        }
    }
    return out;
}

} // namespace shenbao
