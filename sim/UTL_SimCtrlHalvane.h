#pragma once

#include "gfx/GFX_Theme.h"
#include "gfx/GFX_Vector3.h"
#include "scene/GFX_SceneOwner.h"
#include "sim/UTL_CameraMotion.h"
#include "sim/UTL_FriendCircle.h"
#include "sim/UTL_InterfacePass.h"
#include "sim/UTL_Selection.h"
#include "sim/UTL_SimCtrlRoot.h"
#include "sim/UTL_StillScene.h"

#include <memory>
#include <string>
#include <vector>

class GFX_ColorBall;
class GFX_Text;
class OGL_Texture2D;
class UTL_FotoTextureBoss;

// The main scene: the user and every friend as locators on the globe, the friendships between
// them as rows of dots, the interface over it, the textures and models they share, the colour
// theme, the font and the picture worker. It owns them all and hands the work to its parts: the
// friend circle (the people, their locators and lines), the camera motion (automatic modes,
// glide, drag), the selection and the interface pass (dial, buttons, top bar, docks).
//
// Each frame advances the camera's motions, turns the mouse into dragging, picking and dock
// selection, and draws the globe pass under fog and the interface pass in pixels. Friends
// arrive from the network session through the circle between frames.
//
// Units: degrees for angles, seconds for time, client pixels with the origin at the bottom-left
// for the mouse and the interface, scene units on the globe (radius 5555.5). Threading: GL
// thread only, like its base; the picture worker it owns is the only other thread, and is
// stopped last when the controller goes.
class UTL_SimCtrlHalvane : public UTL_SimCtrlRoot, public GFX_SceneOwner
{
public:
    UTL_SimCtrlHalvane();
    ~UTL_SimCtrlHalvane() override;

    void Initialize(int width, int height) override;
    void Step(int width, int height, float seconds) override;
    void OnMouseMove(int x, int y, int unused1, int unused2, int buttons) override;
    void OnMouseDown(int x, int y, int buttons) override;
    void OnMouseUp(int x, int y, int buttons) override;
    void OnMouseDoubleClick(int x, int y, int buttons) override;
    // Records the key in the key table, and its command for the next frame.
    void OnKeyDown(int key, int repeatCount) override;
    void OnMouseWheel(int x, int y, int delta) override;
    void OnMouseLeave() override;

    void TurnCamera(float headingDelta, float pitchDelta) override;
    // Selects the locator and starts the camera glide towards it.
    void FlyTo(GFX_LocationHolder* holder);
    // Selects the friend as a click on its docked item would (the automatic motion stops, the
    // camera glides there) and scrolls the item into view; false for an unknown id.
    bool SelectFriendById(const std::string& id);
    // Empties the circle shown, the selection with it, for another circle to be loaded.
    void ClearCircle();

    // What scene objects and widgets reach through their owner.
    const GFX_Theme& GetTheme() const override { return theme; }
    const float* GetViewportSize() const override { return viewportSize; }
    const GFX_DrawPaths& GetDrawPaths() const override { return drawPaths; }
    void SetDrawPaths(const GFX_DrawPaths& value) { drawPaths = value; }
    UTL_FotoTextureBoss* GetPictureWorker() override { return pictureWorker.get(); }
    GFX_Text* GetFont() override { return font.get(); }
    GFX_ColorBall* GetColorBall() override { return colorBall.get(); }
    OGL_Texture2D* GetColorBallTexture() override { return colorBallTexture.get(); }
    OGL_Texture2D* GetLocatorTexture() override { return locatorTexture.get(); }
    OGL_Texture2D* GetBillboardTexture() override { return billboardTexture.get(); }
    OGL_Texture2D* GetWidgetTexture() override { return widgetTexture.get(); }
    OGL_TextureAtlas* GetPictureAtlas() override { return pictureAtlas.get(); }
    void FindFriendHolders(const std::string& id1, const std::string& id2,
                           GFX_LocationHolder*& holder1, GFX_LocationHolder*& holder2) override;
    void DrawNavigationGlobe() override;

    // The parts; the circle is what the network session hands the friends to.
    UTL_FriendCircle& GetCircle() { return *circle; }
    const UTL_CameraMotion& GetMotion() const { return motion; }
    const UTL_Selection& GetSelection() const { return selection; }
    const UTL_InterfacePass& GetInterface() const { return *interfacePass; }
    // The person the name plate shows as of the last frame: under the pointer, in a dock or on
    // the globe; null if none.
    const GFX_Friend* GetHoveredPerson() const { return hoveredPerson; }

