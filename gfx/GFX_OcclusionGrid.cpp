#include "gfx/GFX_OcclusionGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
constexpr float Far = std::numeric_limits<float>::infinity();
}

void GFX_OcclusionGrid::Reset(int width, int height)
{
    columns = std::max(0, (width + CellSize - 1) / CellSize);
    rows = std::max(0, (height + CellSize - 1) / CellSize);
    rectangles = 0;
    nearest.assign(size_t(columns) * rows, Far);
}

void GFX_OcclusionGrid::AddRectangle(float x0, float y0, float x1, float y1, float depth)
{
    if (!(x1 > x0 && y1 > y0 && depth > 0.0f))
        return;
    // The cells wholly inside: from the first cell edge at or after x0 to the last at or before
    // x1, likewise in y.
    const int c0 = std::max(0, int(std::ceil(x0 / CellSize)));
    const int c1 = std::min(columns, int(std::floor(x1 / CellSize)));
    const int r0 = std::max(0, int(std::ceil(y0 / CellSize)));
    const int r1 = std::min(rows, int(std::floor(y1 / CellSize)));
    if (c0 >= c1 || r0 >= r1)
        return;
    for (int r = r0; r < r1; ++r)
    {
        float* row = &nearest[size_t(r) * columns];
        for (int c = c0; c < c1; ++c)
            row[c] = std::min(row[c], depth);
    }
    ++rectangles;
}

bool GFX_OcclusionGrid::Hides(float x0, float y0, float x1, float y1, float depth) const
{
    if (rectangles == 0 || !(x1 >= x0 && y1 >= y0) || !(depth > 0.0f))
        return false;
    // A box reaching past the viewport is partly where nothing was recorded, and a fragment
    // there is clipped anyway; only the part on screen needs covering, but a box wholly off
    // screen is left to the clipper.
    const float w = float(columns * CellSize), h = float(rows * CellSize);
    if (x1 < 0.0f || y1 < 0.0f || x0 > w || y0 > h)
        return false;
    const int c0 = std::clamp(int(std::floor(x0 / CellSize)), 0, columns - 1);
    const int c1 = std::clamp(int(std::floor(x1 / CellSize)), 0, columns - 1);
    const int r0 = std::clamp(int(std::floor(y0 / CellSize)), 0, rows - 1);
    const int r1 = std::clamp(int(std::floor(y1 / CellSize)), 0, rows - 1);
    const float limit = depth / (1.0f + Margin);
    for (int r = r0; r <= r1; ++r)
    {
        const float* row = &nearest[size_t(r) * columns];
        for (int c = c0; c <= c1; ++c)
            if (!(row[c] < limit))
                return false;
    }
    return true;
}
