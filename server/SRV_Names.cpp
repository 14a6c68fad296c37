#include "server/SRV_Names.h"

#include <sstream>

// Generated at configure time from server/data/first-names.txt and last-names.txt.
extern const char SRV_FirstNamesText[];
extern const char SRV_LastNamesText[];

namespace
{
std::vector<std::string> ParseList(const std::string& text)
{
    std::vector<std::string> names;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
    {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        if (!line.empty() && line[0] != '#')
            names.push_back(line);
    }
    if (names.empty())
        names.push_back("Anonymous");
    return names;
}

// Mixes the bits of a key so that neighbouring keys pick unrelated names (a finaliser of
// SplitMix64).
uint64_t Mix(uint64_t key)
{
    key ^= key >> 30;
    key *= 0xbf58476d1ce4e5b9ull;
    key ^= key >> 27;
    key *= 0x94d049bb133111ebull;
    return key ^ (key >> 31);
}
} // namespace

SRV_Names::SRV_Names(const std::string& firstNamesText, const std::string& lastNamesText)
    : firstNames(ParseList(firstNamesText)), lastNames(ParseList(lastNamesText))
{
}

const SRV_Names& SRV_Names::Builtin()
{
    static const SRV_Names names(SRV_FirstNamesText, SRV_LastNamesText);
    return names;
}

std::string SRV_Names::First(uint64_t key) const
{
    return firstNames[Mix(key) % firstNames.size()];
}

std::string SRV_Names::Last(uint64_t key) const
{
    return lastNames[Mix(key ^ 0x5bd1e9955bd1e995ull) % lastNames.size()];
}
