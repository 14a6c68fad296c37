#pragma once

#include "gfx/GFX_Vector3.h"
#include "scene/GFX_DotRow.h"

#include <memory>
#include <optional>

class GFX_Billboard;
class GFX_DotRibbons;
class GFX_SceneOwner;

// A straight row of glowing dots between two points of the scene: one dot every DotSpacing
// units or a little more (the segment is split into whole intervals), none on either end, each
// coloured by its place on the globe, so a line shades from one end's colour to the other's, or
// all in one colour when the line has one of its own.
// One billboard is reused for every dot rather than storing them.
//
// The owner sets the camera's axes every frame and calls Draw inside a GL_QUADS batch it has
// opened with the dot texture bound, so every line of the scene shares one batch and one bind.
// GL thread only, except the spacing arithmetic.
class GFX_Connection
{
public:
    explicit GFX_Connection(GFX_SceneOwner* owner);
    virtual ~GFX_Connection();

    GFX_Connection(const GFX_Connection&) = delete;
    GFX_Connection& operator=(const GFX_Connection&) = delete;

    // Emits the dots from start to end with the dot billboard's size and opacity. Emits quads
    // only: no glBegin/glEnd, no bind, no state change.
    virtual void Draw();
    // Hands the dots to `ribbons` to be drawn as long quads with the others. Returns false when
    // they are to be emitted one by one by Draw instead.
    virtual bool AddToRibbons(GFX_DotRibbons& ribbons);

    void SetBillboardAxes(const GFX_Vector3& up, const GFX_Vector3& right);

    void SetStart(const GFX_Vector3& value) { start = value; }
    void SetEnd(const GFX_Vector3& value) { end = value; }
    const GFX_Vector3& GetStart() const { return start; }
    const GFX_Vector3& GetEnd() const { return end; }
    const GFX_Billboard* GetBillboard() const { return billboard.get(); }
    // One colour for every dot instead of the colours of their places; nullopt: by place.
    void SetDotColor(const std::optional<GFX_Vector3>& value) { dotColor = value; }
    const std::optional<GFX_Vector3>& GetDotColor() const { return dotColor; }

    // The row's arithmetic (GFX_DotRow), as the lines know it.
    static int DotIntervals(float length) { return GFX_DotRow::Intervals(length); }
    static GFX_Vector3 DotCentre(const GFX_Vector3& start, const GFX_Vector3& direction,
                                 float spacing, int i)
    {
        return GFX_DotRow::Centre(start, direction, spacing, i);
    }

    static constexpr float DotSpacing = GFX_DotRow::Spacing;
    static constexpr float DotSize = 90.0f;
    static constexpr float HighlightedDotSize = 125.0f;

protected:
    // The dots between start and end, as Draw describes.
    void EmitDots();
    // The one colour the dots are drawn in, if any: the line's own.
    virtual const std::optional<GFX_Vector3>& ShownColor() const { return dotColor; }

    GFX_SceneOwner* owner;
    GFX_Vector3 start;
    GFX_Vector3 end;
    std::unique_ptr<GFX_Billboard> billboard;
    std::optional<GFX_Vector3> dotColor;
};
