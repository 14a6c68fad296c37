#pragma once

#include "gfx/GFX_Theme.h"
#include "gfx/GFX_Vector3.h"
#include "net/UTL_FriendReceiver.h"
#include "scene/GFX_SceneOwner.h"
#include "sim/UTL_SimCtrlRoot.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class GFX_ColorBall;
class GFX_Connection;
class GFX_ConnectionFriends;
class GFX_Dock;
class GFX_Friend;
class GFX_LocationHolder;
class GFX_LocationHolderFriend;
class GFX_SphereButton;
class GFX_Text;
class GFX_WidgetDocked;
class GFX_WidgetNavigationDial;
class GFX_WidgetRoundButton;
class OGL_Texture2D;
class UTL_FotoTextureBoss;

// The main scene: the user and every friend as locators on the globe, the friendships between
// them as rows of dots, the textures and models they share, the two docks, the navigation dial
// with its three rotation buttons, the colour theme, the font and the picture worker.
//
// Each frame advances the automatic motions (turning west or east, or a random tour from friend
// to friend, started by the buttons, by a flick, or after 50 idle seconds) and the camera glide,
// turns the mouse into dragging, picking and dock selection, and draws the globe pass under fog
// and the interface pass in pixels. Friends arrive from the view between frames.
//
// Units: degrees for angles (heading is longitude, pitch latitude), seconds for time, client
// pixels with the origin at the bottom-left for the mouse and the interface, scene units on the
// globe (radius 5555.5). Threading: GL thread only, like its base; the picture worker it owns is
// the only other thread, and is stopped last when the controller goes.
class UTL_SimCtrlHalvane : public UTL_SimCtrlRoot, public GFX_SceneOwner, public UTL_FriendReceiver
{
public:
    enum AutoMode
    {
        AutoIdle = 0,
        AutoTurnWest = 1,
        AutoTurnEast = 2,
        AutoTour = 3,
    };

    UTL_SimCtrlHalvane();
    ~UTL_SimCtrlHalvane() override;

    void Initialize(int width, int height) override;
    void Step(int width, int height, float seconds) override;
    void OnMouseMove(int x, int y, int unused1, int unused2, int buttons) override;
    void OnMouseDown(int x, int y, int buttons) override;
    void OnMouseUp(int x, int y, int buttons) override;
    void OnMouseDoubleClick(int x, int y, int buttons) override;

    // Turns the camera: heading += headingDelta, pitch clamped to the camera's limits.
    void TurnCamera(float headingDelta, float pitchDelta) override;
    // Selects the holder and starts the camera glide towards it.
    void FlyTo(GFX_LocationHolder* holder);

    // Friends arriving from the network.
    void SetSelf(const std::string& id, const std::string& name, const std::string& picture,
                 const std::string& squarePicture) override;
    void AddFriend(const std::string& id, const std::string& name, const std::string& picture,
                   const std::string& squarePicture) override;
    // Marks the holders for placement on the golden-angle spiral; the placement itself runs once
    // before the next frame (or the next look at the holders), so that a circle of thousands
    // arriving friend by friend is laid out once rather than once per friend.
    void LayoutFriends() override;
    void ConnectSelf() override;
    void ConnectFriends(const std::string& id1, const std::string& id2, float dimAlpha,
                        bool highlighted) override;
    int GetFriendCount() const override { return static_cast<int>(friends.size()); }
    const std::string& GetFriendId(int index) const override;

    // What scene objects and widgets reach through their owner.
    const GFX_Theme& GetTheme() const override { return theme; }
    const float* GetViewportSize() const override { return viewportSize; }
    UTL_FotoTextureBoss* GetPictureWorker() override { return pictureWorker.get(); }
    GFX_Text* GetFont() override { return font.get(); }
    GFX_ColorBall* GetColorBall() override { return colorBall.get(); }
    OGL_Texture2D* GetColorBallTexture() override { return colorBallTexture.get(); }
    OGL_Texture2D* GetLocatorTexture() override { return locatorTexture.get(); }
    OGL_Texture2D* GetBillboardTexture() override { return billboardTexture.get(); }
    OGL_Texture2D* GetWidgetTexture() override { return widgetTexture.get(); }
    void FindFriendHolders(const std::string& id1, const std::string& id2,
                           GFX_LocationHolder*& holder1, GFX_LocationHolder*& holder2) override;
    void DrawNavigationGlobe() override;

    // State the view, the snapshot tool and the tests read.
    int GetAutoMode() const { return autoMode; }
    float GetAutoTimer() const { return autoTimer; }
    bool IsFlying() const { return flying; }
    float GetFlightHeading() const { return flightHeading; }
    float GetFlightPitch() const { return flightPitch; }
    bool IsDragging() const { return dragging; }
    bool IsMakerLogoHovered() const { return makerLogoHovered; }
    bool IsFogDistanceSupported() const { return fogDistanceSupported; }
    // The pointer's picking ray and the screen's axes in the world, as of the last frame.
    const GFX_Vector3& GetPickOrigin() const { return pickOrigin; }
    const GFX_Vector3& GetPickDirection() const { return pickDirection; }
    const GFX_Vector3& GetBillboardUp() const { return billboardUp; }
    const GFX_Vector3& GetBillboardRight() const { return billboardRight; }
    GFX_Friend* GetSelf() const { return self.get(); }
    GFX_Friend* GetSelectedFriend() const { return selectedFriend; }
    GFX_LocationHolder* GetSelectedHolder() const { return selectedHolder; }
    const std::vector<std::unique_ptr<GFX_LocationHolder>>& GetLocationHolders()
    {
        PlaceHolders();
        return locationHolders;
    }
    const std::vector<std::unique_ptr<GFX_Friend>>& GetFriends() const { return friends; }
    const std::vector<std::unique_ptr<GFX_ConnectionFriends>>& GetConnections() const
    {
        return connections;
    }
    GFX_Dock* GetSelfDock() const { return selfDock.get(); }
    GFX_Dock* GetFriendsDock() const { return friendsDock.get(); }
    GFX_WidgetNavigationDial* GetNavigationDial() const { return navigationDial.get(); }
    GFX_WidgetRoundButton* GetRotationButton(int index) const;
    const std::vector<GFX_Theme>& GetThemes() const { return themes; }
    // Dots a frame draws, over every connection whose ends are known.
    long long CountDots() const;

