#pragma once

#include "xdx/xml/xmldocument.h"

#include <QByteArray>
#include <QString>

#include <libxml/parser.h>

#include <vector>

// Reading untrusted bytes with libxml2, shared by the tree (Document) and the outline (Outline):
// one set of options, bounds and error reports for both. Internal to this folder.

namespace shenbao::xml::engine {

void initialise();

// Text from the engine, each leading byte-order mark kept as a character.
QString text(const xmlChar* s);
QString text(const char* utf8, qsizetype size);

struct ErrorCollector
{
    struct Entry
    {
        QString message;
        int line;
        int level;
    };
    std::vector<Entry> entries;
    bool stopped = false; // the parse was stopped for a bound of its own
    int elements = 0;
    void* target = nullptr; // what the SAX handlers of an outline read into

    void add(const xmlError* e);
};

// A structured error handler for xmlSetStructuredErrorFunc with an ErrorCollector.
void collectError(void* collector, xmlErrorPtr error);

// The collector of a parse, from the context its SAX handlers receive.
ErrorCollector& collector(void* context);

// Counts an element against the bound on elements; false (and the parse stops) past it. Every
// start-element handler calls it first.
bool countElement(void* context);

// Stops the parse for a bound of this system's own, with reason as the cause.
void stop(void* context, const QString& reason);

// Parses untrusted bytes: no network, no external entities or DTD, no entity substitution, the
// encoding from the declaration, a bound on attributes and on elements. With `handlers`, those
// replace the engine's tree builder and no tree is made; `target` is then what they fill.
// Returns whether the bytes were a well-formed document; the tree (when one was built and the
// document is well-formed) goes to *tree, the reason for a failure to *error.
using AdjustHandlers = void (*)(xmlSAXHandler*);
bool parse(const QByteArray& bytes, ParseError* error, xmlDocPtr* tree, AdjustHandlers handlers = nullptr,
           void* target = nullptr);

} // namespace shenbao::xml::engine
