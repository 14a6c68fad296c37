#include "graph/UTL_Communities.h"

#include "graph/UTL_GraphReader.h"
#include "graph/UTL_GraphWriter.h"
#include "graph/UTL_SocialGraph.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace
{
// Cliques of the given sizes, nodes numbered on from 0, each clique's first node linked to the
// next clique's first node; node "user" last, when asked for.
UTL_SocialGraph Cliques(const std::vector<size_t>& sizes, bool withUser)
{
    UTL_SocialGraph graph;
    size_t first = 0, previousFirst = UTL_SocialGraph::NoNode;
    for (size_t size : sizes)
    {
        for (size_t i = 0; i < size; ++i)
            graph.AddNode(std::to_string(first + i));
        for (size_t a = first; a < first + size; ++a)
            for (size_t b = a + 1; b < first + size; ++b)
                graph.AddFriendship(a, b);
        if (previousFirst != UTL_SocialGraph::NoNode)
            graph.AddFriendship(previousFirst, first);
        previousFirst = first;
        first += size;
    }
    if (withUser)
        graph.SetUser(graph.AddNode("user"));
    return graph;
}

// A planted partition: `groups` groups of varied size, dense inside, sparse between.
UTL_SocialGraph Planted(int groups, uint32_t seed)
{
    std::mt19937 random(seed);
    UTL_SocialGraph graph;
    std::vector<int> group;
    for (int g = 0; g < groups; ++g)
        for (int i = 0; i < 10 + 7 * g; ++i)
        {
            graph.AddNode(std::to_string(graph.NodeCount()));
            group.push_back(g);
        }
    std::uniform_real_distribution<double> unit(0, 1);
    for (size_t a = 0; a < graph.NodeCount(); ++a)
        for (size_t b = a + 1; b < graph.NodeCount(); ++b)
            if (unit(random) < (group[a] == group[b] ? 0.5 : 0.01))
                graph.AddFriendship(a, b);
    return graph;
}

TEST(UTL_CommunitiesTest, TwoCliquesJoinedByOneEdgeAreTwoCommunities)
{
    // Node 6 is only in the small clique's file position; sizes 4 then 6 check the order.
    const UTL_SocialGraph graph = Cliques({4, 6}, true);
    UTL_Communities communities;
    std::string error;
    ASSERT_TRUE(communities.Detect(graph, error)) << error;
    ASSERT_EQ(communities.List().size(), 2u);
    EXPECT_EQ(communities.List()[0].size, 6u) << "largest first";
    EXPECT_EQ(communities.List()[1].size, 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(communities.CommunityOf(i), 1) << i;
    for (size_t i = 4; i < 10; ++i)
        EXPECT_EQ(communities.CommunityOf(i), 0) << i;
    EXPECT_EQ(communities.CommunityOf(graph.User()), UTL_Communities::None)
        << "the user, a friend of everyone, belongs to no community";
    // Inside degree: every clique member has size - 1; the first of equals is the best.
    EXPECT_EQ(communities.List()[0].bestConnected, 4u);
    EXPECT_EQ(communities.List()[1].bestConnected, 0u);
    EXPECT_EQ(communities.NodeOrder(), (std::vector<size_t>{4, 5, 6, 7, 8, 9, 0, 1, 2, 3}));
}

TEST(UTL_CommunitiesTest, BestConnectedMemberHasTheMostFriendsInside)
{
    UTL_SocialGraph graph = Cliques({5, 5}, false);
    // A star around node 3 inside the first clique's community: three more friends of it.
    for (const char* id : {"a", "b", "c"})
        graph.AddFriendship(3, graph.AddNode(id));
    UTL_Communities communities;
    std::string error;
    ASSERT_TRUE(communities.Detect(graph, error)) << error;
    const int community = communities.CommunityOf(3);
    ASSERT_NE(community, UTL_Communities::None);
    EXPECT_EQ(communities.List()[size_t(community)].bestConnected, 3u);
}

TEST(UTL_CommunitiesTest, SameSeedSameCommunitiesAndEachContiguous)
{
    const UTL_SocialGraph graph = Planted(6, 3);
    UTL_Communities first, second;
    std::string error;
    ASSERT_TRUE(first.Detect(graph, error)) << error;
    ASSERT_TRUE(second.Detect(graph, error)) << error;
    EXPECT_EQ(first.NodeOrder(), second.NodeOrder());
    EXPECT_GE(first.List().size(), 4u) << "the planted groups show";

    const std::vector<size_t> order = first.NodeOrder();
    EXPECT_EQ(order.size(), graph.NodeCount()) << "every friend once";
    EXPECT_EQ(std::set<size_t>(order.begin(), order.end()).size(), order.size());
    // Contiguous and largest first: the community along the order never goes back.
    int previous = -1;
    for (size_t node : order)
    {
        const int community = first.CommunityOf(node);
        EXPECT_GE(community, previous) << node;
        previous = community;
    }
    for (size_t c = 1; c < first.List().size(); ++c)
        EXPECT_GE(first.List()[c - 1].size, first.List()[c].size);
}

TEST(UTL_CommunitiesTest, EdgelessAndStoredCommunities)
{
    UTL_SocialGraph graph;
    for (const char* id : {"a", "b", "c"})
        graph.AddNode(id);
    UTL_Communities communities;
    std::string error;
    ASSERT_TRUE(communities.Detect(graph, error)) << error;
    EXPECT_EQ(communities.List().size(), 3u) << "nobody linked: communities of one";
    EXPECT_EQ(communities.NodeOrder(), (std::vector<size_t>{0, 1, 2}));

    // Communities read from a file come back in the same order; friends without one stand
    // alone.
    graph.Node(0).community = 5;
    graph.Node(2).community = 5;
    communities.FromGraph(graph);
    ASSERT_EQ(communities.List().size(), 2u);
    EXPECT_EQ(communities.List()[0].size, 2u);
    EXPECT_EQ(communities.NodeOrder(), (std::vector<size_t>{0, 2, 1}));
    communities.ApplyTo(graph);
    EXPECT_EQ(graph.Node(0).community, 0);
    EXPECT_EQ(graph.Node(1).community, 1);
}

TEST(UTL_CommunitiesTest, FoundCommunitiesSavedAndOpenedComeBackAsTheyWere)
{
    // Four communities of one size, so that only their numbers tell them apart; saved with the
    // people in reverse order, as a circle arranged differently lists them.
    UTL_SocialGraph graph = Cliques({5, 5, 5, 5}, true);
    UTL_Communities found;
    std::string error;
    ASSERT_TRUE(found.Detect(graph, error)) << error;
    ASSERT_EQ(found.List().size(), 4u);
    found.ApplyTo(graph);
    UTL_SocialGraph reversed;
    for (size_t i = graph.NodeCount(); i-- > 0;)
        reversed.Node(reversed.AddNode(graph.Node(i).id)).community = graph.Node(i).community;
    for (const auto& [a, b] : graph.Friendships())
        reversed.AddFriendship(reversed.Find(graph.Node(a).id), reversed.Find(graph.Node(b).id));
    reversed.SetUser(reversed.Find("user"));
    TempDir dir;
    const std::string path = dir.File("found.graphml");
    ASSERT_TRUE(UTL_GraphWriter::WriteGraphML(reversed, path, error)) << error;

    UTL_SocialGraph opened;
    ASSERT_TRUE(UTL_GraphReader().Read(path, opened, error)) << error;
    UTL_Communities read;
    read.FromGraph(opened);
    ASSERT_EQ(read.List().size(), found.List().size());
    for (size_t i = 0; i < graph.NodeCount(); ++i)
        EXPECT_EQ(read.CommunityOf(opened.Find(graph.Node(i).id)), found.CommunityOf(i))
            << graph.Node(i).id;
}
} // namespace
