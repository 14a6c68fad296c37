#include "util/UTL_TextBound.h"

#include <cstdint>

namespace
{
// The length in bytes of the character starting at `at`: a well-formed sequence whole, or one
// byte for a byte that starts none.
size_t CharacterLength(std::string_view text, size_t at)
{
    const auto byte = [&text](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(at);
    size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    if (length == 1 || at + length > text.size())
        return 1;
    // The second byte's range excludes overlong forms, surrogates and code points past U+10FFFF.
    const uint8_t second = byte(at + 1);
    const uint8_t low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const uint8_t high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    if (second < low || second > high)
        return 1;
    for (size_t i = 2; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80)
            return 1;
    return length;
}
} // namespace

std::string UTL_TextBound::Cut(std::string_view text, size_t limit, bool* cut)
{
    size_t end = 0;
    size_t characters = 0;
    while (end < text.size() && characters < limit)
    {
        end += CharacterLength(text, end);
        ++characters;
    }
    const bool wasCut = end < text.size();
    if (cut)
        *cut = wasCut;
    std::string kept(text.substr(0, end));
    if (wasCut)
        kept += Ellipsis;
    return kept;
}
