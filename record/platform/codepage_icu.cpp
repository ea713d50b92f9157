#include "record/platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace shenbao::gbk::system {

// ICU's "GBK" is its windows-936 table. A fresh converter each time: in Qt 6.4 resetState()
// does not clear an error, so a reused converter would fail everything after one failure.

QString decode(QByteArrayView bytes, bool* ok)
{
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    *ok = decoder.isValid() && !decoder.hasError();
    return text;
}

QByteArray encode(QStringView text, bool* ok)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    *ok = encoder.isValid() && !encoder.hasError();
    return bytes;
}

} // namespace shenbao::gbk::system
