#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The bound on the texts a circle keeps about each person (a name, and any other free text that
// comes with one), applied where they enter from a server's answer or a graph file. Everything
// that lays such a text out, stores or searches it may rely on it.
//
// Texts are UTF-8 and counted in characters (Unicode code points), not bytes. A text that is not
// well-formed UTF-8 is counted without being repaired: each byte that starts no well-formed
// sequence counts as one character, so that the bound holds for any bytes at all and a cut
// never splits a sequence that was whole.
namespace UTL_TextBound
{
// Longer than any real name, short enough that a label, a dock item, the search index and the
// status bar need no bound of their own against a hostile one.
constexpr size_t MaxCharacters = 256;
// Appended to a text that was cut.
constexpr std::string_view Ellipsis = "\u2026";

// `text` whole when it has at most `limit` characters; otherwise its first `limit` characters
// followed by Ellipsis. Sets `cut`, where given, to whether it was cut. Reads no more of `text`
// than the characters it keeps and the one after them.
std::string Cut(std::string_view text, size_t limit = MaxCharacters, bool* cut = nullptr);
} // namespace UTL_TextBound
