#include "xdx/jsonwriter.h"

namespace shenbao {

void appendJsonString(QString& out, QStringView s)
{
    out += u'"';
    for (QChar c : s) {
        switch (c.unicode()) {
        case u'"':
            out += u"\\\"";
            break;
        case u'\\':
            out += u"\\\\";
            break;
        case u'\n':
            out += u"\\n";
            break;
        case u'\r':
            out += u"\\r";
            break;
        case u'\t':
            out += u"\\t";
            break;
        // Written as an escape: QJsonDocument (Qt 6.4) drops the character itself inside a string.
        case 0xFEFF:
            out += u"\\ufeff";
            break;
        default:
            if (c.unicode() < 0x20)
                out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QChar(u'0'));
            else
                out += c;
        }
    }
    out += u'"';
}

QString jsonString(QStringView s)
{
    QString out;
    appendJsonString(out, s);
    return out;
}

JsonLine& JsonLine::open(QChar bracket)
{
    item();
    m_text += bracket;
    m_first.push_back(true);
    return *this;
}

JsonLine& JsonLine::close(QChar bracket)
{
    m_text += bracket;
    m_first.pop_back();
    return *this;
}

void JsonLine::item()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (m_first.empty())
        return;
    if (m_first.back())
        m_first.back() = false;
    else
        m_text += u", ";
}

JsonLine& JsonLine::key(QStringView name)
{
    item();
    appendJsonString(m_text, name);
    m_text += u": ";
    m_afterKey = true;
    return *this;
}

JsonLine& JsonLine::value(QStringView text)
{
    item();
    appendJsonString(m_text, text);
    return *this;
}

JsonLine& JsonLine::value(qint64 number)
{
    item();
    m_text += QString::number(number);
    return *this;
}

JsonLine& JsonLine::value(bool truth)
{
    item();
    m_text += truth ? u"true" : u"false";
    return *this;
}

JsonLine& JsonLine::value(double number, int decimals)
{
    item();
    m_text += QString::number(number, 'f', decimals);
    return *this;
}

JsonLine& JsonLine::textOrNull(const QString& text)
{
    if (!text.isEmpty())
        return value(text);
    item();
    m_text += u"null";
    return *this;
}

} // namespace shenbao
