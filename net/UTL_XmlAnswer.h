#pragma once

#include <cstddef>
#include <string>

class TiXmlDocument;
class TiXmlElement;

// Helpers for reading the REST server's XML answers with TinyXML. The answer comes from the
// network, so it is treated as hostile: the parser recurses once per nesting level, and an answer
// nested deeper than any real one is refused before parsing instead of exhausting the stack.
namespace UTL_XmlAnswer
{
// Deepest element nesting accepted; real answers nest four levels at most.
constexpr int MaxDepth = 64;

// Parses `text` into `doc`. False for empty text, text nested deeper than MaxDepth or a parse
// error.
bool Parse(const std::string& text, TiXmlDocument& doc);

// The text of the first child element of `parent` called `name`; empty when `parent` is null,
// the element is missing or it holds no text.
std::string ChildText(const TiXmlElement* parent, const char* name);
// The same text where the document keeps it, or null for any of those cases; valid as long as
// the document. For walks over thousands of elements that only test most of them.
const char* ChildTextOrNull(const TiXmlElement* parent, const char* name);

// The error_code of an error_response answer; empty for any other answer.
std::string ErrorCode(const TiXmlDocument& doc);

// Why an answer of `method` lacked what it should hold: the server's own error when it sent one.
// The text comes from the network and ends up on a terminal and in the status bar, so it is cut
// short (MaxSaidCharacters of the server's words, whole characters) and keeps only printable
// characters.
std::string Unexpected(const char* method, const TiXmlDocument& doc);
constexpr size_t MaxSaidCharacters = 200;
} // namespace UTL_XmlAnswer
