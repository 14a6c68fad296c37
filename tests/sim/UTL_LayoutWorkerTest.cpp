#include "sim/UTL_LayoutWorker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

// The layout by friendships on its worker thread; ThreadSanitizer watches these in the tsan stage.

namespace
{
// `n` friends in a ring, each also a friend of the one `n / 7` further on, and the user.
UTL_SocialGraph Ring(size_t n)
{
    UTL_SocialGraph graph;
    for (size_t i = 0; i < n; ++i)
        graph.AddNode(std::to_string(i));
    for (size_t i = 0; i < n; ++i)
    {
        graph.AddFriendship(i, (i + 1) % n);
        graph.AddFriendship(i, (i + n / 7) % n);
    }
    graph.SetUser(graph.AddNode("user"));
    return graph;
}
} // namespace

TEST(UTL_LayoutWorkerTest, ACancelledRunHandsNothingOverAndTheNextOneArrangesAsTheLayoutDoes)
{
    UTL_LayoutWorker worker;
    worker.Start(Ring(4000), nullptr);
    EXPECT_TRUE(worker.IsRunning());
    worker.Cancel();
    EXPECT_FALSE(worker.IsRunning());
    UTL_LayoutWorker::Result result;
    EXPECT_FALSE(worker.Take(result));
    EXPECT_FALSE(worker.Wait(result));

    // A new run joins the cancelled one first; its places are the layout's own, bit for bit.
    const UTL_SocialGraph graph = Ring(300);
    worker.Start(graph, nullptr);
    ASSERT_TRUE(worker.Wait(result));
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_EQ(worker.GetProgress(), 1.0);
    EXPECT_FALSE(result.communities.List().empty()) << "found on the worker";
    std::vector<UTL_SpherePlace> expected;
    ASSERT_TRUE(UTL_SphereLayout().Arrange(graph, &result.communities, expected));
    ASSERT_EQ(result.places.size(), expected.size());
    EXPECT_EQ(
        std::memcmp(result.places.data(), expected.data(), expected.size() * sizeof(expected[0])),
        0);

    // A run left going is stopped and joined by the worker's end.
    worker.Start(Ring(4000), nullptr);
}
