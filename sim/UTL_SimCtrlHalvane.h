#pragma once

#include "gfx/GFX_Theme.h"
#include "gfx/GFX_Vector3.h"
#include "scene/GFX_SceneOwner.h"
#include "sim/UTL_CameraMotion.h"
#include "sim/UTL_CircleAnalysis.h"
#include "sim/UTL_Focus.h"
#include "sim/UTL_FrameSchedule.h"
#include "sim/UTL_FriendCircle.h"
#include "sim/UTL_InputRouter.h"
#include "sim/UTL_InterfacePass.h"
#include "sim/UTL_LabelFraming.h"
#include "sim/UTL_LabelPlacement.h"
#include "sim/UTL_RegionLabels.h"
#include "sim/UTL_SceneResources.h"
#include "sim/UTL_Selection.h"
#include "sim/UTL_SimCtrlRoot.h"
#include "sim/UTL_StillScene.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class GFX_CirclePass;
class GFX_ScreenProjection;
class GFX_ColorBall;
class GFX_Text;
class OGL_Texture2D;
class UTL_FotoTextureBoss;

// The main scene: the user and every friend as locators on the globe, the friendships between
// them as rows of dots, the interface over it, and the colour theme. It owns them all and what
// they share (the font, textures, models and the picture worker: UTL_SceneResources), orders the
// frame's passes and hands the work to its parts: the input router (keys, wheel, pointer, hover,
// picking), the camera motion (automatic modes, glide, drag), the friend circle (the people, their
// locators and lines) and its drawing pass, the names of its regions, the selection, the circle's
// analysis and the focus (what hover, a filter or a question brings forward), the still scene, the
// interface pass (dial, buttons, top bar, docks) and the frame schedule, which tells the host
// after each frame whether the next one can differ from it.
//
// Units: degrees for angles, seconds for time, client pixels with the origin at the bottom-left
// for the mouse and the interface, scene units on the globe (radius 5555.5). Threading: GL
// thread only, like its base; the picture worker it owns is the only other thread, and is
// stopped last when the controller goes. Its GL names are released by ReleaseGL, which the host
// calls with the context current before the context goes (the rule of WGL_Context.h).
class UTL_SimCtrlHalvane : public UTL_SimCtrlRoot,
                           public GFX_SceneOwner,
                           private UTL_InputRouter::Actions
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

    // The host drew no frame for `seconds`, as the frame schedule allowed: the idle clock and
    // the tour's wait count them.
    void Rest(float seconds) { motion.Rest(seconds); }
    // The host will draw nothing until something changes: what the frames keep only to draw the
    // next one sooner is freed (the kept globe pass stays).
    void ReleaseFrameArrays();
    // Whether the idle clock counts towards an automatic motion (the host's window active, none
    // of its dialogs open).
    void SetIdleClockRunning(bool value) { motion.SetIdleClockRunning(value); }
    // Called from the picture worker's thread each time a picture is ready to show; set before
    // Initialize. See UTL_FotoTextureBoss::SetOnProcessed.
    void SetOnPictureReady(std::function<void()> value) { onPictureReady = std::move(value); }

    void TurnCamera(float headingDelta, float pitchDelta) override;
    // Selects the locator and starts the camera glide towards it.
    void FlyTo(GFX_LocationHolder* holder) override;
    // Selects the friend as a click on its docked item would (the automatic motion stops, the
    // camera glides there) and scrolls the item into view; false for an unknown id.
    bool SelectFriendById(const std::string& id);
    // Empties the circle shown, the selection with it, for another circle to be loaded.
    void ClearCircle();
    // Asks about the person selected and the person with `id` as a Shift or Ctrl click on them
    // would; false when nobody is selected, for an unknown id or the person selected.
    bool AskAbout(UTL_Focus::Question question, const std::string& id);
    // Releases every GL name of the scene: the host's last call, with the context current.
    void ReleaseGL();

    // What scene objects and widgets reach through their owner.
    const GFX_Theme& GetTheme() const override { return theme; }
    const float* GetViewportSize() const override { return viewportSize; }
    const GFX_DrawPaths& GetDrawPaths() const override { return drawPaths; }
    void SetDrawPaths(const GFX_DrawPaths& value) { drawPaths = value; }
    UTL_FotoTextureBoss* GetPictureWorker() override { return resources->pictureWorker.get(); }
    GFX_Text* GetFont() override { return resources->font.get(); }
    GFX_ColorBall* GetColorBall() override { return resources->colorBall.get(); }
    OGL_Texture2D* GetColorBallTexture() override { return resources->colorBallTexture.get(); }
    OGL_Texture2D* GetLocatorTexture() override { return resources->locatorTexture.get(); }
    OGL_Texture2D* GetBillboardTexture() override { return resources->billboardTexture.get(); }
    OGL_Texture2D* GetWidgetTexture() override { return resources->widgetTexture.get(); }
    OGL_TextureAtlas* GetPictureAtlas() override { return resources->pictureAtlas.get(); }
    void FindFriendHolders(const std::string& id1, const std::string& id2,
                           GFX_LocationHolder*& holder1, GFX_LocationHolder*& holder2) override;
    void PlaceLabels(const std::vector<std::unique_ptr<GFX_LocationHolder>>& holders) override;
    void DrawNavigationGlobe() override;

    // The frame's view of the scene as the camera is now, without GL.
    GFX_ScreenProjection GetProjection() const;
    // Where a glide to the locator ends so that its label, selected, shows whole in the part of
    // the view the interface leaves free.
    UTL_LabelFraming::Aim AimAt(const GFX_LocationHolder& holder) const;
    // The largest share, in per cent, of one label on screen that other labels cover.
    float MeasureLabelOverlap();

    // The names of the themes of the themes file, as their comments give them (empty where
    // none does), in the file's order.
    const std::vector<std::string>& GetThemeNames() const { return themeNames; }
    // Puts a theme of the themes file in force: the globe, the labels, the docks and the
    // interface draw in its colours from the next frame on. False for a position out of range.
    bool SetTheme(size_t index);
    // The position of the theme in force; -1 while the built-in defaults are.
    int GetThemeIndex() const { return themeIndex; }

    // The parts; the circle is what the network session and the circle document fill.
    UTL_FriendCircle& GetCircle() { return *circle; }
    const UTL_FriendCircle& GetCircle() const { return *circle; }
    const UTL_CameraMotion& GetMotion() const { return motion; }
    const UTL_Selection& GetSelection() const { return selection; }
    const UTL_InterfacePass& GetInterface() const { return *interfacePass; }
    const UTL_InputRouter& GetInput() const { return input; }
    const UTL_StillScene& GetStillScene() const { return stillScene; }
    const UTL_FrameSchedule& GetSchedule() const { return schedule; }
    const UTL_RegionLabels& GetRegionLabels() const { return regionLabels; }
    const GFX_CirclePass& GetCirclePass() const { return *circlePass; }
    const UTL_LabelPlacement& GetLabelPlacement() const { return labelPlacement; }
    UTL_CircleAnalysis& GetAnalysis() { return *analysis; }
    UTL_Focus& GetFocus() { return *focus; }
    const UTL_Focus& GetFocus() const { return *focus; }

