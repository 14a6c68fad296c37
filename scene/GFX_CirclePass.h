#pragma once

#include "gfx/GFX_Vector3.h"
#include "gfx/OGL_CoarseLayer.h"

#include <memory>
#include <vector>

class GFX_ConnectionFriends;
class GFX_DotRibbons;
class GFX_LocationHolder;
class GFX_LocatorPass;
class GFX_SceneOwner;
class OGL_Texture2D;

// The globe pass of a circle of friends: the locators lit, then the friendship lines' dots
// blended over them without writing depth, under the frame's fog. With the owner's fast ways the
// balls go as sprites and the labels in batches (GFX_LocatorPass), and the lines as ribbons in
// layers of the list's order (GFX_DotRibbons), those the ribbons cannot show dot by dot among
// them, less what the opaque labels hide; otherwise every locator and dot is drawn on its own.
// While the camera moves, the lines may go at a coarser resolution (OGL_CoarseLayer) where the
// owner's ways allow it.
//
// The circle itself (sim's UTL_FriendCircle) is the model; this draws it. GL thread only; the
// GL names it makes are released by ReleaseGL with the context current.
class GFX_CirclePass
{
public:
    using Holders = std::vector<std::unique_ptr<GFX_LocationHolder>>;
    using Connections = std::vector<std::unique_ptr<GFX_ConnectionFriends>>;

    explicit GFX_CirclePass(GFX_SceneOwner* owner);
    ~GFX_CirclePass();
    GFX_CirclePass(const GFX_CirclePass&) = delete;
    GFX_CirclePass& operator=(const GFX_CirclePass&) = delete;

    // Linear fog in `color` from 0.8 to 1.1 of the far plane, measured from the eye where the GL
    // can (`eyeRadial`), along the view axis otherwise; turns fog on.
    static void SetUpFog(const GFX_Vector3& color, float farPlane, bool eyeRadial);

    // The whole pass with the screen's axes in the world; leaves lighting on, blending off and
    // the colour white. Nothing of the lines without a dot picture.
    void Draw(const Holders& holders, const Connections& connections, OGL_Texture2D* dotTexture,
              const GFX_Vector3& up, const GFX_Vector3& right);
    // The lines' part alone. With `labelsDrawn`, the locators' labels are in the depth buffer as
    // the pass left them, and the ribbons may leave out what they hide.
    void DrawConnections(const Holders& holders, const Connections& connections,
                         OGL_Texture2D* dotTexture, const GFX_Vector3& up, const GFX_Vector3& right,
                         bool labelsDrawn = false);

    // Whether the camera moved since the last pass: the lines may then be drawn coarser.
    void SetInMotion(bool value) { inMotion = value; }
    // Whether the last pass drew its lines coarser.
    bool WasCoarse() const { return coarse; }

    // The ribbon quads, the dots drawn one by one among them, and the dots left out wholly
    // behind labels, by the last pass (none on the plain way).
    long long CountRibbonQuads() const;
    long long CountSingleDots() const;
    long long CountHiddenDots() const;

    void ReleaseGL();
    // Frees what the pass keeps from frame to frame only to draw the next one sooner (the
    // ribbons' arrays): for a view that will draw nothing for a while.
    void ReleaseArrays();

    // The ribbons go in this many layers of the line list's order (GFX_DotRibbons::SetLayer):
    // enough that crossing rows show much as they do dot by dot, few enough that a frame binds
    // a tile texture only some hundred times. A bright selection goes in one more, the last.
    static constexpr int RibbonLayers = 16;
    // Quads handed to a software rasteriser between two waits for it.
    static constexpr long long QuadsBetweenWaits = 5000;

private:
    void DrawRibbons(const Holders& holders, const Connections& connections,
                     OGL_Texture2D& dotTexture, const GFX_Vector3& up, const GFX_Vector3& right,
                     bool labelsDrawn);
    // Whether every locator label is drawn fully opaque, so that it hides what lies behind it.
    bool LabelsAreOpaque() const;

    GFX_SceneOwner* owner;
    std::unique_ptr<GFX_LocatorPass> locatorPass;
    std::unique_ptr<GFX_DotRibbons> ribbons;
    OGL_CoarseLayer coarseLayer;
    bool inMotion = false;
    bool coarse = false;
    // Whether the GL draws on the processor, asked once.
    int softwareRasteriser = -1;
    // The label picture last looked at by LabelsAreOpaque, and what it found.
    mutable const void* checkedLabelImage = nullptr;
    mutable bool labelImageOpaque = false;
};
