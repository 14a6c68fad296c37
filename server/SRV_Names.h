#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The lists of common first names and surnames that generated and imported people are named
// from (a few hundred of each, built into the server from server/data/*.txt). Immutable after
// construction, so safe to share between threads.
class SRV_Names
{
public:
    // Lists parsed from text of one name a line; blank lines and lines starting with '#' are
    // skipped.
    SRV_Names(const std::string& firstNamesText, const std::string& lastNamesText);

    // The lists the server is built with.
    static const SRV_Names& Builtin();

    const std::vector<std::string>& FirstNames() const { return firstNames; }
    const std::vector<std::string>& LastNames() const { return lastNames; }

    // A first name and a surname chosen by `key` (any 64-bit number: a random draw or a hash of
    // a stable id, so that the same key always names the same person).
    std::string First(uint64_t key) const;
    std::string Last(uint64_t key) const;

private:
    std::vector<std::string> firstNames;
    std::vector<std::string> lastNames;
};
