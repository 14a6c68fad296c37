#include "server/SRV_Markup.h"

#include "graph/UTL_XmlText.h"

std::string SRV_Markup::Escape(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();)
    {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80)
        {
            const size_t length = UTL_XmlText::CharLength(text, i);
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
