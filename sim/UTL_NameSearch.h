#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Finds people by part of their name, the way a user types it: without regard to case or
// accents ("jose" finds "José", "ANNE" finds "Anne-Marie"). Names are UTF-8.
//
// A match is ranked by how the typed text meets the name: first the names that begin with it,
// then those where every typed word begins a word of the name ("marie" finds "Anne-Marie",
// "sm jo" finds "John Smith"), and last those that merely contain it somewhere ("ose" finds
// "José"). Word starts come first because a few letters of a first or last name are what people
// type; substrings only follow, so that a typo in the middle of a name still finds it. An id
// finds its person the same way, so that people a file names by id alone can be found.
//
// Plain text, no GL and no toolkit.
class UTL_NameSearch
{
public:
    struct Person
    {
        std::string id;
        std::string name;
        std::string folded;   // the name as Fold makes it
        std::string foldedId; // and the id
    };

    void Clear() { people.clear(); }
    void Add(const std::string& id, const std::string& name);
    size_t Size() const { return people.size(); }
    const Person& At(size_t index) const { return people[index]; }

    // The positions of the people matching `query`, best first and, within a rank, in the order
    // they were added; at most `limit` of them. Nothing for a query without letters or digits.
    std::vector<size_t> Find(const std::string& query, size_t limit) const;

    // UTL_NameText's folding and plain spelling, as the search uses them.
    static std::string Fold(const std::string& utf8);
    static std::string Plain(const std::string& utf8);

private:
    std::vector<Person> people;
};
