#include "xdx/passby.h"

#include "xdx/messages.h"
#include "xdx/xdxfile.h"
#include "xdx/xdxformat.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace shenbao {
namespace {

struct Child
{
    QByteArray name;
    qsizetype start = 0;        // '<' of the start tag
    qsizetype contentStart = 0; // after the start tag
    qsizetype contentEnd = 0;   // '<' of the end tag
    qsizetype end = 0;          // after the end tag
    bool empty = false;         // <NAME/>
};

// The root's children, found by scanning the bytes as XML markup. In GBK a trail byte can look
// like ']' or a letter but never like '<', '>', '?', '!', '-', '/' or a quote; pairs are skipped
// all the same inside text, comments and CDATA, where "]]>" must not be found half-way in one.
class Scanner
{
public:
    Scanner(const QByteArray& bytes, bool pairs) : m_b(bytes), m_pairs(pairs) {}

    std::optional<std::vector<Child>> children(qsizetype* rootContent)
    {
        std::vector<Child> out;
        int depth = 0;
        qsizetype i = 0;
        while ((i = nextMarkup(i)) >= 0) {
            if (at(i, "<?")) {
                i = after(i, "?>");
            } else if (at(i, "<!--")) {
                i = after(i, "-->");
            } else if (at(i, "<![CDATA[")) {
                i = after(i, "]]>");
            } else if (at(i, "<!")) {
                return std::nullopt; // a document type declaration: entities could hide anything
            } else if (at(i, "</")) {
                const qsizetype close = tagEnd(i);
                if (close < 0)
                    return std::nullopt;
                if (--depth == 1 && !out.empty()) {
                    out.back().contentEnd = i;
                    out.back().end = close;
                }
                i = close;
            } else {
                const qsizetype close = tagEnd(i);
                if (close < 0)
                    return std::nullopt;
                const bool empty = m_b[close - 2] == '/';
                if (depth == 0 && rootContent)
                    *rootContent = close;
                if (depth == 1) {
                    Child c;
                    qsizetype n = i + 1;
                    while (n < close && !isNameEnd(m_b[n]))
                        ++n;
                    c.name = m_b.mid(i + 1, n - i - 1);
                    c.start = i;
                    c.contentStart = c.contentEnd = close;
                    c.end = close;
                    c.empty = empty;
                    out.push_back(c);
                }
                if (!empty)
                    ++depth;
                i = close;
            }
            if (i < 0)
                return std::nullopt;
        }
        return out;
    }

private:
    static bool isNameEnd(char c)
    {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>';
    }

    bool at(qsizetype i, const char* s) const { return QByteArrayView(m_b).sliced(i).startsWith(s); }

    qsizetype step(qsizetype i) const
    {
        return m_pairs && uchar(m_b[i]) >= 0x81 && i + 1 < m_b.size() ? 2 : 1;
    }

    qsizetype nextMarkup(qsizetype i) const
    {
        while (i < m_b.size() && m_b[i] != '<')
            i += step(i);
        return i < m_b.size() ? i : -1;
    }

    // Just after the next `end` from i, or -1.
    qsizetype after(qsizetype i, const char* end) const
    {
        const qsizetype n = qsizetype(qstrlen(end));
        for (; i + n <= m_b.size(); i += step(i))
            if (at(i, end))
                return i + n;
        return -1;
    }

    // Just after the '>' that ends the tag at i, quotes respected.
    qsizetype tagEnd(qsizetype i) const
    {
        char quote = 0;
        for (++i; i < m_b.size(); i += step(i)) {
            const char c = m_b[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                return i + 1;
            }
        }
        return -1;
    }

