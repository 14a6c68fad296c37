#include "sim/UTL_GraphLoader.h"

#include "gfx/GFX_Theme.h"
#include "graph/GraphText.h"
#include "graph/UTL_Communities.h"
#include "graph/UTL_GraphReader.h"
#include "graph/UTL_GraphWriter.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "support/TempDir.h"

#include "CircleScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace
{
// Two cliques of five joined by one friendship, the friends listed alternately so that file
// order mixes them, and the user "me".
UTL_SocialGraph TwoCliques()
{
    UTL_SocialGraph graph;
    const size_t me = graph.AddNode("me");
    graph.Node(me).name = "Me";
    for (int i = 0; i < 10; ++i)
    {
        const size_t node = graph.AddNode((i % 2 ? "b" : "a") + std::to_string(i / 2));
        graph.Node(node).name = "Person " + std::to_string(i);
        graph.Node(node).picture = "/pictures/" + std::to_string(i) + ".jpg";
    }
    for (const char* side : {"a", "b"})
        for (int i = 0; i < 5; ++i)
            for (int j = i + 1; j < 5; ++j)
                graph.AddFriendship(graph.Find(side + std::to_string(i)),
                                    graph.Find(side + std::to_string(j)));
    graph.AddFriendship(graph.Find("a0"), graph.Find("b0"));
    graph.SetUser(me);
    return graph;
}

std::string Key(const GFX_Vector3& color)
{
    return std::to_string(color.x) + "," + std::to_string(color.y) + "," + std::to_string(color.z);
}

std::vector<std::string> FriendIds(const UTL_FriendCircle& circle)
{
    std::vector<std::string> ids;
    for (const auto& person : circle.GetFriends())
        ids.push_back(person->GetId());
    return ids;
}
} // namespace

TEST(UTL_GraphLoaderTest, AGraphArrivesAsTheNetworkSessionHandsACircle)
{
    const UTL_SocialGraph graph = TwoCliques();
    CircleScene scene;
    UTL_GraphLoader::Load(graph, scene.circle);

    ASSERT_NE(scene.circle.GetSelf(), nullptr);
    EXPECT_EQ(scene.circle.GetSelf()->GetId(), "me");
    EXPECT_EQ(scene.circle.GetSelf()->GetName(), "Me");
    ASSERT_EQ(scene.circle.GetFriendCount(), 10);
    EXPECT_EQ(scene.circle.GetFriendId(0), "a0") << "file order by default";
    EXPECT_EQ(scene.circle.GetFriendId(1), "b0");
    EXPECT_EQ(scene.friendsDock.GetItems().size(), 10u);
    EXPECT_EQ(scene.circle.GetHolders().size(), 11u) << "the user's locator and one per friend";

    // The user's lines first, highlighted, then the friendships, dim.
    const auto& lines = scene.circle.GetConnections();
    ASSERT_EQ(lines.size(), 10u + graph.Friendships().size());
    EXPECT_EQ(lines[0]->GetId1(), "me");
    EXPECT_EQ(lines[0]->GetDimAlpha(), GFX_ConnectionFriends::SelfDimAlpha);
    std::set<std::string> friendships;
    for (size_t i = 10; i < lines.size(); ++i)
    {
        EXPECT_EQ(lines[i]->GetDimAlpha(), UTL_GraphLoader::FriendshipDimAlpha);
        friendships.insert(lines[i]->GetId1() + "-" + lines[i]->GetId2());
    }
    EXPECT_EQ(friendships.size(), graph.Friendships().size());
    EXPECT_TRUE(friendships.count("a0-b0"));

    scene.ResolveLines();
    EXPECT_GT(scene.circle.CountDots(), 0);
}

TEST(UTL_GraphLoaderTest, AGraphWithoutAUserGivesFriendsOnly)
{
    UTL_SocialGraph graph;
    const size_t x = graph.AddNode("x");
    graph.AddFriendship(x, graph.AddNode("y"));
    CircleScene scene;
    UTL_GraphLoader::Load(graph, scene.circle);
    EXPECT_EQ(scene.circle.GetSelf(), nullptr);
    EXPECT_EQ(FriendIds(scene.circle), (std::vector<std::string>{"x", "y"}));
    ASSERT_EQ(scene.circle.GetConnections().size(), 1u);
    EXPECT_EQ(scene.circle.GetHolders().size(), 2u);
}

TEST(UTL_GraphLoaderTest, CommunitiesStandTogetherOnTheSpiralTheSameWayEachTime)
{
    const UTL_SocialGraph graph = TwoCliques();
    std::vector<std::string> first;
    for (int run = 0; run < 2; ++run)
    {
        UTL_Communities communities;
        std::string error;
        ASSERT_TRUE(communities.Detect(graph, error)) << error;
        ASSERT_EQ(communities.List().size(), 2u);
        CircleScene scene;
        UTL_GraphLoader::Load(graph, scene.circle, communities.NodeOrder());
        const std::vector<std::string> ids = FriendIds(scene.circle);
        ASSERT_EQ(ids.size(), 10u);
        // Each clique fills one run of the spiral: the side changes once along it.
        int changes = 0;
        for (size_t i = 1; i < ids.size(); ++i)
            changes += ids[i][0] != ids[i - 1][0];
        EXPECT_EQ(changes, 1);
        if (run == 0)
            first = ids;
        else
            EXPECT_EQ(ids, first);
    }
}

