#include "graph/UTL_SphereGrid.h"

#include <algorithm>

void UTL_SphereGrid::Build(const std::vector<UTL_SphereVector>& points, double reach)
{
    cells = reach > 2.0 / MaxCells ? std::max(1, int(2.0 / reach)) : MaxCells;
    width = 2.0 / cells;
    const size_t total = size_t(cells) * cells * cells;
    start.assign(total + 1, 0);
    cellOf.resize(points.size());
    for (size_t i = 0; i < points.size(); ++i)
    {
        cellOf[i] = Cell(points[i]);
        ++start[cellOf[i] + 1];
    }
    for (size_t c = 0; c < total; ++c)
        start[c + 1] += start[c];
    members.resize(points.size());
    std::vector<uint32_t> fill(start.begin(), start.end() - 1);
    for (size_t i = 0; i < points.size(); ++i)
        members[fill[cellOf[i]]++] = uint32_t(i);
}

size_t UTL_SphereGrid::Cell(const UTL_SphereVector& p) const
{
    // Points a little off the sphere (or not finite) still land in a cube at the edge.
    const auto index = [this](double v)
    {
        const double at = (v + 1.0) / width;
        return at >= 1.0 ? size_t(std::min(double(cells - 1), at)) : size_t(0);
    };
    return (index(p.x) * cells + index(p.y)) * cells + index(p.z);
}
