#include "xdx/xml/xmldocument.h"

#include "record/gbk.h"
#include "record/textrules.h"
#include "xdx/xml/gbkhandler.h"

#include <algorithm>
#include <cstring>
#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

namespace shenbao::xml {
namespace {

const xmlChar* xc(const QByteArray& bytes)
{
    return reinterpret_cast<const xmlChar*>(bytes.constData());
}

QString fromXml(const xmlChar* s)
{
    if (!s)
        return {};
    // QString::fromUtf8 drops a leading byte-order mark, but at the start of a value it is a
    // character like any other: keep each one.
    const char* p = reinterpret_cast<const char*>(s);
    qsizetype boms = 0;
    while (std::strncmp(p, "\xEF\xBB\xBF", 3) == 0) {
        p += 3;
        ++boms;
    }
    const QString rest = QString::fromUtf8(p);
    return boms ? QString(boms, QChar(0xFEFF)) + rest : rest;
}

xmlNodePtr nodePtr(void* p)
{
    return static_cast<xmlNodePtr>(p);
}

// Files are mailed in by applicants: nothing outside the document itself is ever loaded.
xmlParserInputPtr refuseExternalEntity(const char*, const char*, xmlParserCtxtPtr)
{
    return nullptr;
}

void ignoreGenericError(void*, const char*, ...) {}

void initialiseEngine()
{
    static const bool done = [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
        registerGbkHandler();
        return true;
    }();
    (void)done;
}

struct ErrorCollector
{
    struct Entry
    {
        QString message;
        int line;
        int level;
    };
    std::vector<Entry> entries;

    void add(const xmlError* e)
    {
        if (!e || entries.size() >= 64)
            return;
        QString message = fromXml(reinterpret_cast<const xmlChar*>(e->message)).trimmed();
        entries.push_back({message, e->line, int(e->level)});
    }

    // Set when the parse was stopped for a bound of its own.
    bool stopped = false;
    int elements = 0;
};

// Bounds on what one document may make the parser do. A document of this system has no
// attribute at all and about a hundred elements; these lie far above anything real, and keep a
// hostile file from taking the parser's quadratic time on attributes or the memory of millions
// of nodes.
constexpr int kMaxAttributes = 16; // in one start tag
constexpr int kMaxElements = 100'000;

// Finds a start tag with more than kMaxAttributes attributes, counted as "=" outside quotes, in
// one linear pass over the bytes; returns its line, or 0. Comments, CDATA sections, processing
// instructions and declarations are skipped, so values may hold anything; every byte of
// interest is ASCII, which no GBK trail byte is.
int attributeFloodLine(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    const char* const end = p + bytes.size();
    const auto skipPast = [&](const char* from, const char* marker, std::size_t n) {
        const char* at = std::search(from, end, marker, marker + n);
        return at == end ? end : at + n;
    };
    while (p < end) {
        p = static_cast<const char*>(std::memchr(p, '<', std::size_t(end - p)));
        if (!p)
            break;
        const char* tag = p++;
        if (end - p >= 3 && std::memcmp(p, "!--", 3) == 0) {
            p = skipPast(p + 3, "-->", 3);
            continue;
        }
        if (end - p >= 8 && std::memcmp(p, "![CDATA[", 8) == 0) {
            p = skipPast(p + 8, "]]>", 3);
            continue;
        }
        if (p < end && *p == '?') {
            p = skipPast(p + 1, "?>", 2);
            continue;
        }
        const bool counts = p < end && *p != '!' && *p != '/';
        // The common case: a tag without "=" up to its ">" holds no attribute (and no quote
        // could hide a ">" there).
        const auto* gt = static_cast<const char*>(std::memchr(p, '>', std::size_t(end - p)));
        const char* tagEnd = gt ? gt : end;
        if (!std::memchr(p, '=', std::size_t(tagEnd - p))) {
            p = tagEnd;
            continue;
        }
        int attributes = 0;
        char quote = 0;
        for (; p < end; ++p) {
            const char c = *p;
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            } else if (c == '=' && counts && ++attributes > kMaxAttributes) {
                return 1 + int(std::count(bytes.constData(), tag, '\n'));
            }
        }
    }
    return 0;
}

// The parser's own start-element handler, counting.
void countingStartElement(void* context, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                          int nbNamespaces, const xmlChar** namespaces, int nbAttributes, int nbDefaulted,
                          const xmlChar** attributes)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    auto* errors = static_cast<ErrorCollector*>(ctxt->_private);
    if (++errors->elements > kMaxElements) {
        errors->stopped = true;
        errors->entries.insert(errors->entries.begin(),
                               {QStringLiteral("Too many elements (more than %1)").arg(kMaxElements),
                                ctxt->input ? ctxt->input->line : 0, int(XML_ERR_FATAL)});
        xmlStopParser(ctxt);
        return;
    }
    xmlSAX2StartElementNs(context, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes,
                          nbDefaulted, attributes);
}

