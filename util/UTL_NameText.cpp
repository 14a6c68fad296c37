#include "util/UTL_NameText.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace
{
// Plain spellings of U+00C0 … U+017F, one per code point; "" keeps the character (× and ÷).
const char* const Latin1[64] = {
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i",  "i",
    "d", "n", "o", "o", "o", "o", "o",  "",  "o", "u", "u", "u", "u", "y", "th", "y",
};
const char* const LatinExtendedA[128] = {
    "a", "a", "a",  "a",  "a", "a", "c", "c", "c", "c", "c", "c", "c", "c", "d", "d",
    "d", "d", "e",  "e",  "e", "e", "e", "e", "e", "e", "e", "e", "g", "g", "g", "g",
    "g", "g", "g",  "g",  "h", "h", "h", "h", "i", "i", "i", "i", "i", "i", "i", "i",
    "i", "i", "ij", "ij", "j", "j", "k", "k", "k", "l", "l", "l", "l", "l", "l", "l",
    "l", "l", "l",  "n",  "n", "n", "n", "n", "n", "n", "n", "n", "o", "o", "o", "o",
    "o", "o", "oe", "oe", "r", "r", "r", "r", "r", "r", "s", "s", "s", "s", "s", "s",
    "s", "s", "t",  "t",  "t", "t", "t", "t", "u", "u", "u", "u", "u", "u", "u", "u",
    "u", "u", "u",  "u",  "w", "w", "y", "y", "y", "z", "z", "z", "z", "z", "z", "s",
};

// The next code point of `text` from `at`, which moves past it; -1 for a byte that does not
// start a well-formed sequence (it is skipped alone).
long NextCodePoint(const std::string& text, size_t& at)
{
    const auto byte = [&text](size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(at);
    int length = 0;
    long code = 0;
    if (lead < 0x80)
    {
        ++at;
        return lead;
    }
    if ((lead & 0xE0) == 0xC0)
        length = 2, code = lead & 0x1F;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, code = lead & 0x0F;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, code = lead & 0x07;
    if (length == 0 || at + length > text.size())
    {
        ++at;
        return -1;
    }
    for (int i = 1; i < length; ++i)
    {
        if ((byte(at + i) & 0xC0) != 0x80)
        {
            ++at;
            return -1;
        }
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    static const long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
    {
        ++at;
        return -1;
    }
    at += length;
    return code;
}

// The plain spelling of a Latin letter of U+00C0 … U+017F, or null.
const char* PlainLatin(long code)
{
    const char* plain = nullptr;
    if (code >= 0xC0 && code < 0x100)
        plain = Latin1[code - 0xC0];
    else if (code >= 0x100 && code < 0x180)
        plain = LatinExtendedA[code - 0x100];
    return plain && *plain ? plain : nullptr;
}

// Whether a Latin letter of U+00C0 … U+017F is a capital: the first half of Latin-1's letters,
// and in Latin Extended-A the first of each pair (the pairs start on an odd code point in
// U+0139 … U+0148 and U+0179 … U+017E, where single lower-case letters shift them).
bool IsLatinCapital(long code)
{
    if (code < 0x100)
        return code < 0xDF;
    if (code == 0x178)
        return true;
    if (code == 0x138 || code == 0x149 || code == 0x17F)
        return false;
    const bool oddPairs = (code >= 0x139 && code <= 0x148) || (code >= 0x179 && code <= 0x17E);
    return (code % 2 == 1) == oddPairs;
}

bool IsCombiningMark(long code)
{
    return (code >= 0x0300 && code <= 0x036F) || (code >= 0x1AB0 && code <= 0x1AFF) ||
           (code >= 0x1DC0 && code <= 0x1DFF) || (code >= 0x20D0 && code <= 0x20FF) ||
           (code >= 0xFE20 && code <= 0xFE2F);
}

// Whether `word` begins some word of `folded` (words are separated by single spaces).
bool BeginsAWord(const std::string& folded, const std::string& word)
{
    for (size_t at = 0; at <= folded.size();)
    {
        if (folded.compare(at, word.size(), word) == 0)
            return true;
        const size_t space = folded.find(' ', at);
        if (space == std::string::npos)
            return false;
        at = space + 1;
    }
    return false;
}

std::string Compact(const std::string& folded)
{
    std::string compact;
    compact.reserve(folded.size());
    for (char c : folded)
        if (c != ' ')
            compact += c;
    return compact;
}

std::vector<std::string> Words(const std::string& folded)
{
    std::vector<std::string> words;
    size_t at = 0;
    while (at < folded.size())
    {
        size_t space = folded.find(' ', at);
        if (space == std::string::npos)
            space = folded.size();
        words.push_back(folded.substr(at, space - at));
        at = space + 1;
    }
    return words;
}
} // namespace

std::string UTL_NameText::Fold(const std::string& utf8)
{
    std::string folded;
    folded.reserve(utf8.size());
    bool pendingSpace = false;
    const auto put = [&folded, &pendingSpace](const std::string& piece)
    {
        if (pendingSpace && !folded.empty())
            folded += ' ';
        pendingSpace = false;
        folded += piece;
    };
    for (size_t at = 0; at < utf8.size();)
    {
        const size_t start = at;
        const long code = NextCodePoint(utf8, at);
        if (code < 0 || IsCombiningMark(code))
            continue;
        if (code < 0x80)
        {
            const char c = static_cast<char>(code);
            if (c >= 'A' && c <= 'Z')
                put(std::string(1, static_cast<char>(c - 'A' + 'a')));
            else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
                put(std::string(1, c));
            else
                pendingSpace = true;
            continue;
        }
        if (const char* plain = PlainLatin(code))
            put(plain);
        else if (code >= 0x80 && code < 0xC0)
            pendingSpace = true; // Latin-1 punctuation and symbols: « » ¡ ¿ and the like
        else
            put(utf8.substr(start, at - start));
    }
    return folded;
}

std::string UTL_NameText::Plain(const std::string& utf8)
{
    std::string plain;
    plain.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();)
    {
        const long code = NextCodePoint(utf8, at);
        if (code < 0 || IsCombiningMark(code) || code < 0x20 || code == 0x7F ||
            (code >= 0x80 && code < 0xA0))
            continue;
        if (code < 0x80)
        {
            plain += static_cast<char>(code);
            continue;
        }
        const char* spelt = PlainLatin(code);
        if (!spelt)
        {
            plain += '?';
            continue;
        }
        std::string letters(spelt);
        if (IsLatinCapital(code))
            letters[0] = static_cast<char>(letters[0] - 'a' + 'A');
        plain += letters;
    }
    return plain;
}

std::string UTL_NameText::ValidUtf8(const std::string& bytes)
{
    static const char Replacement[] = "\xEF\xBF\xBD";
    std::string valid;
    valid.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size();)
    {
        const size_t start = at;
        if (NextCodePoint(bytes, at) < 0)
            valid += Replacement;
        else
            valid.append(bytes, start, at - start);
    }
    return valid;
}

UTL_NameText::Meet UTL_NameText::Match(const std::string& foldedName,
                                       const std::string& foldedQuery)
{
    if (foldedQuery.empty())
        return Meet::Not;
    if (foldedName.compare(0, foldedQuery.size(), foldedQuery) == 0)
        return Meet::BeginsName;
    const std::vector<std::string> words = Words(foldedQuery);
    if (std::all_of(words.begin(), words.end(),
                    [&foldedName](const std::string& word)
                    { return BeginsAWord(foldedName, word); }))
        return Meet::BeginsWords;
    // The query without its spaces, for words typed together.
    std::string joined;
    for (const std::string& word : words)
        joined += word;
    if (foldedName.find(foldedQuery) != std::string::npos ||
        Compact(foldedName).find(joined) != std::string::npos)
        return Meet::Inside;
    return Meet::Not;
}
