#include "util/UTL_StringExtractor.h"

#include <cstring>

namespace
{
bool IsLineEnd(char c)
{
    return c == '\n' || c == '\r';
}
} // namespace

UTL_StringExtractor::UTL_StringExtractor(const char* text)
    : text(text ? text : ""), length(std::strlen(this->text))
{
    lineEnd[static_cast<unsigned char>('\n')] = true;
    lineEnd[static_cast<unsigned char>('\r')] = true;
}

std::string UTL_StringExtractor::NextLine()
{
    while (position < length && IsLineEnd(text[position]))
        ++position;
    size_t start = position;
    while (position < length && !IsLineEnd(text[position]))
        ++position;
    return std::string(text + start, position - start);
}