private:
    // What the input router asks for.
    void GoTo(GFX_Friend* person) override;
    void SelectPerson(GFX_Friend* person) override;
    void Ask(UTL_Focus::Question question, GFX_Friend* person) override;
    void ClearFocus() override { focus->Clear(); }

    // Glides to where the locator's label shows whole.
    void FlyToFramed(const GFX_LocationHolder& holder);
    // The frame's steps that need its matrices.
    void CastPickingRay();
    void UpdateBillboardAxes();
    // The digest of everything the globe pass draws from, as of now.
    uint64_t DigestGlobePass() const;

    bool fogDistanceSupported = false;
    float viewportSize[2] = {0.0f, 0.0f};
    GFX_DrawPaths drawPaths;
    GFX_Theme theme;
    std::vector<GFX_Theme> themes;
    std::vector<std::string> themeNames;
    int themeIndex = -1;
    std::unique_ptr<UTL_SceneResources> resources;

    std::unique_ptr<UTL_InterfacePass> interfacePass;
    std::unique_ptr<UTL_FriendCircle> circle;
    std::unique_ptr<GFX_CirclePass> circlePass;
    std::unique_ptr<UTL_CircleAnalysis> analysis;
    std::unique_ptr<UTL_Focus> focus;
    UTL_Selection selection;
    UTL_CameraMotion motion;
    UTL_RegionLabels regionLabels;
    UTL_InputRouter input;
    UTL_LabelPlacement labelPlacement;
    // The length of the frame being drawn, seconds.
    float frameSeconds = 0.0f;
    // The automatic mode the rotation buttons show.
    int shownMode = UTL_CameraMotion::AutoIdle;
    UTL_StillScene stillScene;
    UTL_FrameSchedule schedule;
    std::function<void()> onPictureReady;
    // What the camera showed the last frame from: a frame that shows it from elsewhere is in
    // motion.
    uint64_t lastView = 0;
};
