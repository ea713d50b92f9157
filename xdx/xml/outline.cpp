#include "xdx/xml/outline.h"

#include "xdx/xml/engine.h"

#include <libxml/parserInternals.h>
#include <libxml/tree.h>

namespace shenbao::xml {

// The deepest level kept: the text of a table container's rows.
constexpr int kKeptDepth = 3;

// Fills an Outline from the parser's events, mirroring what the engine's tree builder makes.
class OutlineBuilder
{
public:
    Outline outline;
    bool needsTree = false;

    static OutlineBuilder& of(void* context)
    {
        return *static_cast<OutlineBuilder*>(engine::collector(context).target);
    }

    void startElement(std::string_view name)
    {
        endRun();
        if (m_level <= kKeptDepth) {
            const int index = outline.add(NodeKind::Element, parent());
            outline.m_items[std::size_t(index)].chars = {outline.m_chars.size(), name.size()};
            outline.m_chars.append(name);
            m_open.push_back(index);
        }
        ++m_level;
    }

    void endElement()
    {
        endRun();
        // (An element refused by the bound on elements never opened; the parse stops after it.)
        if (m_level > 0 && --m_level <= kKeptDepth && !m_open.empty())
            m_open.pop_back();
    }

    // Text or CDATA; false when the run grows past the engine's limit on a text node.
    bool append(NodeKind kind, const char* data, int size)
    {
        if (m_run != kind) {
            endRun();
            m_run = kind;
            if (m_level >= 1 && m_level <= kKeptDepth) {
                m_runItem = outline.add(kind, parent());
                outline.m_items[std::size_t(m_runItem)].chars.at = outline.m_chars.size();
            }
        }
        m_runSize += std::size_t(size);
        if (m_runSize > std::size_t(XML_MAX_TEXT_LENGTH))
            return false;
        if (m_runItem >= 0) {
            // A run is the last thing added, so it grows at the end of the characters.
            outline.m_chars.append(data, std::size_t(size));
            outline.m_items[std::size_t(m_runItem)].chars.size += std::size_t(size);
        }
        return true;
    }

    // A comment, processing instruction or entity reference.
    void other()
    {
        endRun();
        if (m_level >= 1 && m_level <= kKeptDepth)
            outline.add(NodeKind::Other, parent());
    }

private:
    int parent() const { return m_open.empty() ? -1 : m_open.back(); }

    void endRun()
    {
        m_run = NodeKind::Element;
        m_runSize = 0;
        m_runItem = -1;
    }