TEST(UTL_GraphLoaderTest, ACircleSavedAndOpenedAgainHoldsTheSamePeopleAndFriendships)
{
    const UTL_SocialGraph graph = TwoCliques();
    CircleScene scene;
    UTL_GraphLoader::Load(graph, scene.circle);

    UTL_SocialGraph saved;
    UTL_GraphLoader::ToGraph(scene.circle, saved, std::vector<int>(10, 3));
    EXPECT_EQ(saved.Node(saved.Find("a1")).community, 3);
    TempDir folder;
    const std::string path = folder.File("circle.graphml");
    std::string error;
    ASSERT_TRUE(UTL_GraphWriter::WriteGraphML(saved, path, error)) << error;

    UTL_SocialGraph opened;
    ASSERT_TRUE(UTL_GraphReader().Read(path, opened, error)) << error;
    const GraphText expected(graph);
    const GraphText actual(opened);
    EXPECT_EQ(actual.nodes, expected.nodes);
    EXPECT_EQ(actual.friendships, expected.friendships);
    EXPECT_EQ(actual.user, "me");
    EXPECT_EQ(opened.Node(opened.Find("b4")).community, 3);
}

TEST(UTL_GraphLoaderTest, EachCommunityHasOneColourAndWithoutCommunitiesPlacesColourAsBefore)
{
    const UTL_SocialGraph graph = TwoCliques();
    UTL_Communities communities;
    std::string error;
    ASSERT_TRUE(communities.Detect(graph, error)) << error;
    CircleScene scene;
    UTL_GraphLoader::Load(graph, scene.circle, communities.NodeOrder());
    for (const auto& holder : scene.circle.GetHolders())
        EXPECT_FALSE(holder->GetBallColor()) << "colours of places by default";
    for (const auto& line : scene.circle.GetConnections())
        EXPECT_FALSE(line->GetDotColor());

    UTL_GraphLoader::ColorByCommunity(graph, communities, scene.circle);
    std::map<char, std::set<std::string>> colorsOfSide; // 'a' or 'b', and 'm' for the user
    for (const auto& holder : scene.circle.GetHolders())
    {
        const GFX_Friend* person = holder->AsFriendHolder()->GetFriend();
        ASSERT_NE(person, nullptr);
        const auto& color = holder->GetBallColor();
        colorsOfSide[person->GetId()[0]].insert(color ? Key(*color) : "place");
    }
    EXPECT_EQ(colorsOfSide['m'], std::set<std::string>{"place"}) << "the user is in none";
    ASSERT_EQ(colorsOfSide['a'].size(), 1u);
    ASSERT_EQ(colorsOfSide['b'].size(), 1u);
    EXPECT_NE(*colorsOfSide['a'].begin(), *colorsOfSide['b'].begin());

    for (const auto& line : scene.circle.GetConnections())
    {
        const bool inside = line->GetId1()[0] == line->GetId2()[0];
        ASSERT_EQ(line->GetDotColor().has_value(), inside)
            << line->GetId1() << "-" << line->GetId2();
        if (inside)
        {
            EXPECT_EQ(Key(*line->GetDotColor()), *colorsOfSide[line->GetId1()[0]].begin());
        }
    }
    EXPECT_EQ(UTL_GraphLoader::Legend(graph, communities, 1),
              "2 communities; largest: 5 around Person " +
                  std::string(communities.CommunityOf(graph.Find("a0")) == 0 ? "0" : "1"));

    scene.circle.SetPersonColors({});
    for (const auto& holder : scene.circle.GetHolders())
        EXPECT_FALSE(holder->GetBallColor());
    for (const auto& line : scene.circle.GetConnections())
        EXPECT_FALSE(line->GetDotColor());
}

TEST(UTL_GraphLoaderTest, CommunityColoursStandOutOnEveryTheme)
{
    const char* source = std::getenv("HALVANE_SOURCE_DIR");
    ASSERT_NE(source, nullptr) << "CTest sets HALVANE_SOURCE_DIR";
    std::vector<GFX_Theme> themes;
    GFX_Theme theme;
    LoadThemes(std::string(source) + "/data/config/themes.txt", themes, theme);
    ASSERT_EQ(themes.size(), 3u);
    std::set<std::string> distinct;
    for (int i = 0; i < UTL_GraphLoader::CommunityColorCount; ++i)
    {
        const GFX_Vector3 color = UTL_GraphLoader::CommunityColor(i);
        distinct.insert(Key(color));
        for (const GFX_Theme& each : themes)
        {
            const GFX_Vector3& sky = each.BackgroundColor;
            const float distance = std::sqrt((color.x - sky.x) * (color.x - sky.x) +
                                             (color.y - sky.y) * (color.y - sky.y) +
                                             (color.z - sky.z) * (color.z - sky.z));
            EXPECT_GT(distance, 0.5f) << "colour " << i << " on a background of " << Key(sky);
        }
    }
    EXPECT_EQ(distinct.size(), size_t(UTL_GraphLoader::CommunityColorCount));
    EXPECT_EQ(Key(UTL_GraphLoader::CommunityColor(UTL_GraphLoader::CommunityColorCount)),
              Key(UTL_GraphLoader::CommunityColor(0)));
}
