#pragma once

#include "graph/UTL_SphereVector.h"

#include <cstddef>
#include <vector>

class UTL_SocialGraph;

// Figures of an arrangement of a circle on the globe, in radians: how long its friendships are,
// how close the members of one group stand, and how near two people come. Plain arithmetic in
// double precision on places of a UTL_SphereLayout, one per node index; callable from any thread.
class UTL_LayoutMeasures
{
public:
    // The angle between two places.
    static double Angle(const UTL_SpherePlace& a, const UTL_SpherePlace& b);

    // The even spacing of `count` people: the median, over the places of the spiral of `count`,
    // of the angle from a place to its nearest other place. It stays close to √(4π / count)
    // (about 0.95 of it) for any count, where the spiral's smallest gap, near its poles, does not.
    // π for fewer than two places.
    static double EvenSpacing(size_t count);

    // The sum of the angles of the graph's friendships (those among the friends).
    static double TotalAngle(const UTL_SocialGraph& graph,
                             const std::vector<UTL_SpherePlace>& places);

    // The smallest angle between two places; π for fewer than two.
    static double SmallestAngle(const std::vector<UTL_SpherePlace>& places);

    // The mean angle between two members of one group over the mean angle between two friends
    // (the user is neither). Each group of two or more counts once, whatever its size, so that a
    // handful of close friends weighs as much as a whole school. Large sets of pairs are sampled
    // with a fixed seed. 1 when either mean is undefined (no pair) or zero.
    static double Cohesion(const UTL_SocialGraph& graph,
                           const std::vector<std::vector<size_t>>& groups,
                           const std::vector<UTL_SpherePlace>& places);

    // Most pairs of a set measured one by one; beyond, a sample of this many.
    static constexpr size_t MaxPairs = 2000000;
};
