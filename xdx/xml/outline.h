#pragma once

#include "xdx/xml/xmldocument.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace shenbao::xml {

// A document read for what the XDX format keeps in it: the root, its children, theirs, and the
// kinds and texts of the nodes one level further down (an element's only text, or what makes it
// more than text). Deeper content is parsed and checked but not kept. Adjacent text merges as in
// the engine's own tree, and a CDATA section stays a node of its own.
//
// It is made from the parser's events without building the engine's tree, which costs about as
// much as the parse itself; a document with a DOCTYPE (which this system never writes) is read
// through the tree, so that its entities come out exactly as the tree has them.
class Outline
{
public:
    class Node
    {
    public:
        Node() = default;
        bool isNull() const { return m_outline == nullptr; }
        NodeKind kind() const;
        // An element's name without a namespace prefix.
        std::string_view name() const;
        // The content of a text or CDATA node.
        QString value() const;
        // The same as the engine holds it, in UTF-8.
        std::string_view utf8() const;
        bool isWhitespaceText() const;
        Node firstChild() const;
        Node nextSibling() const;
        // The first child element called name (without prefix), or a null node.
        Node firstChildElement(std::string_view name) const;

    private:
        friend class Outline;
        Node(const Outline* outline, int index) : m_outline(outline), m_index(index) {}
        const Outline* m_outline = nullptr;
        int m_index = -1;
    };

    Node root() const { return m_items.empty() ? Node() : Node(this, 0); }

    // Reads untrusted bytes: no network, no external entities or DTD, no entity substitution,
    // the encoding from the declaration, bounds on attributes, elements and text. nullopt and
    // *error when they are not a well-formed document.
    static std::optional<Outline> read(const QByteArray& bytes, ParseError* error);
    // The same through the engine's tree, for any document.
    static std::optional<Outline> readThroughTree(const QByteArray& bytes, ParseError* error);

private:
    friend class OutlineBuilder;
    // An element's local name, or a text or CDATA node's content (UTF-8): a slice of m_chars.
    struct Slice
    {
        std::size_t at = 0;
        std::size_t size = 0;
    };
    struct Item
    {
        NodeKind kind;
        Slice chars;
        int firstChild = -1;
        int lastChild = -1;
        int next = -1;
    };
    std::string_view chars(const Item& item) const
    {
        return std::string_view(m_chars).substr(item.chars.at, item.chars.size);
    }
    int add(NodeKind kind, int parent);

    std::vector<Item> m_items;
    std::string m_chars;
};

} // namespace shenbao::xml
