#pragma once

#include "scene/GFX_InterfaceElement.h"
#include "scene/GFX_Rect.h"
#include "scene/GFX_WidgetDocked.h"

#include <memory>
#include <string>
#include <vector>

class GFX_SceneOwner;
class OGL_Texture2D;

// The edge of the view a dock runs along.
enum class GFX_DockSide
{
    Left = 0,
    Right = 1,
    Top = 2,
    Bottom = 3,
};

// A column of items along one edge of the view, in the manner of a magnifying launcher: the
// item under the mouse grows to the magnified size and its neighbours less the further they
// are, on a Gaussian falloff. The column grows out both ways from the pointer, like a lens: the
// point of the column under a pointer that rests stays under it while the items ease to their
// sizes, so the item it rests on stays the one under it (and the one a click selects). Dragging
// with the button down scrolls the column (the items follow the pointer); a release clicks the item
// under it only if the press scrolled the dock by less than ClickSlop pixels. An optional strip
// runs alongside the items and can be grabbed to scroll as well.
//
// It speaks the interface's event protocol (see GFX_InterfaceElement): Update once per frame
// lays the items out, Draw draws them and the strip, mouse handlers take view pixels (origin
// bottom-left, y up). Easing and scrolling move a fixed share per frame. Owns its items. The
// view size comes from the owner, which must outlive the dock. GL thread only.
class GFX_Dock : public GFX_InterfaceElement
{
public:
    // A press that scrolled this many pixels or more is a drag, not a click.
    static constexpr float ClickSlop = 5.0f;
    // Share of the way to the scroll target covered per frame, and the most pixels per frame.
    static constexpr float ScrollRate = 0.1f;
    static constexpr float MaxScrollStep = 128.0f;
    // Width (in items) of the magnification's Gaussian, and how many items away it stops.
    static constexpr float MagnifySpread = 1.1f;
    static constexpr int MagnifyReach = 6;

    explicit GFX_Dock(GFX_SceneOwner* owner);
    ~GFX_Dock() override;

    GFX_Dock(const GFX_Dock&) = delete;
    GFX_Dock& operator=(const GFX_Dock&) = delete;

    // Eases the items, moves and bounds the scroll, lays the items out from the edge, brings a
    // selected item into view when asked to, and places the strip.
    void Update(float seconds) override;
    // The items, then the strip when it has a thickness. See GFX_OverlayQuads for the GL state.
    void Draw() override;
    // Scrolls while the button is down, magnifies around the item under the mouse. True when
    // the move was over an item (and the strip is not being dragged) or drags the strip.
    bool MouseMove(float x, float y) override;
    // Consumed on an item or on the strip; starts a press.
    bool MouseDown(float x, float y) override;
    // True for a click on an item, which GetClicked then returns: released over the pressed
    // item, or where the press was when the item has slid away since. Always ends the press.
    bool MouseUp(float x, float y) override;
    void ReleaseGL() override;

    // Appends the item at the normal item size, so it needs no growth, and takes it. Returns it.
    GFX_WidgetDocked* AddItem(std::unique_ptr<GFX_WidgetDocked> item);
    // Deletes the item, if the dock holds it; forgets it as the clicked one. Returns whether it
    // was there.
    bool RemoveItem(const GFX_WidgetDocked* item);
    const std::vector<std::unique_ptr<GFX_WidgetDocked>>& GetItems() const { return items; }
    // The item of the last click, or null.
    GFX_WidgetDocked* GetClicked() const { return clicked; }
    // The item the last move found under the pointer, or null.
    GFX_WidgetDocked* GetHovered() const { return hovered; }
    // The pointer has left the view: every item shrinks back and none is under the pointer. A
    // press in progress keeps its magnification until the release.
    void PointerLeft();

