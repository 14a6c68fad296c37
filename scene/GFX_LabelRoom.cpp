#include "scene/GFX_LabelRoom.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{
float Area(const GFX_Rect& rect)
{
    return std::max(rect.Width(), 0.0f) * std::max(rect.Height(), 0.0f);
}

GFX_Rect Grown(const GFX_Rect& rect, float share)
{
    const float dx = rect.Width() * share;
    const float dy = rect.Height() * share;
    return {rect.left - dx, rect.right + dx, rect.top + dy, rect.bottom - dy};
}
} // namespace

float GFX_LabelRoom::OverlapArea(const GFX_Rect& a, const GFX_Rect& b)
{
    const float w = std::min(a.right, b.right) - std::max(a.left, b.left);
    const float h = std::min(a.top, b.top) - std::max(a.bottom, b.bottom);
    return w > 0.0f && h > 0.0f ? w * h : 0.0f;
}

bool GFX_LabelRoom::CellsOf(const GFX_Rect& rect, int& x0, int& y0, int& x1, int& y1) const
{
    // NaN and infinite corners (a label beside the eye) land in no cell.
    if (!(rect.right >= 0.0f) || !(rect.top >= 0.0f) || !(rect.left < columns * CellSize) ||
        !(rect.bottom < rows * CellSize))
        return false;
    x0 = std::max(0, int(std::floor(rect.left / CellSize)));
    y0 = std::max(0, int(std::floor(rect.bottom / CellSize)));
    x1 = std::min(columns - 1, int(std::floor(rect.right / CellSize)));
    y1 = std::min(rows - 1, int(std::floor(rect.top / CellSize)));
    return x0 <= x1 && y0 <= y1;
}

void GFX_LabelRoom::Place(const std::vector<Candidate>& candidates, float width, float height,
                          std::vector<char>& placed)
{
    placed.assign(candidates.size(), 0);
    columns = std::clamp(int(std::ceil(width / CellSize)), 1, 1024);
    rows = std::clamp(int(std::ceil(height / CellSize)), 1, 1024);
    cells.resize(size_t(columns) * rows);
    for (auto& cell : cells)
        cell.clear();
    rects.clear();
    covered.clear();
    seen.clear();

    std::vector<std::pair<int, float>> overlaps; // placed label, area shared
    for (size_t i = 0; i < candidates.size(); ++i)
    {
        const Candidate& candidate = candidates[i];
        const GFX_Rect& rect = candidate.rect;
        if (!(rect.right > 0.0f && rect.left < width && rect.top > 0.0f && rect.bottom < height))
            continue;
        // A new label looks for room with its clearance around it; one placed before only asks
        // that the overlap stays small, so that a pixel's move does not take it away.
        const GFX_Rect probe = candidate.wasPlaced ? rect : Grown(rect, Clearance);
        int x0, y0, x1, y1;
        if (!CellsOf(probe, x0, y0, x1, y1))
            continue;
        ++query;
        overlaps.clear();
        bool fits = true;
        const float area = std::max(Area(rect), 1.0f);
        float mine = 0.0f;
        for (int y = y0; y <= y1 && fits; ++y)
            for (int x = x0; x <= x1 && fits; ++x)
                for (int other : cells[size_t(y) * columns + x])
                {
                    if (seen[other] == query)
                        continue;
                    seen[other] = query;
                    const float shared = OverlapArea(probe, rects[other]);
                    if (shared <= 0.0f)
                        continue;
                    if (!candidate.wasPlaced)
                    {
                        fits = false;
                        break;
                    }
                    mine += shared;
                    const float theirs = std::max(Area(rects[other]), 1.0f);
                    if (mine > KeptOverlap * area || covered[other] + shared > KeptOverlap * theirs)
                    {
                        fits = false;
                        break;
                    }
                    overlaps.emplace_back(other, shared);
                }
        if (!fits)
            continue;

        placed[i] = 1;
        const int index = int(rects.size());
        rects.push_back(rect);
        covered.push_back(mine);
        seen.push_back(query);
        for (const auto& [other, shared] : overlaps)
            covered[other] += shared;
        if (CellsOf(rect, x0, y0, x1, y1))
            for (int y = y0; y <= y1; ++y)
                for (int x = x0; x <= x1; ++x)
                    cells[size_t(y) * columns + x].push_back(index);
    }
}

float GFX_LabelRoom::LargestCoveredShare(const std::vector<GFX_Rect>& rects)
{
    // Swept from left to right: only rectangles that start before one ends can meet it.
    std::vector<size_t> order(rects.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return rects[a].left < rects[b].left; });
    std::vector<float> covered(rects.size(), 0.0f);
    for (size_t i = 0; i < order.size(); ++i)
    {
        const GFX_Rect& a = rects[order[i]];
        for (size_t j = i + 1; j < order.size() && rects[order[j]].left < a.right; ++j)
        {
            const float shared = OverlapArea(a, rects[order[j]]);
            covered[order[i]] += shared;
            covered[order[j]] += shared;
        }
    }
    float largest = 0.0f;
    for (size_t i = 0; i < rects.size(); ++i)
    {
        const float area = Area(rects[i]);
        if (area > 0.0f)
            largest = std::max(largest, std::min(covered[i] / area, 1.0f));
    }
    return largest;
}
