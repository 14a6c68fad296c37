#pragma once

#include "gfx/GFX_Theme.h"
#include "scene/GFX_DrawPaths.h"

#include <memory>
#include <string>
#include <vector>

class GFX_ColorBall;
class GFX_LocationHolder;
class GFX_Text;
class OGL_Texture2D;
class OGL_TextureAtlas;
class UTL_FotoTextureBoss;

// What scene objects and in-scene widgets reach through the controller that created them: the
// theme in force, the view size, the shared textures and models, the font, the picture worker,
// the holder look-up and the camera turns of the navigation dial. The main scene controller
// implements it; tests implement it with a small owner of their own.
//
// Every operation runs on the GL thread. Pointers returned are owned by the controller and stay
// valid while it lives; any of them may be null (a resource that was not loaded), and callers
// then draw without it.
class GFX_SceneOwner
{
public:
    virtual ~GFX_SceneOwner() = default;

    // The colours in force; read at the moment something draws.
    virtual const GFX_Theme& GetTheme() const = 0;
    // The ways the 3-D pass draws its dots, balls and labels; read at the moment something draws.
    virtual const GFX_DrawPaths& GetDrawPaths() const
    {
        static const GFX_DrawPaths fast;
        return fast;
    }
    // Width and height of the view in pixels, as a pair of floats that stays at one address, so
    // anchored widgets can keep a pointer to it.
    virtual const float* GetViewportSize() const = 0;

    virtual UTL_FotoTextureBoss* GetPictureWorker() = 0;
    virtual GFX_Text* GetFont() = 0;
    // The shared locator-ball model, radius 125, drawn scaled to each ball's size.
    virtual GFX_ColorBall* GetColorBall() = 0;
    virtual OGL_Texture2D* GetColorBallTexture() = 0;
    // Texture of the locator labels.
    virtual OGL_Texture2D* GetLocatorTexture() = 0;
    // Texture of every connection dot.
    virtual OGL_Texture2D* GetBillboardTexture() = 0;
    // Texture behind every docked item.
    virtual OGL_Texture2D* GetWidgetTexture() = 0;
    // The shared pages that small label pictures move into when labels are drawn in batches;
    // null: every picture keeps a texture of its own.
    virtual OGL_TextureAtlas* GetPictureAtlas() { return nullptr; }

    // The locators of the friends with the user ids id1 and id2; either may come back null.
    virtual void FindFriendHolders(const std::string& id1, const std::string& id2,
                                   GFX_LocationHolder*& holder1, GFX_LocationHolder*& holder2) = 0;

    // Decides which of the locators, just updated, show their label this frame (SetLabelShown),
    // where the drawing ways make room for labels. The camera's matrices are in force.
    virtual void PlaceLabels(const std::vector<std::unique_ptr<GFX_LocationHolder>>& /*holders*/) {}

    // Draws the small textured globe inside the navigation dial at the current matrix.
    virtual void DrawNavigationGlobe() = 0;
    // Turns the camera by the given degrees of heading (longitude) and pitch (latitude).
    virtual void TurnCamera(float headingDelta, float pitchDelta) = 0;
};
