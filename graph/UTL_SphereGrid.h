#pragma once

#include "graph/UTL_SphereVector.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Points near the unit sphere sorted into the cubes of a grid over [−1, 1]³ at least `reach`
// wide, so that every pair nearer than `reach` (straight through space) lies in neighbouring
// cubes. Built anew whenever the points have moved; deterministic, one thread.
class UTL_SphereGrid
{
public:
    // Cubes along each axis at most: beyond, cubes are wider than asked, and just hold more.
    static constexpr int MaxCells = 64;

    void Build(const std::vector<UTL_SphereVector>& points, double reach);

    // Calls visit(a, b) once for every pair a < b of points in neighbouring cubes, cubes as built
    // (the points may move meanwhile), in an order fixed by the points' cubes and indices.
    template <typename Visit> void ForPairs(Visit visit) const
    {
        for (size_t a = 0; a < cellOf.size(); ++a)
        {
            const int cx = int(cellOf[a] / (size_t(cells) * cells));
            const int cy = int(cellOf[a] / size_t(cells) % size_t(cells));
            const int cz = int(cellOf[a] % size_t(cells));
            for (int x = cx > 0 ? cx - 1 : 0; x <= cx + 1 && x < cells; ++x)
                for (int y = cy > 0 ? cy - 1 : 0; y <= cy + 1 && y < cells; ++y)
                    for (int z = cz > 0 ? cz - 1 : 0; z <= cz + 1 && z < cells; ++z)
                    {
                        const size_t c = (size_t(x) * cells + size_t(y)) * cells + size_t(z);
                        for (uint32_t k = start[c]; k < start[c + 1]; ++k)
                            if (members[k] > a)
                                visit(a, size_t(members[k]));
                    }
        }
    }

private:
    size_t Cell(const UTL_SphereVector& p) const;

    int cells = 1;
    double width = 2.0;
    std::vector<uint32_t> start;   // per cube, where its members begin; one more at the end
    std::vector<size_t> cellOf;    // per point
    std::vector<uint32_t> members; // point indices, cube by cube
};
