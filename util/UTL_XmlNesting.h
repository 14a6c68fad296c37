#pragma once

#include <string>

// How deep the elements of an XML text nest, told before the text is parsed, so that a parser
// that recurses once per level (TinyXML) never meets a text that would exhaust its stack: the
// REST client's answers and the GEXF reader's files are checked alike. A small scanner of the
// markup, as XML has it: start tags deepen, end tags and empty-element tags ("/>") close a
// level; comments, CDATA sections, declarations and processing instructions do not nest and are
// skipped whole; quoted attribute values may hold '>' or "/>" without ending the tag.
//
// Plain text; safe on any thread.
class UTL_XmlNesting
{
public:
    // Whether `text` nests elements deeper than `limit`; then `line`, when given, is the line
    // (counted from 1) where it first does.
    static bool DeeperThan(const std::string& text, int limit, int* line = nullptr);
};
