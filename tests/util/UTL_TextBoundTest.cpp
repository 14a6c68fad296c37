#include "util/UTL_TextBound.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::string Times(size_t n, const std::string& piece)
{
    std::string text;
    for (size_t i = 0; i < n; ++i)
        text += piece;
    return text;
}
} // namespace

// Texts are cut after their 256th character, never inside a UTF-8 sequence, and a cut text
// says so with an ellipsis; bytes that are not UTF-8 count one each and stay as they were.
TEST(UTL_TextBoundTest, CutsAfterTheLastCharacterThatFits)
{
    const std::string dots = "\u2026";
    const struct
    {
        const char* what;
        std::string text;
        std::string expected;
    } rows[] = {
        {"empty", "", ""},
        {"ASCII, exactly 256", Times(256, "a"), Times(256, "a")},
        {"ASCII, 257", Times(257, "a"), Times(256, "a") + dots},
        {"ASCII, 4 MiB", std::string(size_t(4) << 20, 'a'), Times(256, "a") + dots},
        // Two-, three- and four-byte sequences where the 256th character ends and the 257th
        // begins: each is kept or dropped whole.
        {"2-byte, 256", Times(256, "\xC3\xA9"), Times(256, "\xC3\xA9")},
        {"2-byte, 257", Times(257, "\xC3\xA9"), Times(256, "\xC3\xA9") + dots},
        {"3-byte at 257", Times(255, "a") + "\xE4\xB8\xAD\xE6\x96\x87",
         Times(255, "a") + "\xE4\xB8\xAD" + dots},
        {"4-byte at 256 and 257", Times(255, "a") + Times(2, "\xF0\x9F\x98\x80"),
         Times(255, "a") + "\xF0\x9F\x98\x80" + dots},
        {"4-byte, 257", Times(257, "\xF0\x9F\x98\x80"), Times(256, "\xF0\x9F\x98\x80") + dots},
        // Not UTF-8: stray continuation bytes, bytes no sequence starts with, a sequence cut
        // short by the end of the text or by another character, an overlong form and a
        // surrogate. None is repaired, and none lets a text past the bound.
        {"stray continuations, 257", std::string(257, '\x80'), std::string(256, '\x80') + dots},
        {"0xFF bytes, 256", std::string(256, '\xFF'), std::string(256, '\xFF')},
        {"truncated at the end", Times(255, "a") + "\xE4\xB8", Times(255, "a") + "\xE4" + dots},
        {"truncated inside", "\xE4\xB8z", "\xE4\xB8z"},
        {"overlong, 257 bytes", Times(128, "\xC0\xAF") + "x", Times(128, "\xC0\xAF") + dots},
        {"surrogate at 256", Times(255, "a") + "\xED\xA0\x80", Times(255, "a") + "\xED" + dots},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        bool cut = false;
        EXPECT_EQ(UTL_TextBound::Cut(row.text, UTL_TextBound::MaxCharacters, &cut), row.expected);
        EXPECT_EQ(cut, row.expected != row.text);
    }
    EXPECT_EQ(UTL_TextBound::Cut("Zoë Dvořák", 5), "Zoë D" + dots) << "a bound of the caller's";
}
