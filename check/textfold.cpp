#include "check/textfold.h"

namespace shenbao::fold {

std::pair<char32_t, qsizetype> codePoint(QStringView text, qsizetype i)
{
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
        return {QChar::surrogateToUcs4(c, text[i + 1]), 2};
    return {c.unicode(), 1};
}

bool isBlank(char32_t c)
{
    return QChar::isSpace(c) || c == 0x200B || c == 0x200C || c == 0x200D || c == 0x2060 || c == 0xFEFF ||
           c == 0x00AD || c == 0x180E;
}

void append(char32_t c, QString& out)
{
    if (c < 0x80) {
        out += QChar(char16_t(c >= u'A' && c <= u'Z' ? c + 32 : c));
        return;
    }
    if (c >= 0x4E00 && c <= 0x9FFF) {
        out += QChar(char16_t(c));
        return;
    }
    if (c >= 0xFF01 && c <= 0xFF5E) {
        append(c - 0xFEE0, out);
        return;
    }
    const QString folded = QString::fromUcs4(&c, 1).normalized(QString::NormalizationForm_KC).toLower();
    for (const QChar f : folded)
        if (!f.isSpace())
            out += f;
}

QString folded(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const auto [c, n] = codePoint(text, i);
        if (!isBlank(c))
            append(c, out);
        i += n;
    }
    return out;
}

} // namespace shenbao::fold
