#include "graph/UTL_Centralities.h"

#include "SmallCircle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace
{
// Two cliques of `size` friends, "l0".. and "r0"..; "bridge" is a friend of all of them, so
// every chain between the cliques passes it. The user knows everyone.
UTL_SocialGraph Bridged(int size)
{
    std::string nodes = "me bridge", friendships;
    for (const char* side : {"l", "r"})
        for (int i = 0; i < size; ++i)
        {
            const std::string id = side + std::to_string(i);
            nodes += " " + id;
            friendships += " bridge-" + id;
            for (int j = 0; j < i; ++j)
                friendships += " " + id + "-" + side + std::to_string(j);
        }
    return SmallCircle(nodes, friendships);
}
} // namespace

TEST(UTL_CentralitiesTest, HandComputedValuesOnSmallCircles)
{
    // Betweenness counts the pairs whose shortest chain passes a person. PageRank with damping
    // d over n friends: on the path a-b-c, a = (1 - d) / n + d b / 2 and b = (1 - d) / n + 2 d a,
    // so a = c = 19/74 and b = 36/74; on a star of four, the centre c = (1 - d) / n + 4 d l and a
    // leaf l = (1 - d) / n + d c / 4, so c = 0.132 / 0.2775 and l = 0.03 + 0.2125 c.
    struct Row
    {
        const char* nodes;
        const char* friendships;
        std::vector<double> betweenness, pageRank; // by node, the user last
    };
    const double centre = 0.132 / 0.2775, leaf = 0.03 + 0.2125 * centre;
    const Row rows[] = {
        {"a b c me", "a-b b-c me-a", {0, 1, 0, 0}, {19.0 / 74, 36.0 / 74, 19.0 / 74, 0}},
        {"c l1 l2 l3 l4 me",
         "c-l1 c-l2 c-l3 c-l4",
         {6, 0, 0, 0, 0, 0},
         {centre, leaf, leaf, leaf, leaf, 0}},
        {"a b c me", "", {0, 0, 0, 0}, {1.0 / 3, 1.0 / 3, 1.0 / 3, 0}}, // nobody linked
        {"me", "", {0}, {0}},                                           // nobody at all
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.friendships);
        const UTL_SocialGraph graph = SmallCircle(row.nodes, row.friendships);
        UTL_Centralities centralities;
        std::string error;
        ASSERT_EQ(centralities.Compute(graph, error), UTL_Centralities::Outcome::Done) << error;
        EXPECT_FALSE(centralities.Sampled());
        for (size_t i = 0; i < graph.NodeCount(); ++i)
        {
            EXPECT_NEAR(centralities.Betweenness(i), row.betweenness[i], 1e-9) << i;
            EXPECT_NEAR(centralities.PageRank(i), row.pageRank[i], 1e-6) << i;
        }
        EXPECT_EQ(centralities.TopBetweenness(graph.NodeCount()).size(), graph.NodeCount() - 1)
            << "the user is no one's bridge";
    }
}

TEST(UTL_CentralitiesTest, SampledBetweennessStillFindsTheBridge)
{
    // 41 friends; room for searches from 8 of them.
    const UTL_SocialGraph graph = Bridged(20);
    UTL_Centralities::Sampling sampling;
    sampling.work = 8 * (graph.Friends().size() + graph.Friendships().size() + 1);
    UTL_Centralities exact, sampled, again;
    std::string error;
    ASSERT_EQ(exact.Compute(graph, error), UTL_Centralities::Outcome::Done) << error;
    ASSERT_EQ(sampled.Compute(graph, error, {}, sampling), UTL_Centralities::Outcome::Done);
    ASSERT_EQ(again.Compute(graph, error, {}, sampling), UTL_Centralities::Outcome::Done);

    const size_t bridge = graph.Find("bridge");
    EXPECT_DOUBLE_EQ(exact.Betweenness(bridge), 20.0 * 20.0);
    EXPECT_TRUE(sampled.Sampled());
    EXPECT_EQ(sampled.SourceCount(), 8u);
    EXPECT_EQ(sampled.TopBetweenness(1), std::vector<size_t>{bridge});
    // Each clique member's search adds 10 (half of 20 pairs, each counted from both ends),
    // scaled by 41 / 8: 410, or 359 if the bridge, which adds nothing, was drawn.
    EXPECT_NEAR(sampled.Betweenness(bridge), exact.Betweenness(bridge), 0.15 * 400);
    for (size_t i = 0; i < graph.NodeCount(); ++i)
        EXPECT_EQ(sampled.Betweenness(i), again.Betweenness(i)) << "the same sample every time";
}

TEST(UTL_CentralitiesTest, ProgressRisesAndCancellingLeavesNoResults)
{
    // 161 friends: three chunks of searches, then PageRank.
    const UTL_SocialGraph graph = Bridged(80);
    std::string error;
    std::vector<double> reports;
    UTL_Centralities::Control control;
    control.progress = [&reports](double done) { reports.push_back(done); };
    UTL_Centralities centralities;
    ASSERT_EQ(centralities.Compute(graph, error, control), UTL_Centralities::Outcome::Done);
    ASSERT_EQ(reports.size(), 4u);
    for (size_t i = 1; i < reports.size(); ++i)
        EXPECT_GT(reports[i], reports[i - 1]);
    EXPECT_EQ(reports.back(), 1.0);

    // Cancelled before it starts, and from inside, as another thread would between chunks.
    std::atomic<bool> cancel{true};
    control.cancel = &cancel;
    control.progress = nullptr;
    EXPECT_EQ(centralities.Compute(graph, error, control), UTL_Centralities::Outcome::Cancelled);
    EXPECT_FALSE(centralities.Ready());
    cancel = false;
    control.progress = [&cancel](double) { cancel = true; };
    EXPECT_EQ(centralities.Compute(graph, error, control), UTL_Centralities::Outcome::Cancelled);
    EXPECT_FALSE(centralities.Ready());
    EXPECT_EQ(centralities.Betweenness(graph.Find("bridge")), 0.0);
}

TEST(UTL_CentralitiesTest, TwoThreadsComputeAtOnce)
{
    // igraph's handlers are process-wide: the two must not trip over each other (run under
    // ThreadSanitizer in CI).
    const UTL_SocialGraph graph = Bridged(40);
    UTL_Centralities first, second;
    std::string firstError, secondError;
    UTL_Centralities::Outcome firstOutcome{}, secondOutcome{};
    std::thread other([&] { secondOutcome = second.Compute(graph, secondError); });
    firstOutcome = first.Compute(graph, firstError);
    other.join();
    ASSERT_EQ(firstOutcome, UTL_Centralities::Outcome::Done) << firstError;
    ASSERT_EQ(secondOutcome, UTL_Centralities::Outcome::Done) << secondError;
    for (size_t i = 0; i < graph.NodeCount(); ++i)
    {
        EXPECT_EQ(first.Betweenness(i), second.Betweenness(i)) << i;
        EXPECT_EQ(first.PageRank(i), second.PageRank(i)) << i;
    }
}
