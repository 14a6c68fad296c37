#include "scene/GFX_Dock.h"

#include "gfx/OGL_Texture2D.h"
#include "scene/GFX_OverlayQuads.h"
#include "scene/GFX_SceneOwner.h"

#include <algorithm>
#include <cmath>

namespace
{
// Gap between the view's edge (or the strip) and the items, and between consecutive items.
constexpr float EdgeGap = 2.0f;
constexpr float ItemGap = 1.0f;
// The strip keeps one pixel off the view's edge.
constexpr float StripInset = 1.0f;
// How far outside the strip a press still grabs it.
constexpr float StripGrabMargin = 1.0f;
} // namespace

GFX_Dock::GFX_Dock(GFX_SceneOwner* owner) : owner(owner) {}

GFX_Dock::~GFX_Dock() = default;

GFX_WidgetDocked* GFX_Dock::AddItem(std::unique_ptr<GFX_WidgetDocked> item)
{
    if (!item)
        return nullptr;
    item->SetSize(itemSize);
    items.push_back(std::move(item));
    return items.back().get();
}

bool GFX_Dock::RemoveItem(const GFX_WidgetDocked* item)
{
    auto found = std::find_if(items.begin(), items.end(),
                              [item](const auto& held) { return held.get() == item; });
    if (found == items.end())
        return false;
    if (clicked == item)
        clicked = nullptr;
    if (hovered == item)
        hovered = nullptr;
    items.erase(found);
    return true;
}

bool GFX_Dock::LoadTexture(const std::string& path)
{
    return GFX_LoadOverlayTexture(texture, path);
}

void GFX_Dock::ViewSize(float& w, float& h) const
{
    const float* size = owner ? owner->GetViewportSize() : nullptr;
    w = size ? size[0] : 0.0f;
    h = size ? size[1] : 0.0f;
}

float GFX_Dock::ScrollRange() const
{
    float w, h;
    ViewSize(w, h);
    const float extent = IsVertical() ? h : w;
    const float range = float(items.size() + 1) * itemSize + magnifiedSize - extent;
    return std::max(range, 0.0f);
}

float GFX_Dock::MagnifiedSize(int distance, float itemSize, float magnifiedSize)
{
    if (std::abs(distance) >= MagnifyReach)
        return itemSize;
    const float d = float(distance);
    const float falloff = std::exp(-d * d / (2.0f * MagnifySpread * MagnifySpread));
    return itemSize + falloff * (magnifiedSize - itemSize);
}

void GFX_Dock::LayoutStart(float& x, float& y) const
{
    RestStart(x, y);
    if (IsVertical())
        y += shift;
    else
        x -= shift;
}

float GFX_Dock::ShiftUnderPointer() const
{
    if (!anchored)
        return 0.0f;
    float x, y;
    RestStart(x, y);
    // At rest every slot (the gap before an item, then the item) is itemSize + ItemGap long;
    // as laid out it is the item's size + ItemGap. The pointer stays at the same share of its
    // slot when the column moves back by the growth of the slots before it and that share of
    // its own slot's growth.
    const float slot = itemSize + ItemGap;
    float remaining = IsVertical() ? y - anchorAlong : anchorAlong - x;
    if (!(slot > 0.0f) || !(remaining > 0.0f))
        return 0.0f;
    float grown = 0.0f;
    for (const auto& item : items)
    {
        const float growth = (IsVertical() ? item->GetHeight() : item->GetWidth()) - itemSize;
        if (remaining < slot)
        {
            const float share = growth * remaining / slot;
            if (&item != &items.front())
                return grown + share;
            // Over the first item the column moves no further out of the view than its start
            // is from the view's edge: the item grows away from the edge instead, and stays
            // under the pointer, having nothing before it to be pushed by.
            float w, h;
            ViewSize(w, h);
            const float room = std::max(IsVertical() ? h - y : x, 0.0f);
            return std::min(share, room);
        }
        grown += growth;
        remaining -= slot;
    }
    return grown;
}

void GFX_Dock::RestStart(float& x, float& y) const
{
    float w, h;
    ViewSize(w, h);
    // Vertical columns hang from the top edge and scrolling lifts them; horizontal rows start
    // at the left edge and scrolling pushes them left, so that a growing scroll always brings
    // the later items into view.
    switch (side)
    {
    case GFX_DockSide::Left:
        x = thickness + EdgeGap;
        y = h - 1.0f - startOffset + scroll;
        break;
    case GFX_DockSide::Right:
        x = w - EdgeGap - thickness;
        y = h - 1.0f - startOffset + scroll;
        break;
    case GFX_DockSide::Top:
        x = startOffset - scroll + 1.0f;
        y = h - EdgeGap - thickness;
        break;
    case GFX_DockSide::Bottom:
        x = startOffset - scroll + 1.0f;
        y = thickness + EdgeGap;
        break;
    }
}

