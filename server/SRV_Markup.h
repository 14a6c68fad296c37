#pragma once

#include <string>

// Text made safe for XML and HTML documents: markup characters become entity references, bytes
// that are not valid UTF-8 and the characters U+FFFE and U+FFFF become '?' (one per byte), and
// control characters other than tab, line feed and carriage return are dropped: XML 1.0 allows
// none of them. Requests echo what clients sent, so the
// answers stay well-formed whatever arrives.
namespace SRV_Markup
{
std::string Escape(const std::string& text);
} // namespace SRV_Markup
