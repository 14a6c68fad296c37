#include "sim/UTL_NameSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
std::vector<std::string> Names(const UTL_NameSearch& search, const std::string& query,
                               size_t limit = 10)
{
    std::vector<std::string> names;
    for (size_t i : search.Find(query, limit))
        names.push_back(search.At(i).name);
    return names;
}
} // namespace

TEST(UTL_NameSearchTest, FoldingIgnoresCaseAccentsAndPunctuation)
{
    struct Row
    {
        const char* name;
        const char* folded;
    };
    const Row rows[] = {
        {"José", "jose"},
        {"ANNE-MARIE", "anne marie"},
        {"  Ærø  Ødegård ", "aero odegard"},
        {"Straße", "strasse"},
        {"Łukasz Żółć", "lukasz zolc"},
        {"Đặng", "dặng"},         // letters outside Latin-1 and Extended-A stay
        {"Jose\xcc\x81", "jose"}, // decomposed: the combining acute is dropped
        {"O'Brien Jr.", "o brien jr"},
        {"«Zoë»", "zoe"},
        {"王 小明", "王 小明"},
        {"bad\xff\xc3utf8\xe2\x82", "badutf8"}, // stray and cut-off bytes are dropped
        {"\xc0\xaf", ""},                       // an overlong '/' is no character
    };
    for (const Row& row : rows)
        EXPECT_EQ(UTL_NameSearch::Fold(row.name), row.folded) << row.name;
}

TEST(UTL_NameSearchTest, PlainSpellingKeepsCaseForTheBitmapFont)
{
    EXPECT_EQ(UTL_NameSearch::Plain("José Ærø"), "Jose Aero");
    EXPECT_EQ(UTL_NameSearch::Plain("Łukasz Ŀlorenç ıŉ"), "Lukasz Llorenc in");
    EXPECT_EQ(UTL_NameSearch::Plain("Zoë\t王"), "Zoe?");
    EXPECT_EQ(UTL_NameSearch::Plain("Ÿves Ździsław"), "Yves Zdzislaw");
}

TEST(UTL_NameSearchTest, NameStartsComeFirstThenWordStartsThenSubstrings)
{
    UTL_NameSearch search;
    for (const char* name : {"Rosa Parks", "José Ortega", "Anne-Marie Duval", "Joan Annecy",
                             "Marianne Jones", "Anne Frank", "Jo Anne", "JOSEPHINE BAKER"})
        search.Add(std::to_string(search.Size()), name);

    EXPECT_EQ(Names(search, "jose"), (std::vector<std::string>{"José Ortega", "JOSEPHINE BAKER"}));
    EXPECT_EQ(Names(search, "ANNE"),
              (std::vector<std::string>{"Anne-Marie Duval", "Anne Frank", "Joan Annecy", "Jo Anne",
                                        "Marianne Jones"}));
    EXPECT_EQ(Names(search, "marie"), (std::vector<std::string>{"Anne-Marie Duval"}));
    EXPECT_EQ(Names(search, "fr an"), (std::vector<std::string>{"Anne Frank"}))
        << "every typed word begins a word, in any order";
    EXPECT_EQ(Names(search, "ose"), (std::vector<std::string>{"José Ortega", "JOSEPHINE BAKER"}))
        << "found inside the words";
    EXPECT_EQ(Names(search, "sé or"), (std::vector<std::string>{"José Ortega"}))
        << "across a word's end";
    EXPECT_EQ(Names(search, "seor"), (std::vector<std::string>{"José Ortega"}))
        << "typed without the space, it is still in there";
    EXPECT_EQ(Names(search, "anne", 2),
              (std::vector<std::string>{"Anne-Marie Duval", "Anne Frank"}));
    EXPECT_TRUE(Names(search, "").empty());
    EXPECT_TRUE(Names(search, " -' ").empty()) << "nothing to look for";
    EXPECT_TRUE(Names(search, "zz").empty());
}

TEST(UTL_NameSearchTest, PeopleAreFoundByTheirIdsAsByTheirNames)
{
    // A file may name nobody: its people are found by the ids their labels show.
    UTL_NameSearch search;
    search.Add("1888", "");
    search.Add("325", "");
    search.Add("u7", "Ann 1888");
    EXPECT_EQ(Names(search, "32"), (std::vector<std::string>{""}));
    ASSERT_EQ(search.Find("1888", 5).size(), 2u);
    EXPECT_EQ(search.At(search.Find("1888", 5)[0]).id, "1888") << "the id begins with it";
    EXPECT_EQ(search.At(search.Find("u7", 5)[0]).name, "Ann 1888");
}
