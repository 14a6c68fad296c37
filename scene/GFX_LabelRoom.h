#pragma once

#include "scene/GFX_Rect.h"

#include <cstddef>
#include <vector>

// Finds room on screen for labels the way a map finds room for place names: in the order they
// come (most important first), each label is placed only where it leaves the labels placed
// before it uncovered, with a clearance around it so that the names do not crowd each other;
// the rest are left out. A label placed in the frame before keeps its place as long as it and
// the others cover only a little of each other (KeptOverlap), so that labels do not come and go
// as a glide or a turn moves them by a pixel across the line.
//
// Rectangles are window pixels, origin bottom-left. Plain arithmetic, no GL. One placement
// takes time in proportion to the labels and the screen cells they cover.
class GFX_LabelRoom
{
public:
    struct Candidate
    {
        GFX_Rect rect;
        // Placed in the frame before: it may stay with a little overlap and no clearance.
        bool wasPlaced = false;
    };

    // Decides every candidate, in order, within the view of width × height pixels: placed[i]
    // is 1 for a label placed. A label wholly outside the view is not placed.
    void Place(const std::vector<Candidate>& candidates, float width, float height,
               std::vector<char>& placed);

    // The largest share (0 … 1) of one rectangle covered by the others, their overlaps added up:
    // how much of the worst-covered label the others hide at most.
    static float LargestCoveredShare(const std::vector<GFX_Rect>& rects);
    // The area two rectangles share.
    static float OverlapArea(const GFX_Rect& a, const GFX_Rect& b);

    // The room a new label keeps free around itself, as a share of its width and height on each
    // side: names half a label apart read as names rather than a wall of tiles.
    static constexpr float Clearance = 0.5f;
    // The share of a label placed before that others may cover, and that it may cover of each
    // of them, before it gives way.
    static constexpr float KeptOverlap = 0.08f;
    // Side of the screen cells the placed labels are filed under, pixels.
    static constexpr float CellSize = 32.0f;

private:
    // The cells a rectangle covers, clipped to the grid: [x0, x1] × [y0, y1].
    bool CellsOf(const GFX_Rect& rect, int& x0, int& y0, int& x1, int& y1) const;

    int columns = 0;
    int rows = 0;
    // The placed labels by cell, as positions in `rects`.
    std::vector<std::vector<int>> cells;
    std::vector<GFX_Rect> rects;
    // How much of each placed label the others cover so far (pixels²).
    std::vector<float> covered;
    // The last query each placed label was looked at in, so that one spanning several cells
    // counts once.
    std::vector<size_t> seen;
    size_t query = 0;
};
