#include "graph/UTL_LayoutMeasures.h"

#include "graph/UTL_SocialGraph.h"
#include "graph/UTL_SphereLayout.h"
#include "graph/UTL_SphereVector.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace
{
using Direction = UTL_SphereVector;
constexpr double Pi = UTL_SphereVector::Pi;

double Between(const Direction& a, const Direction& b)
{
    return a.AngleTo(b);
}

// The smallest angle from each place to another. The places are swept by latitude both ways:
// a place whose latitude differs by more than the best angle found so far cannot beat it.
std::vector<double> NearestAngles(const std::vector<UTL_SpherePlace>& places)
{
    const size_t count = places.size();
    std::vector<size_t> order(count);
    for (size_t i = 0; i < count; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return places[a].latitude < places[b].latitude; });
    std::vector<Direction> directions(count);
    std::vector<double> latitudes(count);
    for (size_t i = 0; i < count; ++i)
    {
        directions[i] = Direction::FromPlace(places[order[i]]);
        latitudes[i] = double(places[order[i]].latitude) * Pi / 180.0;
    }
    std::vector<double> nearest(count, Pi);
    for (size_t i = 0; i < count; ++i)
    {
        for (size_t j = i + 1; j < count && latitudes[j] - latitudes[i] < nearest[i]; ++j)
            nearest[i] = std::min(nearest[i], Between(directions[i], directions[j]));
        for (size_t j = i; j > 0 && latitudes[i] - latitudes[j - 1] < nearest[i]; --j)
            nearest[i] = std::min(nearest[i], Between(directions[i], directions[j - 1]));
    }
    return nearest;
}

// Sum and number of the angles between pairs of `members`: every pair, or a sample of
// UTL_LayoutMeasures::MaxPairs of them when there are more.
struct PairSum
{
    double sum = 0.0;
    double pairs = 0.0;
};

PairSum PairAngles(const std::vector<Direction>& directions, const std::vector<size_t>& members,
                   std::mt19937_64& random)
{
    PairSum result;
    const size_t n = members.size();
    if (n < 2)
        return result;
    result.pairs = double(n) * double(n - 1) / 2.0;
    if (result.pairs <= double(UTL_LayoutMeasures::MaxPairs))
    {
        for (size_t a = 0; a < n; ++a)
            for (size_t b = a + 1; b < n; ++b)
                result.sum += Between(directions[members[a]], directions[members[b]]);
        return result;
    }
    double sampled = 0.0;
    for (size_t k = 0; k < UTL_LayoutMeasures::MaxPairs; ++k)
    {
        const size_t a = size_t(random() % n);
        const size_t b = size_t(random() % (n - 1));
        sampled += Between(directions[members[a]], directions[members[b < a ? b : b + 1]]);
    }
    result.sum = sampled / double(UTL_LayoutMeasures::MaxPairs) * result.pairs;
    return result;
}
} // namespace

double UTL_LayoutMeasures::Angle(const UTL_SpherePlace& a, const UTL_SpherePlace& b)
{
    return Between(Direction::FromPlace(a), Direction::FromPlace(b));
}

double UTL_LayoutMeasures::EvenSpacing(size_t count)
{
    if (count < 2)
        return Pi;
    std::vector<double> nearest = NearestAngles(UTL_SphereLayout::Spiral(count));
    std::nth_element(nearest.begin(), nearest.begin() + count / 2, nearest.end());
    return nearest[count / 2];
}

double UTL_LayoutMeasures::TotalAngle(const UTL_SocialGraph& graph,
                                      const std::vector<UTL_SpherePlace>& places)
{
    double total = 0.0;
    for (const auto& [a, b] : graph.Friendships())
        if (a < places.size() && b < places.size())
            total += Angle(places[a], places[b]);
    return total;
}

double UTL_LayoutMeasures::SmallestAngle(const std::vector<UTL_SpherePlace>& places)
{
    const std::vector<double> nearest = NearestAngles(places);
    return nearest.empty() ? Pi : *std::min_element(nearest.begin(), nearest.end());
}

double UTL_LayoutMeasures::Cohesion(const UTL_SocialGraph& graph,
                                    const std::vector<std::vector<size_t>>& groups,
                                    const std::vector<UTL_SpherePlace>& places)
{
    std::vector<Direction> directions(places.size());
    for (size_t i = 0; i < places.size(); ++i)
        directions[i] = Direction::FromPlace(places[i]);
    std::mt19937_64 random(20080401);

    // Each group counts once, whatever its size.
    double inside = 0.0;
    size_t measured = 0;
    for (const std::vector<size_t>& group : groups)
    {
        std::vector<size_t> members;
        for (size_t node : group)
            if (node < places.size() && node != graph.User())
                members.push_back(node);
        const PairSum sum = PairAngles(directions, members, random);
        if (sum.pairs > 0.0)
        {
            inside += sum.sum / sum.pairs;
            ++measured;
        }
    }
    std::vector<size_t> friends;
    for (size_t node : graph.Friends())
        if (node < places.size())
            friends.push_back(node);
    const PairSum all = PairAngles(directions, friends, random);
    if (measured == 0 || all.pairs == 0.0 || all.sum == 0.0)
        return 1.0;
    return (inside / double(measured)) / (all.sum / all.pairs);
}