    void SetSide(GFX_DockSide value) { side = value; }
    void SetStartOffset(float value) { startOffset = value; }
    void SetThickness(float value) { thickness = value; }
    void SetItemSize(float value) { itemSize = value; }
    void SetMagnifiedSize(float value) { magnifiedSize = value; }
    // The strip's texture, repeating; see GFX_Widget::LoadTexture.
    bool LoadTexture(const std::string& path);
    // Scroll the first selected item into view at the next Update.
    void RevealSelected() { revealSelected = true; }

    GFX_DockSide GetSide() const { return side; }
    bool IsVertical() const { return side == GFX_DockSide::Left || side == GFX_DockSide::Right; }
    float GetItemSize() const { return itemSize; }
    float GetMagnifiedSize() const { return magnifiedSize; }
    float GetThickness() const { return thickness; }
    float GetScroll() const { return scroll; }
    float GetScrollTarget() const { return scrollTarget; }
    float GetDragDistance() const { return dragDistance; }
    bool IsDraggingStrip() const { return draggingStrip; }
    bool IsButtonDown() const { return buttonDown; }
    bool IsRevealPending() const { return revealSelected; }
    // Whether nothing eases any more: every item at its target size, the scroll at its target
    // and no selected item waiting to be brought into view. Until then Update moves something.
    bool IsSettled() const;
    // The strip as placed by the last Update.
    const GFX_Rect& GetStripRect() const { return strip; }

    // How far the dock can scroll: the items at normal size plus one, and room for one
    // magnified item, less the view's extent along the dock; never below 0.
    float ScrollRange() const;
    // How far the magnification moves the column back towards its start, pixels: what the items
    // between the start and the pointer have grown by, the item under the pointer in proportion
    // to how far into it the pointer is; over the first item, no more than keeps the column
    // within the view. Items at their normal size give 0.
    float MagnificationShift() const { return shift; }
    // The size an item `distance` places away from the one under the mouse aims at.
    static float MagnifiedSize(int distance, float itemSize, float magnifiedSize);

private:
    void ViewSize(float& w, float& h) const;
    // Where the column starts at rest, from the edge, the start offset and the scroll.
    void RestStart(float& x, float& y) const;
    // Where it starts as laid out, the magnification's shift included; items follow it one
    // pixel apart.
    void LayoutStart(float& x, float& y) const;
    // The shift that puts the pointer's place along a column at rest (anchorAlong) at the same
    // share of the same item's slot in the column as the items' sizes are now.
    float ShiftUnderPointer() const;
    void Layout();
    void Reveal();
    // The start's coordinate along the dock: y for a column, x for a row.
    float LayoutStartAlong() const;
    // How far along the dock the strip's piece beside `item` reaches (negative down a column).
    float StripStep(const GFX_WidgetDocked& item) const;
    // The strip between two coordinates along the dock.
    GFX_Rect StripSpan(float from, float to) const;
    void PlaceStrip();
    void Magnify(size_t centre);
    void Unmagnify();

    GFX_SceneOwner* owner;
    GFX_DockSide side = GFX_DockSide::Right;
    float startOffset = 0.0f;
    float scroll = 0.0f;
    float scrollTarget = 0.0f;
    float dragDistance = 0.0f;
    bool draggingStrip = false;
    float thickness = 0.0f;
    GFX_Rect strip;
    float itemSize = 64.0f;
    float magnifiedSize = 96.0f;
    std::unique_ptr<OGL_Texture2D> texture;
    std::vector<std::unique_ptr<GFX_WidgetDocked>> items;
    GFX_WidgetDocked* clicked = nullptr;
    GFX_WidgetDocked* hovered = nullptr;
    bool buttonDown = false;
    float lastX = 0.0f;
    float lastY = 0.0f;
    // Where the button went down.
    float pressX = 0.0f;
    float pressY = 0.0f;
    // The pointer's coordinate along the dock when it was last over an item; kept when it
    // leaves, so that the shift fades as the items shrink back.
    bool anchored = false;
    float anchorAlong = 0.0f;
    float shift = 0.0f;
    bool revealSelected = false;
};