void onParserError(void* userData, xmlErrorPtr error)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(userData);
    if (ctxt && ctxt->_private)
        static_cast<ErrorCollector*>(ctxt->_private)->add(error);
}

void onGlobalError(void* userData, xmlErrorPtr error)
{
    if (userData)
        static_cast<ErrorCollector*>(userData)->add(error);
}

QString sourceLine(const QByteArray& bytes, int line)
{
    if (line < 1)
        return {};
    qsizetype start = 0;
    for (int i = 1; i < line; ++i) {
        const qsizetype lf = bytes.indexOf('\n', start);
        if (lf < 0)
            return {};
        start = lf + 1;
    }
    qsizetype end = bytes.indexOf('\n', start);
    if (end < 0)
        end = bytes.size();
    QByteArray raw = bytes.mid(start, end - start);
    if (raw.endsWith('\r'))
        raw.chop(1);
    QString text = gbk::decode(raw);
    // Count characters, not UTF-16 units, and never keep half a surrogate pair.
    qsizetype i = 0;
    for (int n = 0; n < 40 && i < text.size(); ++n)
        i += (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    // A mailed file must not be able to send escape sequences to the office's terminal.
    return visibleControls(QStringView(text).left(i));
}

} // namespace

// ---- Node -----------------------------------------------------------------------------------

NodeKind Node::kind() const
{
    switch (nodePtr(m_node)->type) {
    case XML_ELEMENT_NODE:
        return NodeKind::Element;
    case XML_TEXT_NODE:
        return NodeKind::Text;
    case XML_CDATA_SECTION_NODE:
        return NodeKind::CData;
    default:
        return NodeKind::Other;
    }
}

QString Node::name() const
{
    const QString full = fromXml(nodePtr(m_node)->name);
    const qsizetype colon = full.lastIndexOf(u':');
    return colon < 0 ? full : full.mid(colon + 1);
}

QString Node::value() const
{
    return fromXml(nodePtr(m_node)->content);
}

bool Node::isWhitespaceText() const
{
    if (kind() != NodeKind::Text)
        return false;
    for (const xmlChar* p = nodePtr(m_node)->content; p && *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\n' && *p != '\r')
            return false;
    return true;
}

std::vector<Node> Node::children() const
{
    std::vector<Node> nodes;
    for (xmlNodePtr c = nodePtr(m_node)->children; c; c = c->next)
        nodes.push_back(Node(c));
    return nodes;
}

Node Node::firstChildElement(QStringView wanted) const
{
    // Compared as UTF-8 bytes: this runs for every field of every document read.
    const QByteArray utf8 = wanted.toUtf8();
    for (xmlNodePtr c = nodePtr(m_node)->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE || !c->name)
            continue;
        const char* name = reinterpret_cast<const char*>(c->name);
        if (const char* colon = std::strrchr(name, ':'))
            name = colon + 1;
        if (utf8 == name)
            return Node(c);
    }
    return {};
}

Node Node::appendElement(QStringView name)
{
    const QByteArray utf8 = name.toUtf8();
    return Node(xmlNewChild(nodePtr(m_node), nullptr, xc(utf8), nullptr));
}

void Node::setText(QStringView text)
{
    xmlNodePtr element = nodePtr(m_node);
    const QByteArray utf8 = xmlSafeText(text).toUtf8();
    // A raw text node: the writer escapes it. (xmlNodeSetContent would parse entity references.)
    xmlNodePtr textNode = xmlNewDocTextLen(element->doc, xc(utf8), int(utf8.size()));
    if (textNode)
        xmlAddChild(element, textNode);
}

// ---- Document -------------------------------------------------------------------------------

struct Document::Impl
{
    xmlDocPtr doc = nullptr;
    ~Impl()
    {
        if (doc)
            xmlFreeDoc(doc);
    }
};

Document::Document() : m_impl(std::make_unique<Impl>())
{
    initialiseEngine();
    m_impl->doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    m_impl->doc->standalone = 1;
}

