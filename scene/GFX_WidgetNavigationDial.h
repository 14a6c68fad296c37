#pragma once

#include "gfx/GFX_Vector3.h"
#include "scene/GFX_Widget.h"

class GFX_SceneOwner;

// The navigation dial: a round, textured ring that turns with the camera's longitude (clockwise
// as the longitude grows) around a small globe that shows the camera's longitude and latitude.
// Dragging the globe turns the camera like dragging the scene does; dragging the ring turns the
// camera's longitude by the angle the pointer sweeps around the dial's centre. Angles are
// degrees, positions view pixels (origin bottom-left). The camera is turned, and the globe
// drawn, through the owner; the controller copies the camera's angles in every frame.
class GFX_WidgetNavigationDial : public GFX_Widget
{
public:
    // Presses up to this far from the centre grab the globe; further out, up to half the
    // dial's width, the ring.
    static constexpr float GlobeRadius = 40.0f;
    // Ring drags closer to the centre than this are ignored: there a pixel is a large angle.
    static constexpr float RingDeadRadius = 10.0f;
    // Degrees of longitude and latitude per pixel of a globe drag, as for a drag on the scene.
    static constexpr float LongitudePerPixel = 0.4f;
    static constexpr float LatitudePerPixel = -0.25f;

    GFX_WidgetNavigationDial(GFX_SceneOwner* owner, const float* screenSize, float x, float y,
                             float width, float height, GFX_Anchor anchor,
                             const GFX_ColorRGBA& color);

    // The turned ring in the theme's dial colour (selected while the ring is dragged), then the
    // owner's globe in the globe colour, turned to the camera's latitude and longitude about the
    // dial's centre. Leaves the model-view matrix as it found it.
    void Draw() override;
    // Turns the camera while a drag is under way. Never consumes the move, so the elements
    // behind still see it.
    bool MouseMove(float x, float y) override;
    // Consumed within the dial's radius; starts a globe or a ring drag.
    bool MouseDown(float x, float y) override;
    // Ends any drag; never consumed.
    bool MouseUp(float x, float y) override;

    void SetLongitude(float degrees) { longitude = degrees; }
    void SetLatitude(float degrees) { latitude = degrees; }
    float GetLongitude() const { return longitude; }
    float GetLatitude() const { return latitude; }
    bool IsDraggingGlobe() const { return draggingGlobe; }
    bool IsDraggingRing() const { return draggingRing; }

    // The centre the dial turns about and its presses are measured from: the middle of the
    // widget's box, without GetRect's sub-pixel nudge, so that hit zones are symmetric.
    void Centre(float& mx, float& my) const;
    // The ring's quad, bottom-left, bottom-right, top-right, top-left, turned about the centre
    // by the longitude.
    void Corners(GFX_Vector3 corners[4]) const;
    // The colours Draw uses now.
    GFX_ColorRGBA RingColor() const;
    GFX_ColorRGBA GlobeColor() const;

private:
    GFX_SceneOwner* owner;
    float longitude = 0.0f;
    float latitude = 0.0f;
    bool draggingGlobe = false;
    bool draggingRing = false;
    float lastX = 0.0f;
    float lastY = 0.0f;
};
