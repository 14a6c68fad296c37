#include "graph/UTL_XmlText.h"

#include <cstdint>

size_t UTL_XmlText::CharLength(const std::string& text, size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return 1;
    size_t length;
    uint32_t minimum;
    uint32_t code;
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2, minimum = 0x80, code = lead & 0x1f;
    else if (lead >= 0xe0 && lead <= 0xef)
        length = 3, minimum = 0x800, code = lead & 0x0f;
    else if (lead >= 0xf0 && lead <= 0xf4)
        length = 4, minimum = 0x10000, code = lead & 0x07;
    else
        return 0;
    if (at + length > text.size())
        return 0;
    for (size_t k = 1; k < length; ++k)
    {
        const unsigned char next = static_cast<unsigned char>(text[at + k]);
        if ((next & 0xc0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3f);
    }
    if (code < minimum || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff || code == 0xfffe ||
        code == 0xffff)
        return 0;
    return length;
}
