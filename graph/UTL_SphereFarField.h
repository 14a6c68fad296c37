#pragma once

#include "graph/UTL_SphereVector.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The push of many weighted points on each of them, Σ w·(p − q)/|p − q|² over the others (a
// repulsion falling with distance), summed the Barnes–Hut way: the points go into an octree over
// [−1, 1]³, and a cube seen from a point at less than `openness` times its distance from the
// cube's weighted centre acts as one point of its total weight there. Built anew whenever the
// points have moved; deterministic, one thread.
class UTL_SphereFarField
{
public:
    // `points` and `weights` (one each, not negative) must stay as they are until the next
    // Build: the push reads them.
    void Build(const std::vector<UTL_SphereVector>& points, const std::vector<double>& weights);

    // The push on point `self` from all the others.
    UTL_SphereVector At(size_t self, double openness) const;

private:
    // A cube holds at most this many points unless it is this deep.
    static constexpr uint32_t LeafSize = 4;
    static constexpr int MaxDepth = 24;

    struct Cube
    {
        UTL_SphereVector centroid; // weighted centre of its points
        double weight = 0.0;
        double width = 2.0;
        uint32_t first = 0, count = 0;                // its points in `order`
        uint32_t child[8] = {0, 0, 0, 0, 0, 0, 0, 0}; // 0: none (the root is nobody's child)
        bool leaf = true;
    };

    void Split(uint32_t index, uint32_t first, uint32_t count, const UTL_SphereVector& centre,
               int depth);

    const std::vector<UTL_SphereVector>* points = nullptr;
    const std::vector<double>* weights = nullptr;
    std::vector<Cube> cubes;
    std::vector<uint32_t> order;
    std::vector<uint32_t> scratch;
};
