#pragma once

#include "scene/GFX_SceneOwner.h"

#include "support/HolderWalk.h"

#include <string>
#include <vector>

// A stand-in for the main scene controller in scene-object and widget tests: a theme, a view
// size, and whichever shared resources a test hands it (all null until then). It counts the
// calls that tests want to see made, or not made.
class TestSceneOwner : public GFX_SceneOwner
{
public:
    const GFX_Theme& GetTheme() const override { return theme; }
    const float* GetViewportSize() const override { return viewportSize; }
    const GFX_DrawPaths& GetDrawPaths() const override { return drawPaths; }

    UTL_FotoTextureBoss* GetPictureWorker() override
    {
        ++pictureWorkerCalls;
        return pictureWorker;
    }
    GFX_Text* GetFont() override { return font; }
    GFX_ColorBall* GetColorBall() override { return colorBall; }
    OGL_Texture2D* GetColorBallTexture() override { return colorBallTexture; }
    OGL_Texture2D* GetLocatorTexture() override { return locatorTexture; }
    OGL_Texture2D* GetBillboardTexture() override { return billboardTexture; }
    OGL_Texture2D* GetWidgetTexture() override { return widgetTexture; }

    void FindFriendHolders(const std::string& id1, const std::string& id2,
                           GFX_LocationHolder*& holder1, GFX_LocationHolder*& holder2) override
    {
        ++holderLookups;
        WalkForFriendHolders(holders, id1, id2, holder1, holder2);
    }

    void DrawNavigationGlobe() override { ++globeDraws; }
    void TurnCamera(float headingDelta, float pitchDelta) override
    {
        turnedHeading += headingDelta;
        turnedPitch += pitchDelta;
    }

    GFX_Theme theme;
    float viewportSize[2] = {800.0f, 600.0f};
    GFX_DrawPaths drawPaths;
    UTL_FotoTextureBoss* pictureWorker = nullptr;
    GFX_Text* font = nullptr;
    GFX_ColorBall* colorBall = nullptr;
    OGL_Texture2D* colorBallTexture = nullptr;
    OGL_Texture2D* locatorTexture = nullptr;
    OGL_Texture2D* billboardTexture = nullptr;
    OGL_Texture2D* widgetTexture = nullptr;
    std::vector<GFX_LocationHolder*> holders; // in the controller's order, searched as it does

    int pictureWorkerCalls = 0;
    int holderLookups = 0;
    int globeDraws = 0;
    float turnedHeading = 0.0f;
    float turnedPitch = 0.0f;
};