Document::Document(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
Document::~Document() = default;
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;

Node Document::createRoot(QStringView name)
{
    const QByteArray utf8 = name.toUtf8();
    xmlNodePtr root = xmlNewDocNode(m_impl->doc, nullptr, xc(utf8), nullptr);
    xmlDocSetRootElement(m_impl->doc, root);
    return Node(root);
}

Node Document::root() const
{
    return Node(xmlDocGetRootElement(m_impl->doc));
}

QByteArray Document::toBytes(const char* encoding, QString* error) const
{
    ErrorCollector errors;
    xmlSetStructuredErrorFunc(&errors, onGlobalError);
    xmlBufferPtr buffer = xmlBufferCreate();
    QByteArray bytes;
    bool ok = false;
    if (buffer) {
        // xmlSaveToBuffer + xmlSaveClose reports conversion failures that xmlDocDumpMemoryEnc
        // would swallow, handing back a truncated document.
        if (xmlSaveCtxtPtr save = xmlSaveToBuffer(buffer, encoding, 0)) {
            const long written = xmlSaveDoc(save, m_impl->doc);
            const int closed = xmlSaveClose(save);
            ok = written >= 0 && closed >= 0;
            if (ok)
                bytes = QByteArray(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                                   qsizetype(xmlBufferLength(buffer)));
        }
        xmlBufferFree(buffer);
    }
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (!ok && error) {
        *error = errors.entries.empty() ? QStringLiteral("The XML document could not be written in %1")
                                              .arg(QString::fromLatin1(encoding))
                                        : errors.entries.front().message;
    }
    return ok ? bytes : QByteArray();
}

std::unique_ptr<Document> Document::parse(const QByteArray& bytes, ParseError* error)
{
    initialiseEngine();
    if (const int line = attributeFloodLine(bytes)) {
        if (error)
            *error = {QStringLiteral("Too many attributes in one element (more than %1)").arg(kMaxAttributes),
                      line, sourceLine(bytes, line)};
        return nullptr;
    }
    ErrorCollector errors;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) {
        if (error)
            *error = {QStringLiteral("The XML parser could not be created"), 0, {}};
        return nullptr;
    }
    ctxt->_private = &errors;
    ctxt->sax->serror = onParserError;
    ctxt->sax->startElementNs = countingStartElement;
    // Encoding errors arrive only through the global handler, without a context.
    xmlSetStructuredErrorFunc(&errors, onGlobalError);
    xmlSetGenericErrorFunc(nullptr, ignoreGenericError);

    // The encoding comes from the declaration. Never NOENT, DTDLOAD, DTDATTR, DTDVALID, XINCLUDE
    // or HUGE; nor NOBLANKS, whose heuristic drops blanks inside values.
    xmlDocPtr doc =
        xmlCtxtReadMemory(ctxt, bytes.constData(), int(bytes.size()), nullptr, nullptr, XML_PARSE_NONET);
    const bool wellFormed = doc && ctxt->wellFormed && !errors.stopped && xmlDocGetRootElement(doc);

    xmlSetStructuredErrorFunc(nullptr, nullptr);
    xmlSetGenericErrorFunc(nullptr, nullptr);
    xmlFreeParserCtxt(ctxt);

    if (wellFormed) {
        auto impl = std::make_unique<Impl>();
        impl->doc = doc;
        return std::unique_ptr<Document>(new Document(std::move(impl)));
    }
    if (doc)
        xmlFreeDoc(doc);
    if (error) {
        ParseError e;
        // The first error is the cause; what follows is often its consequence (a text node too
        // large for the parser stops it, and then "Extra content at the end of the document").
        // Warnings are no cause.
        const ErrorCollector::Entry* first = nullptr;
        for (const auto& entry : errors.entries)
            if (entry.level >= XML_ERR_ERROR) {
                first = &entry;
                break;
            }
        if (!first && !errors.entries.empty())
            first = &errors.entries.front();
        e.reason = first ? first->message : QStringLiteral("Document is empty");
        for (const auto& entry : errors.entries)
            if (entry.line > 0) {
                e.line = entry.line;
                break;
            }
        if (!first && e.line == 0)
            e.line = 1;
        e.lineText = sourceLine(bytes, e.line);
        *error = e;
    }
    return nullptr;
}

QString ParseError::message() const
{
    return reason + QStringLiteral("\r\nLine: ") + QString::number(line) + QStringLiteral("\r\n") + lineText;
}

QString xmlSafeText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const char16_t u = c.unicode();
        if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                out.append(c);
                out.append(text[++i]);
            }
            continue;
        }
        if (c.isLowSurrogate())
            continue;
        const bool allowed = u == 0x9 || u == 0xA || u == 0xD || (u >= 0x20 && u != 0xFFFE && u != 0xFFFF);
        if (allowed)
            out.append(c);
    }
    return out;
}

} // namespace shenbao::xml
