#include "record/gbk.h"

#include "record/platform/codepage.h"

#include <algorithm>
#include <array>
#include <memory>

namespace shenbao::gbk {
namespace {

constexpr int kTrailFirst = 0x40;
constexpr int kTrails = 0xFF - kTrailFirst; // 0x40..0xFE

struct Tables
{
    std::array<char16_t, 256> single{};
    std::array<char16_t, 126 * kTrails> pairs{}; // lead 0x81..0xFE
    // Unicode to bytes: 0 none, below 0x100 one byte, else lead << 8 | trail.
    std::array<quint16, 0x10000> bytes{};
};

// The character of one code (1 or 2 bytes), asked of the system alone; 0 for none.
char16_t decodeOne(const char* bytes, int size)
{
    bool ok = false;
    const QString text = system::decode(QByteArrayView(bytes, size), &ok);
    return ok && text.size() == 1 ? text[0].unicode() : 0;
}

void setBytes(Tables& t, char16_t c, QByteArrayView code)
{
    if (code.size() == 1 && uchar(code[0]) != 0xFF)
        t.bytes[c] = uchar(code[0]);
    else if (code.size() == 2 && isLeadByte(uchar(code[0])))
        t.bytes[c] = quint16(uchar(code[0]) << 8 | uchar(code[1]));
}

// The system is asked a row of codes (one lead byte) at a time, both ways; where a row does not
// convert whole and back to the same bytes, code by code.
const Tables& tables()
{
    static const std::unique_ptr<Tables> t = [] {
        auto t = std::make_unique<Tables>();
        // 0xFF is no GBK code: ICU gives it a private-use character (U+F8F5) that Wine's code
        // page 936 does not, and no document has it. Every other code agrees between the two.
        for (int b = 1; b < 0xFF; ++b) {
            if (isLeadByte(uchar(b)))
                continue;
            const char byte = char(b);
            t->single[b] = b < 0x80 ? char16_t(b) : decodeOne(&byte, 1);
            if (t->single[b])
                setBytes(*t, t->single[b], QByteArrayView(&byte, 1));
        }
        for (int lead = 0x81; lead <= 0xFE; ++lead) {
            QByteArray row;
            for (int trail = kTrailFirst; trail <= 0xFE; ++trail)
                if (trail != 0x7F)
                    row.append(char(lead)).append(char(trail));
            bool decoded = false, encoded = false;
            const QString text = system::decode(row, &decoded);
            const bool whole =
                decoded && text.size() * 2 == row.size() &&
                std::none_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
            const bool back = whole && system::encode(text, &encoded) == row && encoded;
            for (qsizetype k = 0; k < row.size(); k += 2) {
                const uchar trail = uchar(row[k + 1]);
                char16_t c = whole ? text[k / 2].unicode() : decodeOne(row.constData() + k, 2);
                t->pairs[(lead - 0x81) * kTrails + (trail - kTrailFirst)] = c;
                if (!c)
                    continue;
                if (back) {
                    setBytes(*t, c, QByteArrayView(row.constData() + k, 2));
                } else {
                    bool ok = false;
                    const QByteArray code = system::encode(QStringView(&c, 1), &ok);
                    if (ok)
                        setBytes(*t, c, code);
                }
            }
        }
        return t;
    }();
    return *t;
}

} // namespace

char16_t fromByte(unsigned char byte)
{
    return tables().single[byte];
}

char16_t fromPair(unsigned char lead, unsigned char trail)
{
    if (!isLeadByte(lead) || trail < kTrailFirst || trail > 0xFE)
        return 0;
    return tables().pairs[(lead - 0x81) * kTrails + (trail - kTrailFirst)];
}

int toBytes(char16_t c, char out[2])
{
    if (c == 0) {
        out[0] = 0;
        return 1;
    }
    const quint16 code = tables().bytes[c];
    if (code == 0)
        return 0;
    if (code < 0x100) {
        out[0] = char(code);
        return 1;
    }
    out[0] = char(code >> 8);
    out[1] = char(code & 0xFF);
    return 2;
}

QString decode(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(bytes[i]);
        char16_t c = 0;
        if (isLeadByte(b) && i + 1 < bytes.size()) {
            c = fromPair(b, uchar(bytes[i + 1]));
            if (c)
                ++i;
        } else {
            c = b ? fromByte(b) : u'\0';
        }
        text.append(c || !b ? QChar(c) : QChar(QChar::ReplacementCharacter));
    }
    return text;
}

std::optional<QByteArray> encode(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        char out[2];
        const int n = toBytes(c.unicode(), out);
        if (n == 0)
            return std::nullopt;
        bytes.append(out, n);
    }
    return bytes;
}

} // namespace shenbao::gbk
