#pragma once

#include "scene/GFX_Rect.h"

class GFX_HalvaneCamera;
class GFX_LocationHolder;

// Where a glide to a locator ends so that its label shows whole, clear of the interface: the
// camera looks straight at the locator where its label fits there; otherwise a little beside
// it, so that the label (which stands off the ball on the side away from the globe's centre)
// comes into the free part of the view; otherwise, zoomed in too far for the label to fit at
// all, it also moves back as far as that takes. Each way is tested a degree either side too,
// since a glide ends within a degree of where it aims.
//
// Units: degrees, scene units for the distance, window pixels (origin bottom-left) for the
// view. Plain arithmetic, no GL.
class UTL_LabelFraming
{
public:
    struct View
    {
        int width = 0;
        int height = 0;
        float fieldOfView = 45.0f;
        float nearPlane = 1.0f;
        float farPlane = 1.0f;
        // The part of the view the interface leaves free.
        GFX_Rect free;
        // Whether labels grow more slowly than the globe (labels that make room).
        bool scaledLabels = false;
    };
    struct Aim
    {
        float heading;
        float pitch;
        float distance;
    };

    // The aim for `holder` with a label of labelSize × labelSize (before its scale), from the
    // camera's limits and distance as they are now.
    static Aim Frame(const GFX_LocationHolder& holder, float labelSize,
                     const GFX_HalvaneCamera& camera, const View& view);
    // The window rectangle the ball and the settled label of `holder` cover with the camera at
    // `aim`; false where part of it lies behind the eye.
    static bool Covered(const GFX_LocationHolder& holder, float labelSize,
                        const GFX_HalvaneCamera& camera, const View& view, const Aim& aim,
                        GFX_Rect& rect);

    // How far the label keeps from the edges of the free part, pixels.
    static constexpr float Margin = 6.0f;
    // The widest turn beside the locator tried, degrees, in steps of AimStep.
    static constexpr float MaxHeadingOffset = 18.0f;
    static constexpr float MaxPitchOffset = 12.0f;
    static constexpr float AimStep = 1.5f;
    // Each step back multiplies the distance by this much.
    static constexpr float BackStep = 1.15f;
};