    std::vector<int> m_open;            // the kept elements now open, innermost last
    int m_level = 0;                    // the elements now open, kept or not
    NodeKind m_run = NodeKind::Element; // the kind of the text run going on, if any
    std::size_t m_runSize = 0;
    int m_runItem = -1; // where the run is kept, if it is
};

namespace {

std::string_view localName(const xmlChar* name)
{
    std::string_view n(reinterpret_cast<const char*>(name));
    const std::size_t colon = n.rfind(':');
    return colon == std::string_view::npos ? n : n.substr(colon + 1);
}

void onStartElement(void* context, const xmlChar* localname, const xmlChar*, const xmlChar*, int,
                    const xmlChar**, int, int, const xmlChar**)
{
    // Named as the tree's name reads after its last colon: the parser gives a name it could not
    // split at its colon (a digit after it) whole, prefix and all.
    if (engine::countElement(context))
        OutlineBuilder::of(context).startElement(localName(localname));
}

void onEndElement(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
{
    OutlineBuilder::of(context).endElement();
}

void appendRun(void* context, NodeKind kind, const xmlChar* data, int size)
{
    if (!OutlineBuilder::of(context).append(kind, reinterpret_cast<const char*>(data), size))
        engine::stop(context, QStringLiteral("xmlSAX2Characters: huge text node"));
}

void onCharacters(void* context, const xmlChar* data, int size)
{
    appendRun(context, NodeKind::Text, data, size);
}

void onCData(void* context, const xmlChar* data, int size)
{
    appendRun(context, NodeKind::CData, data, size);
}

void onComment(void* context, const xmlChar*)
{
    OutlineBuilder::of(context).other();
}

void onProcessingInstruction(void* context, const xmlChar*, const xmlChar*)
{
    OutlineBuilder::of(context).other();
}

void onReference(void* context, const xmlChar*)
{
    OutlineBuilder::of(context).other();
}

// A DOCTYPE: the tree takes over.
void onInternalSubset(void* context, const xmlChar*, const xmlChar*, const xmlChar*)
{
    OutlineBuilder::of(context).needsTree = true;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
}

void outlineHandlers(xmlSAXHandler* sax)
{
    sax->startDocument = nullptr;
    sax->endDocument = nullptr;
    sax->startElement = nullptr;
    sax->endElement = nullptr;
    sax->internalSubset = onInternalSubset;
    sax->externalSubset = nullptr;
    sax->startElementNs = onStartElement;
    sax->endElementNs = onEndElement;
    sax->characters = onCharacters;
    sax->ignorableWhitespace = onCharacters;
    sax->cdataBlock = onCData;
    sax->comment = onComment;
    sax->processingInstruction = onProcessingInstruction;
    sax->reference = onReference;
}

NodeKind kindOf(xmlNodePtr n)
{
    switch (n->type) {
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

} // namespace

std::optional<Outline> Outline::read(const QByteArray& bytes, ParseError* error)
{
    OutlineBuilder builder;
    builder.outline.m_items.reserve(512);
    // GBK's two bytes become at most three in UTF-8.
    builder.outline.m_chars.reserve(std::size_t(bytes.size()) * 3 / 2 + 64);
    xmlDocPtr tree = nullptr;
    const bool wellFormed = engine::parse(bytes, error, &tree, outlineHandlers, &builder);
    if (builder.needsTree)
        return readThroughTree(bytes, error);
    if (!wellFormed)
        return std::nullopt;
    if (builder.outline.m_items.empty()) { // well-formed without a root: the engine never says so
        if (error)
            *error = {QStringLiteral("Document is empty"), 1, {}};
        return std::nullopt;
    }
    return std::move(builder.outline);
}

namespace {

// The text an internal entity stands for, its own references substituted, appended to out; false
// when it holds markup (then it is more than text) or is external. A document's entities may
// nest: budget bounds what they may make, depth how deep.
enum class Expansion { Text, NotText, TooLarge };
Expansion expandEntity(xmlDocPtr doc, const xmlChar* name, std::string& out, std::size_t& budget, int depth)
{
    static constexpr std::pair<std::string_view, char> kPredefined[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    const std::string_view wanted(reinterpret_cast<const char*>(name));
    for (const auto& [n, c] : kPredefined)
        if (wanted == n) {
            out += c;
            return Expansion::Text;
        }
    const xmlEntityPtr entity = xmlGetDocEntity(doc, name);
    if (!entity || entity->etype != XML_INTERNAL_GENERAL_ENTITY || !entity->content || depth > 40)
        return Expansion::NotText;
    const std::string_view content(reinterpret_cast<const char*>(entity->content));
    for (std::size_t i = 0; i < content.size();) {
        const char c = content[i];
        if (c == '<')
            return Expansion::NotText;
        if (c != '&') {
            const std::size_t run = std::min(content.find_first_of("<&", i), content.size()) - i;
            if (run > budget)
                return Expansion::TooLarge;
            budget -= run;
            out.append(content.substr(i, run));
            i += run;
            continue;
        }
        const std::size_t end = content.find(';', i);
        if (end == std::string_view::npos)
            return Expansion::NotText;
        const std::string inner(content.substr(i + 1, end - i - 1));
        const Expansion e =
            expandEntity(doc, reinterpret_cast<const xmlChar*>(inner.c_str()), out, budget, depth + 1);
        if (e != Expansion::Text)
            return e;
        i = end + 1;
    }
    return Expansion::Text;
}

} // namespace

std::optional<Outline> Outline::readThroughTree(const QByteArray& bytes, ParseError* error)
{
    xmlDocPtr tree = nullptr;
    if (!engine::parse(bytes, error, &tree))
        return std::nullopt;
    Outline outline;
    // What internal entities may add to a document: as much as the document itself may hold.
    std::size_t budget = std::size_t(bytes.size()) + 4096;
    bool tooLarge = false;
    const auto addNode = [&](NodeKind kind, int parent, std::string_view chars) {
        const int index = outline.add(kind, parent);
        outline.m_items[std::size_t(index)].chars = {outline.m_chars.size(), chars.size()};
        outline.m_chars.append(chars);
        return index;
    };
    const auto visit = [&](auto& self, xmlNodePtr n, int depth, int parent) -> void {
        const int index = addNode(NodeKind::Element, parent, localName(n->name));
        if (depth >= kKeptDepth)
            return;
        // Text and references to internal entities next to each other are one text, as a
        // parser that substitutes entities makes it.
        std::string text;
        bool inText = false;
        const auto endText = [&] {
            if (inText)
                addNode(NodeKind::Text, index, text);
            text.clear();
            inText = false;
        };
        for (xmlNodePtr c = n->children; c && !tooLarge; c = c->next) {
            if (c->type == XML_TEXT_NODE) {
                if (c->content)
                    text += reinterpret_cast<const char*>(c->content);
                inText = true;
                continue;
            }
            if (c->type == XML_ENTITY_REF_NODE) {
                std::string expanded;
                const Expansion e = expandEntity(tree, c->name, expanded, budget, 0);
                if (e == Expansion::Text) {
                    text += expanded;
                    inText = true;
                    continue;
                }
                tooLarge = e == Expansion::TooLarge;
            }
            endText();
            const NodeKind kind = kindOf(c);
            if (kind == NodeKind::Element)
                self(self, c, depth + 1, index);
            else
                addNode(kind, index,
                        kind == NodeKind::CData && c->content ? reinterpret_cast<const char*>(c->content)
                                                              : std::string_view());
        }
        endText();
    };
    visit(visit, xmlDocGetRootElement(tree), 0, -1);
    xmlFreeDoc(tree);
    if (tooLarge) {
        if (error)
            *error = {QStringLiteral("Entities expand to more than the document may hold"), 1, {}};
        return std::nullopt;
    }
    return outline;
}

int Outline::add(NodeKind kind, int parent)
{
    const int index = int(m_items.size());
    m_items.push_back({kind, {}});
    if (parent >= 0) {
        Item& p = m_items[std::size_t(parent)];
        (p.lastChild >= 0 ? m_items[std::size_t(p.lastChild)].next : p.firstChild) = index;
        p.lastChild = index;
    }
    return index;
}

// ---- Node -----------------------------------------------------------------------------------

NodeKind Outline::Node::kind() const
{
    return m_outline->m_items[std::size_t(m_index)].kind;
}

std::string_view Outline::Node::name() const
{
    return m_outline->chars(m_outline->m_items[std::size_t(m_index)]);
}

QString Outline::Node::value() const
{
    const std::string_view text = utf8();
    return engine::text(text.data(), qsizetype(text.size()));
}

std::string_view Outline::Node::utf8() const
{
    return m_outline->chars(m_outline->m_items[std::size_t(m_index)]);
}

bool Outline::Node::isWhitespaceText() const
{
    const Item& item = m_outline->m_items[std::size_t(m_index)];
    return item.kind == NodeKind::Text &&
           m_outline->chars(item).find_first_not_of(" \t\n\r") == std::string_view::npos;
}

Outline::Node Outline::Node::firstChild() const
{
    const int c = m_outline->m_items[std::size_t(m_index)].firstChild;
    return c < 0 ? Node() : Node(m_outline, c);
}

Outline::Node Outline::Node::nextSibling() const
{
    const int n = m_outline->m_items[std::size_t(m_index)].next;
    return n < 0 ? Node() : Node(m_outline, n);
}

Outline::Node Outline::Node::firstChildElement(std::string_view wanted) const
{
    for (Node c = firstChild(); !c.isNull(); c = c.nextSibling())
        if (c.kind() == NodeKind::Element && c.name() == wanted)
            return c;
    return {};
}

} // namespace shenbao::xml