void GFX_Dock::Layout()
{
    float x, y;
    LayoutStart(x, y);
    // `along` is the previous item's far edge: its bottom in a column, its right in a row.
    float along = IsVertical() ? y : x;
    for (const auto& item : items)
    {
        const float w = item->GetWidth();
        const float h = item->GetHeight();
        switch (side)
        {
        case GFX_DockSide::Left:
        case GFX_DockSide::Right:
        {
            const float top = along - ItemGap;
            const float bottom = top - h;
            const float left = side == GFX_DockSide::Left ? x : x - w;
            item->SetRect(left, left + w, top, bottom);
            along = bottom;
            break;
        }
        case GFX_DockSide::Top:
        case GFX_DockSide::Bottom:
        {
            const float left = along + ItemGap;
            const float right = left + w;
            const float bottom = side == GFX_DockSide::Top ? y - h : y;
            item->SetRect(left, right, bottom + h, bottom);
            along = right;
            break;
        }
        }
    }
}

void GFX_Dock::Reveal()
{
    revealSelected = false;
    auto selected = std::find_if(items.begin(), items.end(),
                                 [](const auto& item) { return item->IsSelected(); });
    if (selected == items.end())
        return;
    float w, h;
    ViewSize(w, h);
    const GFX_Rect& rect = (*selected)->GetRect();
    if (IsVertical())
    {
        if (rect.bottom < 0.0f)
            scrollTarget = scroll - rect.bottom;
        else if (rect.top > h)
            scrollTarget = scroll - (rect.top - h);
    }
    else
    {
        if (rect.left < 0.0f)
            scrollTarget = scroll + rect.left;
        else if (rect.right > w)
            scrollTarget = scroll + (rect.right - w);
    }
}

float GFX_Dock::StripStep(const GFX_WidgetDocked& item) const
{
    // Each piece covers its item and the gap before it, so the pieces meet.
    return IsVertical() ? -(item.GetHeight() + ItemGap) : item.GetWidth() + ItemGap;
}

GFX_Rect GFX_Dock::StripSpan(float from, float to) const
{
    float w, h;
    ViewSize(w, h);
    GFX_Rect span;
    switch (side)
    {
    case GFX_DockSide::Left:
        span.left = StripInset;
        span.right = StripInset + thickness;
        break;
    case GFX_DockSide::Right:
        span.left = w - StripInset - thickness;
        span.right = w - StripInset;
        break;
    case GFX_DockSide::Top:
        span.bottom = h - StripInset - thickness;
        span.top = h - StripInset;
        break;
    case GFX_DockSide::Bottom:
        span.bottom = StripInset;
        span.top = StripInset + thickness;
        break;
    }
    if (IsVertical())
    {
        span.bottom = std::min(from, to);
        span.top = std::max(from, to);
    }
    else
    {
        span.left = std::min(from, to);
        span.right = std::max(from, to);
    }
    return span;
}

float GFX_Dock::LayoutStartAlong() const
{
    float x, y;
    LayoutStart(x, y);
    return IsVertical() ? y : x;
}

void GFX_Dock::PlaceStrip()
{
    const float start = LayoutStartAlong();
    float end = start;
    for (const auto& item : items)
        end += StripStep(*item);
    strip = StripSpan(start, end);
}

void GFX_Dock::Update(float)
{
    for (const auto& item : items)
        item->Update();

    const float step = (scrollTarget - scroll) * ScrollRate;
    scroll += std::clamp(step, -MaxScrollStep, MaxScrollStep);
    if (std::fabs(scrollTarget - scroll) < GFX_WidgetDocked::SettleDistance)
        scroll = scrollTarget;

    const float range = ScrollRange();
    if (scroll < 0.0f)
        scroll = scrollTarget = 0.0f;
    else if (scroll > range)
        scroll = scrollTarget = range;

    // Laid out from its start, the column would carry the item under a resting pointer away
    // as the items above it grew, and the neighbour sliding in would take the magnification
    // and the click.
    shift = ShiftUnderPointer();
    Layout();
    if (revealSelected)
        Reveal();
    PlaceStrip();
}

