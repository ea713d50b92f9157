#include "xdx/xml/engine.h"

#include "record/gbk.h"
#include "record/textrules.h"
#include "xdx/xml/gbkhandler.h"

#include <algorithm>
#include <cstring>
#include <libxml/SAX2.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

namespace shenbao::xml::engine {
namespace {

// Files are mailed in by applicants: nothing outside the document itself is ever loaded.
xmlParserInputPtr refuseExternalEntity(const char*, const char*, xmlParserCtxtPtr)
{
    return nullptr;
}

void ignoreGenericError(void*, const char*, ...) {}

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
    // Most documents hold too few "=" for any flood at all.
    int equalsSigns = 0;
    for (const char* p = bytes.constData(); equalsSigns <= kMaxAttributes; ++p, ++equalsSigns) {
        p = static_cast<const char*>(std::memchr(p, '=', std::size_t(bytes.constData() + bytes.size() - p)));
        if (!p)
            return 0;
    }
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

// The engine's own start-element handler, counting.
void countingStartElement(void* context, const xmlChar* localname, const xmlChar* prefix, const xmlChar* uri,
                          int nbNamespaces, const xmlChar** namespaces, int nbAttributes, int nbDefaulted,
                          const xmlChar** attributes)
{
    if (countElement(context))
        xmlSAX2StartElementNs(context, localname, prefix, uri, nbNamespaces, namespaces, nbAttributes,
                              nbDefaulted, attributes);
}

void onParserError(void* userData, xmlErrorPtr error)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(userData);
    if (ctxt && ctxt->_private)
        static_cast<ErrorCollector*>(ctxt->_private)->add(error);
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

ParseError failure(const ErrorCollector& errors, const QByteArray& bytes)
{
    ParseError e;
    // The first error is the cause; what follows is often its consequence (a text node too large
    // for the parser stops it, and then "Extra content at the end of the document"). Warnings
    // are no cause.
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
    return e;
}

} // namespace

void initialise()
{
    static const bool done = [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(refuseExternalEntity);
        registerGbkHandler();
        return true;
    }();
    (void)done;
}

QString text(const char* utf8, qsizetype size)
{
    // QString::fromUtf8 drops a leading byte-order mark, but at the start of a value it is a
    // character like any other: keep each one.
    qsizetype boms = 0;
    while (size - 3 * boms >= 3 && utf8[3 * boms] == '\xEF' &&
           std::memcmp(utf8 + 3 * boms, "\xEF\xBB\xBF", 3) == 0)
        ++boms;
    if (boms == 0)
        return QString::fromUtf8(utf8, size);
    return QString(boms, QChar(0xFEFF)) + QString::fromUtf8(utf8 + 3 * boms, size - 3 * boms);
}

QString text(const xmlChar* s)
{
    if (!s)
        return {};
    const char* p = reinterpret_cast<const char*>(s);
    return text(p, qsizetype(std::strlen(p)));
}

void ErrorCollector::add(const xmlError* e)
{
    if (!e || entries.size() >= 64)
        return;
    entries.push_back({text(reinterpret_cast<const xmlChar*>(e->message)).trimmed(), e->line, int(e->level)});
}

void collectError(void* collector, xmlErrorPtr error)
{
    if (collector)
        static_cast<ErrorCollector*>(collector)->add(error);
}

ErrorCollector& collector(void* context)
{
    return *static_cast<ErrorCollector*>(static_cast<xmlParserCtxtPtr>(context)->_private);
}

void stop(void* context, const QString& reason)
{
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    ErrorCollector& errors = collector(context);
    errors.stopped = true;
    errors.entries.insert(errors.entries.begin(),
                          {reason, ctxt->input ? ctxt->input->line : 0, int(XML_ERR_FATAL)});
    xmlStopParser(ctxt);
}

bool countElement(void* context)
{
    if (++collector(context).elements <= kMaxElements)
        return true;
    stop(context, QStringLiteral("Too many elements (more than %1)").arg(kMaxElements));
    return false;
}

bool parse(const QByteArray& bytes, ParseError* error, xmlDocPtr* tree, AdjustHandlers handlers, void* target)
{
    initialise();
    *tree = nullptr;
    if (const int line = attributeFloodLine(bytes)) {
        if (error)
            *error = {QStringLiteral("Too many attributes in one element (more than %1)").arg(kMaxAttributes),
                      line, sourceLine(bytes, line)};
        return false;
    }
    ErrorCollector errors;
    errors.target = target;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) {
        if (error)
            *error = {QStringLiteral("The XML parser could not be created"), 0, {}};
        return false;
    }
    ctxt->_private = &errors;
    ctxt->sax->serror = onParserError;
    ctxt->sax->startElementNs = countingStartElement;
    if (handlers)
        handlers(ctxt->sax);
    // Encoding errors arrive only through the global handler, without a context.
    xmlSetStructuredErrorFunc(&errors, collectError);
    xmlSetGenericErrorFunc(nullptr, ignoreGenericError);

    // The encoding comes from the declaration. Never NOENT, DTDLOAD, DTDATTR, DTDVALID, XINCLUDE
    // or HUGE; nor NOBLANKS, whose heuristic drops blanks inside values.
    xmlDocPtr doc =
        xmlCtxtReadMemory(ctxt, bytes.constData(), int(bytes.size()), nullptr, nullptr, XML_PARSE_NONET);
    const bool wellFormed =
        ctxt->wellFormed && !errors.stopped && (handlers || (doc && xmlDocGetRootElement(doc)));

    xmlSetStructuredErrorFunc(nullptr, nullptr);
    xmlSetGenericErrorFunc(nullptr, nullptr);
    xmlFreeParserCtxt(ctxt);

    if (wellFormed && !handlers) {
        *tree = doc;
        return true;
    }
    if (doc)
        xmlFreeDoc(doc);
    if (!wellFormed && error)
        *error = failure(errors, bytes);
    return wellFormed;
}

} // namespace shenbao::xml::engine
