#include "util/UTL_StringTokenizer.h"

UTL_StringTokenizer::UTL_StringTokenizer(const std::string& line) : line(line), length(line.size())
{
    for (unsigned char c : {' ', '\t', '\n', '\r'})
        separator[c] = true;
}

std::string UTL_StringTokenizer::NextToken()
{
    while (position < length && IsSeparator(line[position]))
        ++position;
    size_t start = position;
    while (position < length && !IsSeparator(line[position]))
        ++position;
    return line.substr(start, position - start);
}

std::string UTL_StringTokenizer::Rest() const
{
    return position < length ? line.substr(position) : std::string();
}
