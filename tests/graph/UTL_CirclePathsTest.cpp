#include "graph/UTL_CirclePaths.h"

#include "SmallCircle.h"
#include "graph/UTL_Communities.h"
#include "graph/UTL_IgraphScope.h"

#include <gtest/gtest.h>

#include <igraph.h>

#include <random>

namespace
{
// Ids of `nodes` joined by `separator`.
std::string Ids(const UTL_SocialGraph& graph, const std::vector<size_t>& nodes,
                const char* separator = ">")
{
    std::string text;
    for (size_t node : nodes)
        text += (text.empty() ? "" : separator) + graph.Node(node).id;
    return text;
}
} // namespace

TEST(UTL_CirclePathsTest, ShortestChainAvoidsTheUser)
{
    // a-b-c-d and a-e-d; f-g apart from them, joined to a only through the user; the user's
    // friendships in the file (me-a, me-f) are implied and never stored.
    const UTL_SocialGraph graph =
        SmallCircle("a b c d e f g me h", "a-b b-c c-d a-e e-d f-g me-a me-f b-h e-h");
    const UTL_CirclePaths paths(graph);
    struct Row
    {
        const char* from;
        const char* to;
        const char* chain; // "" for none
    };
    const Row rows[] = {
        {"a", "d", "a>e>d"},                      // the shorter of two ways
        {"d", "a", "d>e>a"}, {"a", "h", "a>b>h"}, // through b or e: b comes first in the file
        {"h", "a", "h>b>a"}, {"f", "g", "f>g"},
        {"c", "c", "c"},     {"a", "f", ""}, // connected only through the user
        {"a", "me", ""},                     // the user stands in no chain
        {"me", "b", ""},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(std::string(row.from) + " to " + row.to);
        EXPECT_EQ(Ids(graph, paths.ShortestPath(graph.Find(row.from), graph.Find(row.to))),
                  row.chain);
    }
    EXPECT_TRUE(paths.ShortestPath(0, graph.NodeCount()).empty()) << "a node not in the graph";
    EXPECT_TRUE(UTL_CirclePaths().ShortestPath(0, 0).empty()) << "an empty circle";
}

TEST(UTL_CirclePathsTest, ChainsAreAsShortAsIgraphSaysOnARandomCircle)
{
    // Catches a search that stops early or follows a friendship that is not there.
    std::mt19937 random(7);
    UTL_SocialGraph graph;
    constexpr size_t Nodes = 60;
    for (size_t i = 0; i < Nodes; ++i)
        graph.AddNode(std::to_string(i));
    std::uniform_int_distribution<size_t> anyone(0, Nodes - 1);
    for (int i = 0; i < 70; ++i)
        graph.AddFriendship(anyone(random), anyone(random));
    const UTL_CirclePaths paths(graph);

    UTL_IgraphScope scope;
    igraph_vector_int_t edges;
    igraph_vector_int_init(&edges, 0);
    for (const auto& [a, b] : graph.Friendships())
    {
        igraph_vector_int_push_back(&edges, igraph_integer_t(a));
        igraph_vector_int_push_back(&edges, igraph_integer_t(b));
    }
    igraph_t reference;
    igraph_matrix_t distances;
    igraph_matrix_init(&distances, 0, 0);
    ASSERT_EQ(igraph_create(&reference, &edges, igraph_integer_t(Nodes), IGRAPH_UNDIRECTED),
              IGRAPH_SUCCESS);
    ASSERT_EQ(
        igraph_distances(&reference, &distances, igraph_vss_all(), igraph_vss_all(), IGRAPH_ALL),
        IGRAPH_SUCCESS);
    for (size_t a = 0; a < Nodes; ++a)
        for (size_t b = 0; b < Nodes; ++b)
        {
            const std::vector<size_t> chain = paths.ShortestPath(a, b);
            const double distance = MATRIX(distances, a, b);
            ASSERT_EQ(chain.empty(), distance == IGRAPH_INFINITY) << a << " to " << b;
            if (chain.empty())
                continue;
            ASSERT_EQ(double(chain.size() - 1), distance) << a << " to " << b;
            for (size_t i = 1; i < chain.size(); ++i)
                ASSERT_TRUE(graph.HasFriendship(chain[i - 1], chain[i])) << a << " to " << b;
        }
    igraph_matrix_destroy(&distances);
    igraph_destroy(&reference);
    igraph_vector_int_destroy(&edges);
}

TEST(UTL_CirclePathsTest, FriendsInCommonAndNeighbourhoods)
{
    const UTL_SocialGraph graph =
        SmallCircle("a b c d e f me", "a-b a-c b-c b-d c-d d-e me-a me-f");
    const UTL_CirclePaths paths(graph);
    const auto at = [&graph](const char* id) { return graph.Find(id); };

    // A person's friends in the circle are the mutual friends of the user and them.
    EXPECT_EQ(Ids(graph, paths.FriendsOf(at("b")), " "), "a c d");
    EXPECT_EQ(Ids(graph, paths.FriendsOf(at("f")), " "), "") << "the user is not counted";
    EXPECT_EQ(Ids(graph, paths.FriendsOf(at("me")), " "), "a b c d e f");
    EXPECT_EQ(Ids(graph, paths.InCommon(at("a"), at("d")), " "), "b c");
    EXPECT_EQ(Ids(graph, paths.InCommon(at("a"), at("e")), " "), "") << "not even the user";
    EXPECT_EQ(Ids(graph, paths.InCommon(at("me"), at("d")), " "), "b c e");

    EXPECT_EQ(Ids(graph, paths.Neighbourhood(at("a"), 0), " "), "a");
    EXPECT_EQ(Ids(graph, paths.Neighbourhood(at("a"), 1), " "), "a b c");
    EXPECT_EQ(Ids(graph, paths.Neighbourhood(at("a"), 2), " "), "a b c d");
    EXPECT_EQ(Ids(graph, paths.Neighbourhood(at("f"), 2), " "), "f") << "not through the user";
    EXPECT_EQ(Ids(graph, paths.Neighbourhood(at("me"), 1), " "), "a b c d e f me");

    UTL_Communities communities;
    communities.FromGraph(graph); // none stored: everyone alone, one community each
    EXPECT_EQ(communities.Members(communities.CommunityOf(at("d"))), std::vector<size_t>{at("d")});
    EXPECT_TRUE(communities.Members(UTL_Communities::None).empty()) << "the user's";
}
