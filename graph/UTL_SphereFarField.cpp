#include "graph/UTL_SphereFarField.h"

#include <algorithm>

void UTL_SphereFarField::Build(const std::vector<UTL_SphereVector>& pointList,
                               const std::vector<double>& weightList)
{
    points = &pointList;
    weights = &weightList;
    cubes.clear();
    cubes.reserve(2 * pointList.size() / LeafSize + 16);
    order.resize(pointList.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = uint32_t(i);
    scratch.resize(order.size());
    cubes.push_back(Cube());
    cubes[0].width = 2.0;
    Split(0, 0, uint32_t(order.size()), UTL_SphereVector{}, 0);
}

void UTL_SphereFarField::Split(uint32_t index, uint32_t first, uint32_t count,
                               const UTL_SphereVector& centre, int depth)
{
    UTL_SphereVector sum;
    double weight = 0.0;
    for (uint32_t k = first; k < first + count; ++k)
    {
        const double w = (*weights)[order[k]];
        sum += (*points)[order[k]] * w;
        weight += w;
    }
    Cube& cube = cubes[index];
    cube.centroid = weight > 0.0 ? sum * (1.0 / weight) : centre;
    cube.weight = weight;
    cube.first = first;
    cube.count = count;
    if (count <= LeafSize || depth >= MaxDepth)
        return;
    cube.leaf = false;
    const double width = cube.width;

    // The points regrouped octant by octant, each octant in its former order.
    const auto octant = [&](uint32_t k)
    {
        const UTL_SphereVector& q = (*points)[order[k]];
        return (q.x >= centre.x ? 4 : 0) | (q.y >= centre.y ? 2 : 0) | (q.z >= centre.z ? 1 : 0);
    };
    uint32_t begin[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (uint32_t k = first; k < first + count; ++k)
        ++begin[octant(k) + 1];
    for (int c = 0; c < 8; ++c)
        begin[c + 1] += begin[c];
    uint32_t fill[8];
    std::copy(begin, begin + 8, fill);
    for (uint32_t k = first; k < first + count; ++k)
        scratch[first + fill[octant(k)]++] = order[k];
    std::copy(scratch.begin() + first, scratch.begin() + first + count, order.begin() + first);

    const double quarter = width / 4.0;
    for (int c = 0; c < 8; ++c)
    {
        const uint32_t n = begin[c + 1] - begin[c];
        if (n == 0)
            continue;
        const uint32_t child = uint32_t(cubes.size());
        cubes.push_back(Cube());
        cubes[child].width = width / 2.0;
        cubes[index].child[c] = child;
        const UTL_SphereVector at{centre.x + (c & 4 ? quarter : -quarter),
                                  centre.y + (c & 2 ? quarter : -quarter),
                                  centre.z + (c & 1 ? quarter : -quarter)};
        Split(child, first + begin[c], n, at, depth + 1);
    }
}

UTL_SphereVector UTL_SphereFarField::At(size_t self, double openness) const
{
    UTL_SphereVector push;
    if (cubes.empty())
        return push;
    const UTL_SphereVector& p = (*points)[self];
    const double open2 = openness * openness;
    // Depth-first; each level leaves at most seven siblings waiting.
    uint32_t stack[8 * (MaxDepth + 1)];
    int top = 0;
    stack[top++] = 0;
    while (top > 0)
    {
        const Cube& cube = cubes[stack[--top]];
        const UTL_SphereVector d = p - cube.centroid;
        const double d2 = d.Dot(d);
        if (cube.leaf)
        {
            for (uint32_t k = cube.first; k < cube.first + cube.count; ++k)
            {
                if (order[k] == self)
                    continue;
                const UTL_SphereVector e = p - (*points)[order[k]];
                // Two points on one spot push each other nowhere, and never without bound.
                push += e * ((*weights)[order[k]] / std::max(e.Dot(e), 1e-12));
            }
        }
        else if (cube.width * cube.width < open2 * d2)
            push += d * (cube.weight / d2);
        else
            for (int c = 7; c >= 0; --c)
                if (cube.child[c] != 0)
                    stack[top++] = cube.child[c];
    }
    return push;
}
