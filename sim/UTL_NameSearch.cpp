#include "sim/UTL_NameSearch.h"

#include "util/UTL_NameText.h"

#include <algorithm>

std::string UTL_NameSearch::Fold(const std::string& utf8)
{
    return UTL_NameText::Fold(utf8);
}

std::string UTL_NameSearch::Plain(const std::string& utf8)
{
    return UTL_NameText::Plain(utf8);
}

void UTL_NameSearch::Add(const std::string& id, const std::string& name)
{
    people.push_back({id, name, Fold(name), Fold(id)});
}

std::vector<size_t> UTL_NameSearch::Find(const std::string& query, size_t limit) const
{
    const std::string folded = Fold(query);
    std::vector<size_t> found;
    if (folded.empty() || limit == 0)
        return found;
    using Meet = UTL_NameText::Meet;
    constexpr int Ranks = int(Meet::Not);
    std::vector<size_t> ranked[Ranks];
    for (size_t i = 0; i < people.size(); ++i)
    {
        // A person is found by their id too, the way their name would find them.
        const Meet meet = std::min(UTL_NameText::Match(people[i].folded, folded),
                                   UTL_NameText::Match(people[i].foldedId, folded));
        if (meet != Meet::Not)
            ranked[int(meet)].push_back(i);
    }
    for (const auto& rank : ranked)
        for (size_t i : rank)
        {
            if (found.size() == limit)
                return found;
            found.push_back(i);
        }
    return found;
}
