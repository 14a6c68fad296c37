#pragma once

#include "scene/GFX_Rect.h"

#include <string>

class GFX_SceneOwner;

// The name of the person under the pointer, written on a dark plate beside it the way a tooltip
// is: below and to the right of the pointer, flipped to the other side where the view ends, and
// never outside the view. The text is in the owner's bitmap font, GlyphHeight pixels high,
// white on the plate so that it reads over any theme. The names on the locator labels are far
// smaller; this is the one to read.
//
// Pixels of the view, origin bottom-left. The font only has plain ASCII glyphs: the text given
// should be plain already. GL thread only for Draw; the placement is arithmetic.
class GFX_NamePlate
{
public:
    explicit GFX_NamePlate(GFX_SceneOwner* owner) : owner(owner) {}

    // Shows `text` next to the pointer at (x, y); empty text hides the plate.
    void Show(const std::string& text, float x, float y);
    void Hide() { text.clear(); }
    bool IsShown() const { return !text.empty(); }
    const std::string& GetText() const { return text; }
    // Where the plate is drawn in a view of `viewWidth` × `viewHeight`.
    GFX_Rect GetRect(float viewWidth, float viewHeight) const;

    // The plate, untextured and blended, then the text over it. Assumes the interface pass's
    // pixel projection; leaves lighting on, blending off and texturing on.
    void Draw();

    // The plate for a text of `columns` glyphs at pointer (x, y) in the view.
    static GFX_Rect Place(float x, float y, size_t columns, float viewWidth, float viewHeight);

    static constexpr float GlyphHeight = 16.0f;
    static constexpr float GlyphWidth = 8.0f; // half the height: the cells' proportions
    static constexpr float Padding = 5.0f;
    // Offset from the pointer, clear of the cursor's arrow.
    static constexpr float OffsetX = 14.0f;
    static constexpr float OffsetY = 18.0f;
    // Longer texts are cut and end in "...".
    static constexpr size_t MaxColumns = 48;

private:
    GFX_SceneOwner* owner;
    std::string text;
    float pointerX = 0.0f;
    float pointerY = 0.0f;
};
