#include "graph/UTL_PeopleTable.h"

#include "SmallCircle.h"
#include "graph/UTL_Centralities.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace
{
using Column = UTL_PeopleTable::Column;
using Order = UTL_PeopleTable::Order;

// The chain 9-10-x-02 and y on their own; "9" has no name. Friends: y 0, 9 and 02 1, 10 and x
// 2; betweenness 2 for 10 and x, 0 for the rest; communities 1, 0, 1, none, 0.
UTL_SocialGraph People()
{
    UTL_SocialGraph graph = SmallCircle("10 9 x me 02 y", "9-10 10-x x-02 me-y");
    const std::pair<const char*, const char*> names[] = {
        {"10", "Émile Zola"}, {"x", "anne"}, {"02", "Bob"}, {"y", "EMILE"}};
    for (const auto& [id, name] : names)
        graph.Node(graph.Find(id)).name = name;
    const std::pair<const char*, int> communities[] = {{"10", 1}, {"9", 0}, {"x", 1}, {"y", 0}};
    for (const auto& [id, community] : communities)
        graph.Node(graph.Find(id)).community = community;
    return graph;
}

std::string Ids(const UTL_PeopleTable& table)
{
    std::string ids;
    for (size_t row = 0; row < table.RowCount(); ++row)
        ids += (row ? " " : "") + table.At(row).id;
    return ids;
}
} // namespace

TEST(UTL_PeopleTableTest, SortsByEveryColumnBothWaysWithTiesInFileOrder)
{
    const UTL_SocialGraph graph = People();
    UTL_PeopleTable table;
    table.Build(graph);
    ASSERT_EQ(table.RowCount(), 5u) << "one row per friend, none for the user";
    EXPECT_EQ(table.Text(table.RowOf(graph.Find("9")), Column::Name), "9") << "no name: the id";
    EXPECT_EQ(table.Text(0, Column::Betweenness), "") << "unknown until computed";
    table.Sort(Column::Betweenness, Order::Descending);
    EXPECT_EQ(Ids(table), "10 9 x 02 y") << "all equal while unknown: file order";

    UTL_Centralities centralities;
    std::string error;
    ASSERT_EQ(centralities.Compute(graph, error), UTL_Centralities::Outcome::Done) << error;
    table.SetCentralities(centralities);
    struct Row
    {
        Column column;
        const char* ascending;
        const char* descending;
    };
    const Row rows[] = {
        {Column::Id, "02 9 10 x y", "y x 10 9 02"},   // numbers by value, before the rest
        {Column::Name, "9 x 02 y 10", "10 y 02 x 9"}, // "Émile Zola" after "EMILE"
        {Column::Friends, "y 9 02 10 x", "10 x 9 02 y"},
        {Column::Community, "02 9 y 10 x", "10 x 9 y 02"},
        {Column::Betweenness, "9 02 y 10 x", "10 x 9 02 y"},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(UTL_PeopleTable::Title(row.column));
        table.Sort(row.column, Order::Ascending);
        EXPECT_EQ(Ids(table), row.ascending);
        table.Sort(row.column, Order::Descending);
        EXPECT_EQ(Ids(table), row.descending);
    }
    table.Sort(Column::PageRank, Order::Descending);
    EXPECT_EQ(table.At(4).id, "y") << "alone, the lowest PageRank";
    EXPECT_EQ(table.Text(0, Column::Betweenness), "2.0");
}

TEST(UTL_PeopleTableTest, FilterMeetsNamesAsTheSearchDoesAndIds)
{
    const UTL_SocialGraph graph = People();
    UTL_PeopleTable table;
    table.Sort(Column::Name, Order::Ascending);
    table.SetFilter("ÉMILE");
    table.Build(graph); // the filter stays through a rebuild
    EXPECT_EQ(Ids(table), "y 10");
    EXPECT_EQ(table.RowOf(graph.Find("10")), 1u);
    EXPECT_EQ(table.RowOf(graph.Find("x")), UTL_PeopleTable::NoRow) << "filtered out";
    EXPECT_EQ(table.RowOf(graph.User()), UTL_PeopleTable::NoRow);

    const std::pair<const char*, const char*> rows[] = {
        {"emile", "y 10"},
        {"zo em", "10"},        // every word begins a word of the name
        {"nn", "x"},            // inside a name
        {"0", "02 10"},         // inside an id
        {" - ", "9 x 02 y 10"}, // nothing to look for: everyone
        {"zz", ""},
    };
    for (const auto& [filter, ids] : rows)
    {
        table.SetFilter(filter);
        EXPECT_EQ(Ids(table), ids) << '"' << filter << '"';
    }
}

TEST(UTL_PeopleTableTest, CsvQuotesWhatNeedsIt)
{
    UTL_SocialGraph graph = SmallCircle("1 2 3 4 5 me", "1-2 2-3");
    const char* const names[] = {"Smith, John", "Ann \"Nan\" Lee", "Line\nBreak", "Zoë\xff"};
    for (size_t i = 0; i < 4; ++i)
        graph.Node(i).name = names[i];
    UTL_PeopleTable table;
    table.Build(graph);
    table.Sort(Column::Id, Order::Ascending);
    EXPECT_EQ(table.Csv(), "Id,Name,Friends in this circle,Community,Betweenness,PageRank\r\n"
                           "1,\"Smith, John\",1,,,\r\n"
                           "2,\"Ann \"\"Nan\"\" Lee\",2,,,\r\n"
                           "3,\"Line\nBreak\",1,,,\r\n"
                           "4,Zoë\xEF\xBF\xBD,0,,,\r\n" // not UTF-8: replaced
                           "5,5,0,,,\r\n");

    UTL_Centralities centralities;
    std::string error;
    ASSERT_EQ(centralities.Compute(graph, error), UTL_Centralities::Outcome::Done) << error;
    table.SetCentralities(centralities);
    table.SetFilter("ann");
    std::istringstream lines(table.Csv());
    std::string header, row, rest;
    std::getline(lines, header);
    std::getline(lines, row);
    EXPECT_EQ(row.substr(0, row.find(",0.")), "2,\"Ann \"\"Nan\"\" Lee\",2,,1")
        << "the rows shown, centralities in full";
    EXPECT_FALSE(std::getline(lines, rest));

    TempDir dir;
    ASSERT_TRUE(table.WriteCsv(dir.File("people.csv"), error)) << error;
    std::ifstream written(dir.File("people.csv"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(written), {}), table.Csv());
    EXPECT_FALSE(table.WriteCsv(dir.File("missing/people.csv"), error));
    EXPECT_NE(error.find("missing/people.csv"), std::string::npos) << error;
}
