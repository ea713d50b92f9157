#include "record/platform/codepage.h"

#include <windows.h>

namespace shenbao::gbk::system {

constexpr UINT kCodePage = 936;

char16_t decode(const char* bytes, int size)
{
    wchar_t out[2] = {};
    // Without MB_ERR_INVALID_CHARS an invalid sequence would come back as a default character.
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, size, out, 2);
    return n == 1 ? char16_t(out[0]) : 0;
}

int encode(char16_t c, char out[2])
{
    const wchar_t in = wchar_t(c);
    BOOL usedDefault = FALSE;
    // No best fit: a character without its own code is an error, not a look-alike or "?".
    const int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &in, 1, out, 2, nullptr, &usedDefault);
    return n > 0 && !usedDefault ? n : 0;
}

} // namespace shenbao::gbk::system