    const std::vector<GFX_Theme>& GetThemes() const { return themes; }
    // The names of the themes, as their comments in the themes file give them (empty where
    // none does), one per entry of GetThemes.
    const std::vector<std::string>& GetThemeNames() const { return themeNames; }
    // Puts a theme of GetThemes in force: the globe, the labels, the docks and the interface
    // draw in its colours from the next frame on. False for a position out of range.
    bool SetTheme(size_t index);
    // The position in GetThemes of the theme in force; -1 while the built-in defaults are.
    int GetThemeIndex() const { return themeIndex; }
    bool IsFogDistanceSupported() const { return fogDistanceSupported; }
    // The pointer's picking ray and the screen's axes in the world, as of the last frame.
    const GFX_Vector3& GetPickOrigin() const { return pickOrigin; }
    const GFX_Vector3& GetPickDirection() const { return pickDirection; }
    const GFX_Vector3& GetBillboardUp() const { return billboardUp; }
    const GFX_Vector3& GetBillboardRight() const { return billboardRight; }
    const UTL_FriendCircle::Holders& GetLocationHolders() { return circle->GetHolders(); }
    const UTL_FriendCircle::Connections& GetConnections() const { return circle->GetConnections(); }
    long long CountDots() const { return circle->CountDots(); }
    // Whether the last frame showed the kept globe pass instead of drawing it, and how many
    // frames did so.
    bool WasLastFrameStill() const { return lastFrameStill; }
    long long CountStillFrames() const { return stillFrames; }

private:
    // The frame's steps, in order.
    void SetUpFog();
    void AdvanceMotion(float dt);
    void CastPickingRay();
    void Press();
    void Release();
    // The keys pressed since the last frame, then the keys held and the wheel.
    void ApplyKeys(float dt);
    void RunCommand(int command);
    // Who is under the pointer, and the plate that names them.
    void UpdateNamePlate();
    // The screen's axes in the world, from the frame's matrices.
    void UpdateBillboardAxes();
    // The globe pass, drawn or, when nothing it draws from changed, shown from the last one.
    void DrawGlobePass();
    // The digest of everything the globe pass draws from, as of now.
    uint64_t DigestGlobePass();
    void DrawInterface();

    // Selects the person of a docked item and starts the glide to their locator.
    void SelectPerson(GFX_Friend* person);
    // As a click on the person's docked item, and scrolls the friends' dock to it.
    void GoTo(GFX_Friend* person);

    // A key pressed, with whether Shift was held at the time.
    struct PendingKey
    {
        int key;
        bool shift;
    };
    // Keys typed faster than frames come are kept up to this many.
    static constexpr size_t MaxPendingKeys = 64;

    bool fogDistanceSupported = false;
    bool mousePressed = false;
    bool mouseReleased = false;
    float pointerX = 0.0f;
    float pointerY = 0.0f;
    bool pointerOutside = false;
    std::vector<PendingKey> pendingKeys;
    int pendingWheel = 0;
    const GFX_Friend* hoveredPerson = nullptr;
    float viewportSize[2] = {0.0f, 0.0f};
    GFX_Vector3 billboardUp{0.0f, 1.0f, 0.0f};
    GFX_Vector3 billboardRight{1.0f, 0.0f, 0.0f};
    GFX_Vector3 pickOrigin;
    GFX_Vector3 pickDirection;
    GFX_DrawPaths drawPaths;
    GFX_Theme theme;
    std::vector<GFX_Theme> themes;
    std::vector<std::string> themeNames;
    int themeIndex = -1;
    std::unique_ptr<GFX_Text> font;
    std::unique_ptr<OGL_Texture2D> billboardTexture;
    std::unique_ptr<OGL_Texture2D> locatorTexture;
    std::unique_ptr<OGL_Texture2D> colorBallTexture;
    std::unique_ptr<GFX_ColorBall> colorBall;
    std::unique_ptr<OGL_Texture2D> widgetTexture;
    std::unique_ptr<UTL_FotoTextureBoss> pictureWorker;
    // The label pictures that moved out of their own textures; outlives no picture drawn from it.
    std::unique_ptr<OGL_TextureAtlas> pictureAtlas;

    std::unique_ptr<UTL_InterfacePass> interfacePass;
    std::unique_ptr<UTL_FriendCircle> circle;
    UTL_Selection selection;
    UTL_CameraMotion motion;
    // The automatic mode the rotation buttons show.
    int shownMode = UTL_CameraMotion::AutoIdle;
    UTL_StillScene stillScene;
    bool lastFrameStill = false;
    long long stillFrames = 0;
};
