#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// A small adapter over the XML engine (libxml2). It offers only what the XDX format needs:
// build a document of elements and text and write it to bytes in a given encoding (Outline
// reads them). No libxml2 type leaves this folder.

namespace shenbao::xml {

enum class NodeKind { Element, Text, CData, Other };

// A non-owning handle to an element being built; valid while the Document that holds it lives.
class Node
{
public:
    Node() = default;

    bool isNull() const { return m_node == nullptr; }

    // Appends a new element as the last child.
    Node appendElement(QStringView name);
    // Gives the element one text node holding text (characters XML 1.0 cannot hold are dropped).
    void setText(QStringView text);

private:
    friend class Document;
    explicit Node(void* node) : m_node(node) {}
    void* m_node = nullptr;
};

struct ParseError
{
    QString reason;   // the engine's reason for the first error
    int line = 0;     // where parsing failed, 0 when unknown
    QString lineText; // the first 40 characters of that line's source
    // The three lines "reason", "Line: N" and the line's text, joined with CR LF.
    QString message() const;
};

class Document
{
public:
    // A fresh, empty document with the declaration version "1.0", standalone "yes".
    Document();
    ~Document();
    Document(Document&&) noexcept;
    Document& operator=(Document&&) noexcept;
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // Creates the root element and makes it the document element.
    Node createRoot(QStringView name);

    // The document as bytes in encoding (the declaration names it). Characters that the encoding
    // cannot represent are written as character references. Returns empty bytes and sets *error
    // on failure.
    QByteArray toBytes(const char* encoding, QString* error) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Drops the characters XML 1.0 cannot hold (C0 controls other than tab, LF and CR; U+FFFE,
// U+FFFF; unpaired surrogates).
QString xmlSafeText(QStringView text);

} // namespace shenbao::xml
