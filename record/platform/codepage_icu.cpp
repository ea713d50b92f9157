#include "record/platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace shenbao::gbk::system {

// ICU's "GBK" is its windows-936 table. A fresh converter each time: in Qt 6.4 resetState()
// does not clear an error, so a reused converter would fail every character after the first
// one without a code.

char16_t decode(const char* bytes, int size)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes, size));
    if (!decoder.isValid() || decoder.hasError() || text.size() != 1)
        return 0;
    return text[0].unicode();
}

int encode(char16_t c, char out[2])
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    const QByteArray bytes = encoder.encode(QStringView(&c, 1));
    if (!encoder.isValid() || encoder.hasError() || bytes.isEmpty() || bytes.size() > 2)
        return 0;
    out[0] = bytes[0];
    if (bytes.size() == 2)
        out[1] = bytes[1];
    return int(bytes.size());
}

} // namespace shenbao::gbk::system
