#pragma once

#include <vector>

// What opaque screen-aligned rectangles hide, on a coarse grid over the viewport: each cell holds
// the eye distance of the nearest rectangle that covers the whole cell, so that anything
// farther away within cells that all hold a nearer distance is hidden by the depth test. Only
// cells wholly inside one rectangle count, which keeps every answer on the safe side: a box
// that Hides reports hidden draws nothing a depth-tested frame would show; a box reported
// visible may still be hidden.
//
// Window pixels with the origin at the bottom-left; distances are eye-space depths (the clip w
// of a perspective projection), which order fragments as the depth buffer does. No GL.
class GFX_OcclusionGrid
{
public:
    // Side of a cell in pixels.
    static constexpr int CellSize = 8;

    // Forgets every rectangle and covers a viewport of the given size.
    void Reset(int width, int height);

    // An opaque rectangle [x0, x1] × [y0, y1] at eye depth `depth` (its farthest point).
    void AddRectangle(float x0, float y0, float x1, float y1, float depth);

    // True when everything within [x0, x1] × [y0, y1] at eye depth `depth` or farther lies
    // behind rectangles added since Reset. Depths within `Margin` of a rectangle's, relatively,
    // count as not hidden, so that the depth buffer's rounding cannot make the answer wrong.
    bool Hides(float x0, float y0, float x1, float y1, float depth) const;

    bool IsEmpty() const { return rectangles == 0; }

    static constexpr float Margin = 1e-3f;

private:
    int columns = 0;
    int rows = 0;
    int rectangles = 0;
    std::vector<float> nearest;
};
