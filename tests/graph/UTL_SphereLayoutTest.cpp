#include "graph/UTL_SphereLayout.h"

#include "graph/UTL_Communities.h"
#include "graph/UTL_LayoutMeasures.h"
#include "graph/UTL_SocialGraph.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <string>

namespace
{
// A circle of `groups` groups of about `size` friends (sizes vary by half), each friend with
// about eight friends in its group and one outside it, and the user added last (so that the
// user is not node 0). `members` receives the groups.
UTL_SocialGraph Planted(int groups, int size, std::vector<std::vector<size_t>>& members)
{
    std::mt19937 random{uint32_t(groups)};
    UTL_SocialGraph graph;
    members.assign(size_t(groups), {});
    std::vector<size_t> groupOf;
    for (int g = 0; g < groups; ++g)
        for (int i = 0; i < size * 3 / 4 + (g * 7) % (size / 2 + 1); ++i)
        {
            members[size_t(g)].push_back(graph.AddNode(std::to_string(graph.NodeCount())));
            groupOf.push_back(size_t(g));
        }
    const size_t n = graph.NodeCount();
    for (size_t a = 0; a < n; ++a)
        for (size_t b = a + 1; b < n; ++b)
        {
            const size_t inside = members[groupOf[a]].size() - 1;
            if (groupOf[a] == groupOf[b] ? random() % inside < 8 : random() % n < 1)
                graph.AddFriendship(a, b);
        }
    graph.SetUser(graph.AddNode("user"));
    return graph;
}

// A ring of `n` friends, each a friend of the next, and no user.
UTL_SocialGraph Ring(size_t n)
{
    UTL_SocialGraph graph;
    for (size_t i = 0; i < n; ++i)
        graph.AddNode(std::to_string(i));
    for (size_t i = 0; i < n; ++i)
        graph.AddFriendship(i, (i + 1) % n);
    return graph;
}

std::vector<UTL_SpherePlace> Arranged(const UTL_SocialGraph& graph, uint64_t seed = 17)
{
    UTL_SphereLayout layout;
    layout.SetSeed(seed);
    std::vector<UTL_SpherePlace> places;
    EXPECT_TRUE(layout.Arrange(graph, nullptr, places));
    return places;
}

double Spacing(const std::vector<UTL_SpherePlace>& places)
{
    return UTL_LayoutMeasures::SmallestAngle(places) /
           UTL_LayoutMeasures::EvenSpacing(places.size());
}

bool Same(const std::vector<UTL_SpherePlace>& a, const std::vector<UTL_SpherePlace>& b)
{
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(a[0])) == 0);
}

TEST(UTL_SphereLayoutTest, PlantedGroupsStandTogetherAndApart)
{
    // Friendships far shorter than in arrival order, a group's members far nearer each other
    // than two friends at random, and nobody nearer anyone than half the even spacing. Friends
    // at random inside a group can stand no better than in a compact patch, so two groups, each
    // half of the globe, gain less than many small ones.
    struct Row
    {
        int groups, size;
        double maxLength, maxCohesion;
    };
    for (const Row& row : {Row{2, 100, 0.55, 0.65}, Row{6, 50, 0.42, 0.4}, Row{40, 10, 0.3, 0.25}})
    {
        SCOPED_TRACE(row.groups);
        std::vector<std::vector<size_t>> groups;
        const UTL_SocialGraph graph = Planted(row.groups, row.size, groups);
        const std::vector<UTL_SpherePlace> places = Arranged(graph);
        ASSERT_EQ(places.size(), graph.NodeCount());
        const double length =
            UTL_LayoutMeasures::TotalAngle(graph, places) /
            UTL_LayoutMeasures::TotalAngle(graph, UTL_SphereLayout::Arrival(graph));
        EXPECT_LT(length, row.maxLength);
        EXPECT_LT(UTL_LayoutMeasures::Cohesion(graph, groups, places), row.maxCohesion);
        EXPECT_GE(Spacing(places), 0.5);
    }
}

TEST(UTL_SphereLayoutTest, RingNeighboursStayNeighbours)
{
    const UTL_SocialGraph graph = Ring(300);
    const std::vector<UTL_SpherePlace> places = Arranged(graph);
    const double spacing = UTL_LayoutMeasures::EvenSpacing(graph.NodeCount());
    // Each friend's two friends among those standing next to it, not across the globe.
    for (const auto& [a, b] : graph.Friendships())
        EXPECT_LT(UTL_LayoutMeasures::Angle(places[a], places[b]), 3.0 * spacing) << a << "-" << b;
    EXPECT_GE(Spacing(places), 0.5);
}

TEST(UTL_SphereLayoutTest, SameGraphAndSeedGiveTheSamePlacesBitForBit)
{
    std::vector<std::vector<size_t>> groups;
    const UTL_SocialGraph graph = Planted(6, 50, groups);
    const std::vector<UTL_SpherePlace> first = Arranged(graph);
    EXPECT_TRUE(Same(first, Arranged(graph)));
    EXPECT_FALSE(Same(first, Arranged(graph, 18))) << "the seed is used";
}

