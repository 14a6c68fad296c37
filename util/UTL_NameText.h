#pragma once

#include <string>

// The text of people's names as the program matches and shows it, shared by the search bar and
// the people table: folding a name the way a user types it, without regard to case or accents
// ("jose" meets "José"), how a typed query meets a folded name, a plain ASCII spelling for a
// font that has nothing else, and a repair of bytes that are not UTF-8. Names are UTF-8.
//
// Plain text, no GL and no toolkit; every function is pure and safe on any thread.
class UTL_NameText
{
public:
    // How a typed query meets a name, best first. Word starts come before substrings because a
    // few letters of a first or last name are what people type; substrings still find a name
    // with a typo in the middle of the query's word.
    enum class Meet
    {
        BeginsName,  // the name begins with the query
        BeginsWords, // every typed word begins a word of the name ("sm jo": "John Smith")
        Inside,      // the query is somewhere in the name, with or without its spaces
        Not,
    };

    // Lower case, Latin accents and ligatures spelt out in plain letters ("Ærø" → "aero"),
    // combining marks dropped, every run of spaces and punctuation one space, no space at
    // either end. Letters outside the Latin script stay as they are; bytes that are not UTF-8
    // are dropped.
    static std::string Fold(const std::string& utf8);
    // The name in plain ASCII for a font that has nothing else: Latin accents and ligatures
    // spelt out as Fold does, but in their case ("Ærø" → "Aero"), combining marks dropped, any
    // other character a '?', control characters and bytes that are not UTF-8 dropped.
    static std::string Plain(const std::string& utf8);
    // `bytes` with every byte that does not belong to a well-formed UTF-8 sequence replaced by
    // U+FFFD, so that what is written out is UTF-8 whatever a file or a server sent.
    static std::string ValidUtf8(const std::string& bytes);

    // How `foldedQuery` meets `foldedName`, both as Fold makes them; Not for an empty query.
    static Meet Match(const std::string& foldedName, const std::string& foldedQuery);
};