bool GFX_Dock::IsSettled() const
{
    if (revealSelected || scroll != scrollTarget)
        return false;
    for (const auto& item : items)
        if (!item->IsSettled())
            return false;
    return true;
}

void GFX_Dock::Draw()
{
    // A friends dock holds thousands of items, most of them scrolled out of the view; those
    // cost a texture bind and a picture look-up each and show nothing.
    float w, h;
    ViewSize(w, h);
    const bool cull = w > 0.0f && h > 0.0f;
    const auto outside = [cull, w, h](const GFX_Rect& rect)
    { return cull && (rect.right < 0.0f || rect.left > w || rect.top < 0.0f || rect.bottom > h); };
    for (const auto& item : items)
    {
        if (!outside(item->GetRect()))
            item->Draw();
    }
    if (thickness <= 0.0f)
        return;

    GFX_OverlayQuads quads(texture.get());
    if (owner)
    {
        const GFX_Theme& theme = owner->GetTheme();
        quads.SetColor(draggingStrip ? theme.ButtonColorSel : theme.ButtonColor);
    }
    float along = LayoutStartAlong();
    for (const auto& item : items)
    {
        const float next = along + StripStep(*item);
        const GFX_Rect piece = StripSpan(along, next);
        if (!outside(piece))
            quads.Add(piece);
        along = next;
    }
}

void GFX_Dock::Magnify(size_t centre)
{
    for (size_t i = 0; i < items.size(); ++i)
    {
        // Clamped so that a huge dock cannot overflow the int; beyond the reach all is alike.
        const long long d = (long long)i - (long long)centre;
        const int distance = int(std::clamp<long long>(d, -MagnifyReach, MagnifyReach));
        items[i]->SetTargetSize(MagnifiedSize(distance, itemSize, magnifiedSize));
    }
}

void GFX_Dock::Unmagnify()
{
    hovered = nullptr;
    for (const auto& item : items)
        item->SetTargetSize(itemSize);
}

bool GFX_Dock::MouseMove(float x, float y)
{
    if (buttonDown)
    {
        // Scrolling by the pointer's movement keeps the grabbed point under the pointer.
        const float change = IsVertical() ? y - lastY : lastX - x;
        scroll += change;
        scrollTarget = scroll;
        dragDistance += std::fabs(change);
        lastX = x;
        lastY = y;
    }
    if (!draggingStrip)
    {
        for (size_t i = 0; i < items.size(); ++i)
        {
            if (items[i]->Contains(x, y))
            {
                Magnify(i);
                hovered = items[i].get();
                anchored = true;
                anchorAlong = IsVertical() ? y : x;
                return true;
            }
        }
    }
    Unmagnify();
    return draggingStrip;
}

void GFX_Dock::PointerLeft()
{
    if (buttonDown)
        return;
    Unmagnify();
}

bool GFX_Dock::MouseDown(float x, float y)
{
    bool onItem = false;
    for (const auto& item : items)
    {
        if (item->MouseDown(x, y))
        {
            onItem = true;
            break;
        }
    }
    if (!onItem && !strip.Contains(x, y, StripGrabMargin))
        return false;
    draggingStrip = !onItem;
    buttonDown = true;
    lastX = pressX = x;
    lastY = pressY = y;
    dragDistance = 0.0f;
    return true;
}

bool GFX_Dock::MouseUp(float x, float y)
{
    buttonDown = false;
    draggingStrip = false;
    // Every item hears the release, so that none stays pressed after a drag.
    GFX_WidgetDocked* released = nullptr;
    GFX_WidgetDocked* pressed = nullptr;
    for (const auto& item : items)
    {
        if (item->IsPressed() && !pressed)
            pressed = item.get();
        if (item->MouseUp(x, y) && !released)
            released = item.get();
    }
    // The magnification keeps laying the items out anew after the press, so the pressed item
    // can slide away from under a pointer that never moved: the click is still the pressed
    // item's, not that of the neighbour now under the pointer or of none.
    const bool stayed = std::fabs(x - pressX) < ClickSlop && std::fabs(y - pressY) < ClickSlop;
    if (!released && pressed && stayed)
        released = pressed;
    if (!released || dragDistance >= ClickSlop)
        return false;
    clicked = released;
    return true;
}

void GFX_Dock::ReleaseGL()
{
    if (texture)
        texture->Delete();
}
