#include "record/gbk.h"

#include "record/platform/codepage.h"

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
            t->single[b] = b < 0x80 ? char16_t(b) : system::decode(&byte, 1);
        }
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = kTrailFirst; trail <= 0xFE; ++trail) {
                if (trail == 0x7F)
                    continue;
                const char pair[2] = {char(lead), char(trail)};
                t->pairs[(lead - 0x81) * kTrails + (trail - kTrailFirst)] = system::decode(pair, 2);
            }
        for (int u = 1; u < 0x10000; ++u) {
            if (u >= 0xD800 && u <= 0xDFFF)
                continue;
            if (u < 0x80) {
                t->bytes[u] = quint16(u);
                continue;
            }
            char out[2];
            const int n = system::encode(char16_t(u), out);
            if (n == 1 && uchar(out[0]) != 0xFF)
                t->bytes[u] = uchar(out[0]);
            else if (n == 2 && isLeadByte(uchar(out[0])))
                t->bytes[u] = quint16(uchar(out[0]) << 8 | uchar(out[1]));
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
