#include "server/SRV_Markup.h"

namespace
{
// The length of the UTF-8 sequence of a character XML allows starting at `i`, 0 when there is
// none.
size_t Utf8Length(const std::string& text, size_t i)
{
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length;
    unsigned int minimum;
    unsigned int code;
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2, minimum = 0x80, code = lead & 0x1f;
    else if (lead >= 0xe0 && lead <= 0xef)
        length = 3, minimum = 0x800, code = lead & 0x0f;
    else if (lead >= 0xf0 && lead <= 0xf4)
        length = 4, minimum = 0x10000, code = lead & 0x07;
    else
        return 0;
    if (i + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k)
    {
        const unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xc0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3f);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not characters; U+FFFE and
    // U+FFFF are, but XML 1.0 forbids them.
    if (code < minimum || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff || code == 0xfffe ||
        code == 0xffff)
        return 0;
    return length;
}
} // namespace

std::string SRV_Markup::Escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80)
        {
            const size_t length = Utf8Length(text, i);
            if (length == 0)
            {
                out += '?';
                ++i;
            }
            else
            {
                out.append(text, i, length);
                i += length;
            }
            continue;
        }
        switch (c)
        {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            if (c >= 0x20 || c == '\t' || c == '\n' || c == '\r')
                out += char(c);
            break;
        }
        ++i;
    }
    return out;
}
