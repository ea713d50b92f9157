#include "xdx/xml/xmldocument.h"

#include "xdx/xml/engine.h"

#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

namespace shenbao::xml {
namespace {

const xmlChar* xc(const QByteArray& bytes)
{
    return reinterpret_cast<const xmlChar*>(bytes.constData());
}

xmlNodePtr nodePtr(void* p)
{
    return static_cast<xmlNodePtr>(p);
}

} // namespace

// ---- Node -----------------------------------------------------------------------------------

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
    engine::initialise();
    m_impl->doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    m_impl->doc->standalone = 1;
}

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

QByteArray Document::toBytes(const char* encoding, QString* error) const
{
    engine::ErrorCollector errors;
    xmlSetStructuredErrorFunc(&errors, engine::collectError);
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
