#include "app/UI_PeopleModel.h"

#include "graph/UTL_SocialGraph.h"

#include <gtest/gtest.h>

#include <QStringList>

// The people table's Qt model without a view: what a view would ask of it after a click on a
// header or a letter typed into the filter field.
namespace
{
// Ann knows the three others, Bob and Cy two each, José one; the user knows them all.
UTL_PeopleTable Table()
{
    UTL_SocialGraph graph;
    graph.SetUser(graph.AddNode("me"));
    for (const char* name : {"Bob", "Ann", "Cy", "José"})
        graph.Node(graph.AddNode(std::string("id-") + name)).name = name;
    graph.AddFriendship(graph.Find("id-Ann"), graph.Find("id-Bob"));
    graph.AddFriendship(graph.Find("id-Ann"), graph.Find("id-Cy"));
    graph.AddFriendship(graph.Find("id-Ann"), graph.Find("id-José"));
    graph.AddFriendship(graph.Find("id-Bob"), graph.Find("id-Cy"));
    UTL_PeopleTable table;
    table.Build(graph);
    return table;
}

QStringList Names(const UI_PeopleModel& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << model.data(model.index(row, 0)).toString();
    return names;
}
} // namespace

TEST(UI_PeopleModelTest, SortsByAnyColumnAndFiltersAsTheTableDoes)
{
    UI_PeopleModel model;
    model.SetTable(Table());
    ASSERT_EQ(model.columnCount(), UI_PeopleModel::Columns);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Friends in this circle");
    EXPECT_EQ(Names(model), QStringList({"Ann", "Bob", "Cy", "José"})) << "by name at first";

    model.sort(1, Qt::DescendingOrder);
    EXPECT_EQ(Names(model), QStringList({"Ann", "Bob", "Cy", "José"}));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), "3");
    model.sort(1, Qt::AscendingOrder);
    // Bob and Cy tie on two friends: file order either way.
    EXPECT_EQ(Names(model), QStringList({"José", "Bob", "Cy", "Ann"}));
    EXPECT_EQ(model.IdAt(0), "id-José") << "the row's person, as shown";
    EXPECT_TRUE(model.IdAt(4).isEmpty());
    EXPECT_EQ(model.data(model.index(0, 3)).toString(), "") << "no centralities yet";

    int resets = 0;
    QObject::connect(&model, &QAbstractItemModel::modelReset, [&resets] { ++resets; });
    model.SetFilterText("jose");
    EXPECT_EQ(Names(model), QStringList({"José"})) << "accents aside, as the search bar";
    EXPECT_EQ(resets, 1) << "a view learns of the new rows";

    // Friendships arrived: the new table keeps the order and the filter chosen.
    model.SetTable(Table());
    EXPECT_EQ(Names(model), QStringList({"José"}));
    model.SetFilterText("");
    EXPECT_EQ(Names(model), QStringList({"José", "Bob", "Cy", "Ann"}));
}