    const QByteArray& m_b;
    bool m_pairs;
};

// The declared encoding, lower case; UTF-8 without a declaration. (Read by hand: this runs on
// xdxtool's worker threads, where a regular expression's per-thread JIT stack is not wanted.)
QString declaredEncoding(const QByteArray& bytes)
{
    if (!bytes.startsWith("<?xml") && !bytes.startsWith("\xEF\xBB\xBF<?xml"))
        return QStringLiteral("utf-8");
    const QByteArray declaration = bytes.left(std::max<qsizetype>(0, bytes.indexOf("?>")));
    qsizetype i = declaration.indexOf("encoding");
    if (i < 0)
        return QStringLiteral("utf-8");
    i += 8;
    auto blanks = [&] {
        while (i < declaration.size() && QByteArrayView(" \t\r\n").contains(declaration[i]))
            ++i;
    };
    blanks();
    if (i >= declaration.size() || declaration[i] != '=')
        return QStringLiteral("utf-8");
    ++i;
    blanks();
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\''))
        return QStringLiteral("utf-8");
    const qsizetype end = declaration.indexOf(declaration[i], i + 1);
    return QString::fromLatin1(declaration.mid(i + 1, end < 0 ? -1 : end - i - 1)).toLower();
}

} // namespace

Expected<PassbyEdit, QString> withPassby(const QByteArray& bytes, bool official)
{
    PassbyEdit edit;
    const OpenResult before = openXdxBytes(bytes);
    if (openStatus(before) != OpenStatus::Loaded) {
        return unexpected(openStatus(before) == OpenStatus::Unreadable ? before.error().message
                                                                       : rejectedMessage());
    }
    const QString encoding = declaredEncoding(bytes);
    const bool pairs = encoding == u"gbk" || encoding == u"gb2312" || encoding == u"cp936";
    if (!pairs && encoding != u"utf-8" && encoding != u"us-ascii" && encoding != u"iso-8859-1") {
        return unexpected(xdxmsg::cannotEditEncoding(encoding));
    }
    qsizetype rootContent = -1;
    const std::optional<std::vector<Child>> children = Scanner(bytes, pairs).children(&rootContent);
    if (!children || rootContent < 0) {
        return unexpected(xdxmsg::cannotEditInPlace());
    }
    const QByteArray value = official ? "1" : "0";
    QByteArray out = bytes;
    const auto passby =
        std::find_if(children->begin(), children->end(), [](const Child& c) { return c.name == "PASSBY"; });
    if (passby != children->end()) {
        // Only the text changes: an attribute would be lost with an empty element's tag, and CDATA,
        // a comment or an element inside would go with the text.
        const QByteArrayView tag =
            QByteArrayView(bytes).sliced(passby->start, passby->contentStart - passby->start);
        const QByteArrayView content =
            QByteArrayView(bytes).sliced(passby->contentStart, passby->contentEnd - passby->contentStart);
        const QByteArrayView afterName = tag.sliced(7); // past "<PASSBY"
        if ((afterName.trimmed() != ">" && afterName.trimmed() != "/>") || content.contains('<')) {
            return unexpected(xdxmsg::cannotEditPassbyForm());
        }
        if (passby->empty)
            out.replace(passby->start, passby->end - passby->start, "<PASSBY>" + value + "</PASSBY>");
        else
            out.replace(passby->contentStart, passby->contentEnd - passby->contentStart, value);
    } else {
        // After the nearest element before PASSBY in the writer's order that the document has.
        qsizetype at = rootContent;
        bool found = false;
        const auto elements = xdxElements();
        const auto self = std::find_if(elements.begin(), elements.end(),
                                       [](const XdxElement& e) { return e.name == QStringView(u"PASSBY"); });
        for (auto e = self; e != elements.begin() && !found;) {
            --e;
            const QByteArray name = QStringView(e->name).toLatin1();
            for (const Child& c : *children)
                if (c.name == name) {
                    at = c.end;
                    found = true;
                    break;
                }
        }
        out.insert(at, "<PASSBY>" + value + "</PASSBY>");
    }
    // What was written must read as the same application, marked as asked.
    const OpenResult after = openXdxBytes(out);
    if (openStatus(after) != OpenStatus::Loaded || after->official != official ||
        !(after->record == before->record)) {
        return unexpected(xdxmsg::cannotEditInPlace());
    }
    edit.changed = out != bytes;
    edit.bytes = std::move(out);
    return edit;
}

} // namespace shenbao