    // Selects the friend as a click on its docked item would (no-op for an unknown id).
    bool SelectFriendById(const std::string& id);

    static constexpr float AutoStartSeconds = 50.0f;
    static constexpr float AutoTurnRate = 17.5f; // degrees per second
    static constexpr float TourPause = 1.5f;     // seconds between tour stops
    static constexpr float PickDistance = 40000.0f;
    static constexpr float DragThreshold = 3.0f; // pixels in one sample
    static constexpr float FlickDegrees = 1.5f;
    // The glide closes this share of the remaining angles each frame; the heading's remaining
    // angle counts as at most MaxGlideDelta degrees, so it turns at most 6 degrees a frame.
    static constexpr float GlideShare = 0.1f;
    static constexpr float MaxGlideDelta = 60.0f;

private:
    // The frame's steps, in order.
    void SetUpFog();
    void AdvanceAutoMotion(float dt);
    void AdvanceGlide();
    void CastPickingRay();
    void TakeDragSample();
    void Hover();
    void Press();
    void Release();
    // The screen's axes in the world, from the frame's matrices.
    void UpdateBillboardAxes();
    // Gives every holder and line the screen's axes, holders first.
    void HandOnBillboardAxes();
    void DrawScene();
    void DrawInterface();
    void DrawTopBarAndLogos();

    // Runs a layout that LayoutFriends asked for.
    void PlaceHolders();
    // Rebuilds holdersById from the friends the holders show now.
    void IndexHolders();
    void SelectDockedItem(GFX_WidgetDocked* item);
    void StartAutoMode(int mode);
    void ClearRotationButtons();
    std::unique_ptr<GFX_Friend> MakeFriend(const std::string& id, const std::string& name,
                                           const std::string& picture,
                                           const std::string& squarePicture);
    // Loads a texture of ./data/config/ the way every interface texture is made.
    static std::unique_ptr<OGL_Texture2D> LoadConfigTexture(const char* name);

    int autoMode = AutoIdle;
    float autoTimer = 0.0f;
    bool fogDistanceSupported = false;
    GFX_Vector3 billboardUp{0.0f, 1.0f, 0.0f};
    GFX_Vector3 billboardRight{1.0f, 0.0f, 0.0f};
    std::unique_ptr<GFX_Text> font;
    std::unique_ptr<OGL_Texture2D> makerLogo;
    bool makerLogoHovered = false;
    std::unique_ptr<OGL_Texture2D> productLogo;
    bool mousePressed = false;
    bool mouseReleased = false;
    bool mouseDoubleClicked = false;
    float pointerX = 0.0f;
    float pointerY = 0.0f;
    float dragLastX = 0.0f;
    float dragLastY = 0.0f;
    bool dragging = false;
    bool dragMoved = false;
    float dragHeadingDelta = 0.0f;
    float dragPitchDelta = 0.0f;
    float viewportSize[2] = {0.0f, 0.0f};
    std::unique_ptr<GFX_WidgetNavigationDial> navigationDial;
    std::vector<std::unique_ptr<GFX_WidgetRoundButton>> rotationButtons;
    std::unique_ptr<OGL_Texture2D> billboardTexture;
    std::unique_ptr<OGL_Texture2D> locatorTexture;
    std::unique_ptr<OGL_Texture2D> colorBallTexture;
    std::unique_ptr<GFX_ColorBall> colorBall;
    std::unique_ptr<OGL_Texture2D> widgetTexture;
    std::unique_ptr<OGL_Texture2D> topBarTexture;
    GFX_Vector3 pickOrigin;
    GFX_Vector3 pickDirection;
    GFX_Vector3 pickWindowPoint;
    std::vector<std::unique_ptr<GFX_LocationHolder>> locationHolders;
    std::vector<std::unique_ptr<GFX_Friend>> friends;
    std::unique_ptr<GFX_Friend> self;
    bool flying = false;
    float flightHeading = 0.0f;
    float flightPitch = 0.0f;
    std::vector<std::unique_ptr<GFX_ConnectionFriends>> connections;
    GFX_LocationHolder* selectedHolder = nullptr;
    GFX_Friend* selectedFriend = nullptr;
    std::unique_ptr<GFX_SphereButton> navigationGlobe;
    std::unique_ptr<OGL_Texture2D> sphereButtonTexture;
    GFX_Theme theme;
    std::vector<GFX_Theme> themes;
    std::unique_ptr<GFX_Dock> selfDock;
    std::unique_ptr<GFX_Dock> friendsDock;
    std::unique_ptr<UTL_FotoTextureBoss> pictureWorker;

    // The positions in locationHolders of the friend holders showing each id, in list order:
    // connections look their ends up here instead of walking every holder.
    std::unordered_map<std::string, std::vector<int>> holdersById;
    bool layoutPending = false;
};
