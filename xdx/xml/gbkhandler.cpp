#include "xdx/xml/gbkhandler.h"

#include "record/gbk.h"

#include <libxml/encoding.h>

namespace shenbao::xml {
namespace {

// libxml2's converters return the bytes written, or -2 with *inlen at the character that
// cannot be converted. A character cut at the end of a chunk is left for the next call.

int gbkToUtf8(unsigned char* out, int* outlen, const unsigned char* in, int* inlen)
{
    const int inSize = in ? *inlen : 0;
    const int outSize = *outlen;
    int i = 0, o = 0;
    int result = 0;
    while (i < inSize) {
        const unsigned char b = in[i];
        char16_t c;
        int used = 1;
        if (b < 0x80) {
            c = b;
        } else if (gbk::isLeadByte(b)) {
            if (i + 1 >= inSize)
                break;
            c = gbk::fromPair(b, in[i + 1]);
            used = 2;
        } else {
            c = gbk::fromByte(b);
        }
        if (b != 0 && c == 0) {
            result = -2;
            break;
        }
        const int need = c < 0x80 ? 1 : c < 0x800 ? 2 : 3;
        if (o + need > outSize)
            break;
        if (need == 1) {
            out[o++] = (unsigned char)c;
        } else if (need == 2) {
            out[o++] = (unsigned char)(0xC0 | (c >> 6));
            out[o++] = (unsigned char)(0x80 | (c & 0x3F));
        } else {
            out[o++] = (unsigned char)(0xE0 | (c >> 12));
            out[o++] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
            out[o++] = (unsigned char)(0x80 | (c & 0x3F));
        }
        i += used;
    }
    *inlen = i;
    *outlen = o;
    return result < 0 ? result : o;
}

int utf8ToGbk(unsigned char* out, int* outlen, const unsigned char* in, int* inlen)
{
    if (!in) { // the end: nothing held back
        *outlen = 0;
        *inlen = 0;
        return 0;
    }
    const int inSize = *inlen;
    const int outSize = *outlen;
    int i = 0, o = 0;
    int result = 0;
    while (i < inSize) {
        const unsigned char b = in[i];
        const int len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        if (i + len > inSize)
            break;
        char32_t u = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
        for (int k = 1; k < len; ++k)
            u = (u << 6) | (in[i + k] & 0x3F);
        char bytes[2];
        const int n = u < 0x10000 ? gbk::toBytes(char16_t(u), bytes) : 0;
        if (n == 0) {
            result = -2; // libxml2 writes a character reference for it
            break;
        }
        if (o + n > outSize)
            break;
        for (int k = 0; k < n; ++k)
            out[o++] = (unsigned char)bytes[k];
        i += len;
    }
    *inlen = i;
    *outlen = o;
    return result < 0 ? result : o;
}

} // namespace

void registerGbkHandler()
{
    static const bool done = [] {
        char name[] = "GBK";
        if (!xmlNewCharEncodingHandler(name, gbkToUtf8, utf8ToGbk))
            return false;
        xmlAddEncodingAlias("GBK", "GB2312");
        xmlAddEncodingAlias("GBK", "CP936");
        return true;
    }();
    (void)done;
}

} // namespace shenbao::xml
