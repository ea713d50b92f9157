#include "xdx/commatext.h"

namespace shenbao {
namespace {

bool isBlank(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 32;
}

bool needsQuotes(QStringView s)
{
    for (QChar c : s)
        if (isBlank(c) || c == u'"' || c == u',')
            return true;
    return false;
}

} // namespace

QString JoinCommaText(const QStringList& items)
{
    if (items.size() == 1 && items.first().isEmpty())
        return QStringLiteral("\"\"");
    QString text;
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += u',';
        const QString& s = items[i];
        if (needsQuotes(s)) {
            text += u'"';
            text += QString(s).replace(u'"', QStringLiteral("\"\""));
            text += u'"';
        } else {
            text += s;
        }
    }
    return text;
}

QStringList SplitCommaText(QStringView text)
{
    // The original platform read its strings up to a NUL; doing the same also keeps a NUL
    // from stalling the scan (it is neither skipped as a blank nor part of an unquoted item).
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text = text.left(nul);

    QStringList items;
    if (text.isEmpty())
        return items;
    items.reserve(8); // a table row's cells; a long text's paragraphs grow the list
    const qsizetype n = text.size();
    qsizetype i = 0;
    auto skipBlanks = [&] {
        while (i < n && isBlank(text[i]))
            ++i;
    };

    skipBlanks();
    while (i < n) {
        if (text[i] == u'"') {
            QString item;
            ++i;
            while (i < n) {
                const qsizetype quote = text.indexOf(u'"', i);
                if (quote < 0) { // unclosed: the rest is the item
                    item += text.sliced(i);
                    i = n;
                    break;
                }
                item += text.sliced(i, quote - i);
                i = quote + 1;
                if (i < n && text[i] == u'"') {
                    item += u'"';
                    ++i;
                    continue;
                }
                break; // that was the closing quote
            }
            items.append(std::move(item));
        } else {
            const qsizetype start = i;
            while (i < n && text[i].unicode() > 32 && text[i] != u',')
                ++i;
            items.append(text.sliced(start, i - start).toString());
        }
        skipBlanks();
        if (i < n && text[i] == u',') {
            if (i == n - 1)
                items.append(QString());
            ++i;
            skipBlanks();
        }
    }
    return items;
}

} // namespace shenbao
