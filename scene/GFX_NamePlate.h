#pragma once

#include "scene/GFX_Rect.h"

#include <string>

class GFX_SceneOwner;

// The name of the person under the pointer, written on a dark plate beside it the way a tooltip
// is: below and to the right of the pointer, flipped to the other side where the view ends, and
// never outside the view. The text is white on the plate so that it reads over any theme, in
// the owner's bitmap font GlyphHeight pixels high where that writes the name whole, else in
// shaped type of that em (the owner's drawing ways may ask for one way always). The names on
// the locator labels are far smaller; this is the one to read.
//
// Pixels of the view, origin bottom-left. The bitmap font only has plain ASCII glyphs, so the
// name comes with a plain spelling for it. GL thread only for Draw; the placement is
// arithmetic, and so is the shaping that measures the plate.
class GFX_NamePlate
{
public:
    explicit GFX_NamePlate(GFX_SceneOwner* owner) : owner(owner) {}

    // Shows `name` (UTF-8) next to the pointer at (x, y), `plain` being how the bitmap font
    // writes it; an empty name hides the plate.
    void Show(const std::string& name, const std::string& plain, float x, float y);
    // The same for a name that is plain already.
    void Show(const std::string& name, float x, float y) { Show(name, name, x, y); }
    void Hide()
    {
        text.clear();
        name.clear();
    }
    bool IsShown() const { return !text.empty() || !name.empty(); }
    // The text the bitmap font writes, cut to MaxColumns.
    const std::string& GetText() const { return text; }
    const std::string& GetName() const { return name; }
    // Whether the name goes in shaped type.
    bool IsShaped() const { return shaped; }
    // Where the plate is drawn in a view of `viewWidth` × `viewHeight`.
    GFX_Rect GetRect(float viewWidth, float viewHeight) const;

    // The plate, untextured and blended, then the text over it. Assumes the interface pass's
    // pixel projection; leaves lighting on, blending off and texturing on.
    void Draw();

    // The plate for a text of `columns` glyphs at pointer (x, y) in the view.
    static GFX_Rect Place(float x, float y, size_t columns, float viewWidth, float viewHeight);
    // The same for a text `textWidth` pixels wide.
    static GFX_Rect PlaceWidth(float x, float y, float textWidth, float viewWidth,
                               float viewHeight);

    static constexpr float GlyphHeight = 16.0f;
    static constexpr float GlyphWidth = 8.0f; // half the height: the cells' proportions
    static constexpr float Padding = 5.0f;
    // Offset from the pointer, clear of the cursor's arrow.
    static constexpr float OffsetX = 14.0f;
    static constexpr float OffsetY = 18.0f;
    // Longer texts are cut and end in "...".
    static constexpr size_t MaxColumns = 48;
    // Shaped type: its em, made at exactly that size, and its widest line, that of the bitmap
    // text.
    static constexpr int ShapedEm = 16;
    static constexpr int MaxShapedWidth = static_cast<int>(MaxColumns * GlyphWidth);

private:
    GFX_SceneOwner* owner;
    std::string text;
    std::string name;
    bool shaped = false;
    float textWidth = 0.0f; // pixels
    float pointerX = 0.0f;
    float pointerY = 0.0f;
};