TEST(UTL_SphereLayoutTest, UserStaysOnTheSpiralsFirstPlace)
{
    // With the user and three friends, the user's place is at latitude 90 − acos(0.75)·180/π,
    // longitude 0, whatever the user's node index.
    const std::vector<UTL_SpherePlace> spiral = UTL_SphereLayout::Spiral(4);
    EXPECT_NEAR(spiral[0].latitude, 48.59, 0.01);
    EXPECT_EQ(spiral[0].longitude, 0.0f);

    std::vector<std::vector<size_t>> groups;
    const UTL_SocialGraph graph = Planted(2, 100, groups);
    const std::vector<UTL_SpherePlace> places = Arranged(graph);
    const UTL_SpherePlace first = UTL_SphereLayout::Spiral(graph.NodeCount())[0];
    EXPECT_EQ(places[graph.User()].longitude, first.longitude);
    EXPECT_EQ(places[graph.User()].latitude, first.latitude);
    // Arrival order: the user first, then the friends in file order.
    const std::vector<UTL_SpherePlace> arrival = UTL_SphereLayout::Arrival(graph);
    EXPECT_EQ(arrival[graph.User()].latitude, first.latitude);
    EXPECT_EQ(arrival[0].latitude, UTL_SphereLayout::Spiral(graph.NodeCount())[1].latitude);
}

TEST(UTL_SphereLayoutTest, SmallAndUnlinkedCirclesArePlaced)
{
    // Empty, one, two and three people, with and without the user, and friends without any
    // friendship: every place on the globe, and people kept apart.
    struct Row
    {
        size_t friends;
        bool user;
        bool linked;
    };
    for (const Row& row :
         {Row{0, false, false}, Row{0, true, false}, Row{1, false, false}, Row{1, true, false},
          Row{2, false, true}, Row{2, true, false}, Row{3, true, true}, Row{40, true, false}})
    {
        SCOPED_TRACE(std::to_string(row.friends) + (row.user ? " with the user" : "") +
                     (row.linked ? ", linked" : ""));
        UTL_SocialGraph graph;
        for (size_t i = 0; i < row.friends; ++i)
            graph.AddNode(std::to_string(i));
        if (row.linked)
            for (size_t i = 0; i + 1 < row.friends; ++i)
                graph.AddFriendship(i, i + 1);
        if (row.user)
            graph.SetUser(graph.AddNode("user"));
        const std::vector<UTL_SpherePlace> places = Arranged(graph);
        ASSERT_EQ(places.size(), graph.NodeCount());
        for (const UTL_SpherePlace& place : places)
        {
            EXPECT_TRUE(std::isfinite(place.longitude) && std::isfinite(place.latitude));
            EXPECT_LE(std::fabs(place.latitude), 90.0f);
            EXPECT_LE(std::fabs(place.longitude), 180.0f);
        }
        if (places.size() > 1)
        {
            EXPECT_GE(Spacing(places), 0.5);
        }
    }
}

TEST(UTL_SphereLayoutTest, CancelStopsAndLeavesThePlacesAlone)
{
    std::vector<std::vector<size_t>> groups;
    const UTL_SocialGraph graph = Planted(6, 50, groups);
    std::atomic<bool> cancel{false};
    std::vector<double> fractions;
    UTL_SphereLayout layout;
    layout.SetCancel(&cancel);
    // Cancelled from the progress report, as a window would from its own thread meanwhile.
    layout.SetProgress(
        [&](double fraction)
        {
            fractions.push_back(fraction);
            if (fraction > 0.5)
                cancel = true;
        });
    std::vector<UTL_SpherePlace> places(3);
    places[1].latitude = 12.0f;
    EXPECT_FALSE(layout.Arrange(graph, nullptr, places));
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(places[1].latitude, 12.0f);
    ASSERT_FALSE(fractions.empty());
    EXPECT_LT(fractions.back(), 0.7) << "stopped soon after the flag";
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));

    // Uncancelled, the progress goes on to the end.
    cancel = false;
    fractions.clear();
    layout.SetProgress([&](double fraction) { fractions.push_back(fraction); });
    EXPECT_TRUE(layout.Arrange(graph, nullptr, places));
    EXPECT_EQ(fractions.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(fractions.begin(), fractions.end()));
}

TEST(UTL_SphereLayoutTest, EachCommunityHasItsRegion)
{
    std::vector<std::vector<size_t>> groups;
    const UTL_SocialGraph graph = Planted(6, 50, groups);
    UTL_Communities communities;
    std::string error;
    ASSERT_TRUE(communities.Detect(graph, error)) << error;
    const std::vector<UTL_SpherePlace> places = Arranged(graph);
    const auto regions = UTL_SphereLayout::Regions(graph, communities, places);
    ASSERT_EQ(regions.size(), communities.List().size());
    for (size_t c = 0; c < regions.size(); ++c)
    {
        SCOPED_TRACE(c);
        EXPECT_EQ(regions[c].size, communities.List()[c].size);
        EXPECT_EQ(regions[c].bestConnected, communities.List()[c].bestConnected);
        // A patch of its own: well under a hemisphere, and its centre near its members.
        EXPECT_GT(regions[c].radius, 0.0f);
        EXPECT_LT(regions[c].radius, 60.0f);
        size_t inside = 0;
        for (size_t node = 0; node < graph.NodeCount(); ++node)
            if (communities.CommunityOf(node) == int(c) &&
                UTL_LayoutMeasures::Angle(places[node], regions[c].centre) * 180.0 / M_PI <=
                    regions[c].radius + 1e-3)
                ++inside;
        EXPECT_GE(double(inside), 0.8 * double(regions[c].size));
    }
}

TEST(UTL_SphereLayoutTest, EvenSpacingFollowsTheSpiral)
{
    // The spiral's typical gap, about 0.95·√(4π / N), and its own smallest gap not far below.
    for (size_t count : {10u, 100u, 1000u})
    {
        SCOPED_TRACE(count);
        const double even = UTL_LayoutMeasures::EvenSpacing(count);
        EXPECT_NEAR(even / std::sqrt(4.0 * M_PI / double(count)), 0.95, 0.03);
        const double smallest = UTL_LayoutMeasures::SmallestAngle(UTL_SphereLayout::Spiral(count));
        EXPECT_GT(smallest / even, 0.8);
        EXPECT_LE(smallest / even, 1.0);
    }
}
} // namespace
