#include "record/platform/codepage.h"

#include <windows.h>

namespace shenbao::gbk::system {

constexpr UINT kCodePage = 936;

QString decode(QByteArrayView bytes, bool* ok)
{
    *ok = false;
    if (bytes.isEmpty()) {
        *ok = true;
        return {};
    }
    QString text(bytes.size(), Qt::Uninitialized);
    // Without MB_ERR_INVALID_CHARS an invalid sequence would come back as a default character.
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes.data(), int(bytes.size()),
                                      reinterpret_cast<wchar_t*>(text.data()), int(text.size()));
    if (n <= 0)
        return {};
    text.resize(n);
    *ok = true;
    return text;
}

QByteArray encode(QStringView text, bool* ok)
{
    *ok = false;
    if (text.isEmpty()) {
        *ok = true;
        return {};
    }
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    BOOL usedDefault = FALSE;
    // No best fit: a character without its own code is an error, not a look-alike or "?".
    const int n =
        WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, reinterpret_cast<const wchar_t*>(text.utf16()),
                            int(text.size()), bytes.data(), int(bytes.size()), nullptr, &usedDefault);
    if (n <= 0 || usedDefault)
        return {};
    bytes.resize(n);
    *ok = true;
    return bytes;
}

} // namespace shenbao::gbk::system
