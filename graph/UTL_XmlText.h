#pragma once

#include <cstddef>
#include <string>

// Characters that XML 1.0 documents may hold, for the writers of XML text (the GraphML writer,
// the server's answers and pages), which replace everything else.
namespace UTL_XmlText
{
// The length of the UTF-8 sequence at `at` when it is one character XML allows, else 0: broken
// and overlong sequences, surrogates, code points past U+10FFFF and the noncharacters U+FFFE and
// U+FFFF are not. ASCII counts 1, control characters included: what to do with those is the
// caller's.
size_t CharLength(const std::string& text, size_t at);
} // namespace UTL_XmlText
