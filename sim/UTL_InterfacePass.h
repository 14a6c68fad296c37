#pragma once

#include "scene/GFX_InterfaceElement.h"
#include "scene/GFX_Rect.h"

#include <memory>
#include <string>
#include <vector>

class GFX_Dock;
class GFX_Friend;
class GFX_NamePlate;
class GFX_SceneOwner;
class GFX_SphereButton;
class GFX_WidgetDocked;
class GFX_WidgetNavigationDial;
class GFX_WidgetRoundButton;
class OGL_Texture2D;

// The bar along the top of the view with the product's logo in its left corner, and the maker's
// watermark in the lower right, which brightens while the pointer is over it. Colours from the
// owner's theme, the view size from the owner; both must outlive it.
class UTL_TopBar : public GFX_InterfaceElement
{
public:
    explicit UTL_TopBar(GFX_SceneOwner* owner);
    ~UTL_TopBar() override;

    void Update(float) override {}
    // The bar (its texture, or plain without one), then each logo that has a picture.
    void Draw() override;
    void ReleaseGL() override;
    // Notes whether the pointer is over the watermark, edges included; never consumed.
    bool MouseMove(float x, float y) override;
    bool MouseDown(float, float) override { return false; }
    bool MouseUp(float, float) override { return false; }

    bool IsMakerLogoHovered() const { return makerLogoHovered; }
    void Unhover() { makerLogoHovered = false; }

    static constexpr float Height = 32.0f;
    static constexpr float LogoSize = 130.0f;

private:
    GFX_SceneOwner* owner;
    std::unique_ptr<OGL_Texture2D> texture;
    std::unique_ptr<OGL_Texture2D> productLogo;
    std::unique_ptr<OGL_Texture2D> makerLogo;
    bool makerLogoHovered = false;
};

// The interface drawn over the globe in view pixels: the navigation dial in the lower-left
// corner with its three rotation buttons (turn west, turn east, tour), the top bar with the
// logos, the user's dock on the left and the friends' dock on the right. They form one list, in
// drawing order, that the mouse reaches in the same order: the first element that consumes a
// move, press or release ends it there, except that a dock passes moves and releases on, so
// that the other dock's magnification and press end too.
//
// Load makes everything from the config folder; before it the pass is empty and does nothing.
// The owner must outlive the pass. GL thread only.
class UTL_InterfacePass
{
public:
    UTL_InterfacePass();
    ~UTL_InterfacePass();

    UTL_InterfacePass(const UTL_InterfacePass&) = delete;
    UTL_InterfacePass& operator=(const UTL_InterfacePass&) = delete;

    // Makes the elements, in the owner's theme as it is now, placed in `viewportSize`.
    void Load(GFX_SceneOwner* owner, const float* viewportSize);

    // Turns the dial to the camera's heading and pitch (degrees), then updates every element.
    void Update(float seconds, float heading, float pitch);
    void Hover(float x, float y);
    // The pointer has left the view: the docks shrink back and the watermark dims.
    void Leave();
    // The docked item under the pointer as of the last hover, in either dock; null if none.
    GFX_WidgetDocked* GetHoveredItem() const;
    // Whether an element took the press.
    bool Press(float x, float y);
    // Whether an element took the release; then `button` is the index of a rotation button
    // clicked (else -1) and `item` the docked item clicked (else null).
    bool Release(float x, float y, int& button, GFX_WidgetDocked*& item);
    // Every element in order, then the name plate over them all, with texturing and blending
    // on and lighting off; leaves the GL state as the last drawing does.
    void Draw(int width, int height);

    // Whether an element still moves by itself from frame to frame (a dock easing or scrolling).
    bool IsEasing() const;
    // Lights the rotation button of the automatic mode (1 to 3), the others off.
    void ShowAutoMode(int mode);
    // The small textured globe inside the dial, at the current matrix.
    void DrawNavigationGlobe();
    // Releases every element's GL names; context current.
    void ReleaseGL();

    GFX_WidgetNavigationDial* GetNavigationDial() const { return navigationDial.get(); }
    GFX_WidgetRoundButton* GetRotationButton(int index) const;
    GFX_Dock* GetSelfDock() const { return selfDock.get(); }
    GFX_Dock* GetFriendsDock() const { return friendsDock.get(); }
    bool IsMakerLogoHovered() const { return topBar && topBar->IsMakerLogoHovered(); }
    // The plate that names the person under the pointer; null before Load.
    GFX_NamePlate* GetNamePlate() const { return namePlate.get(); }
    // The person with this id in either dock, or null.
    GFX_Friend* FindDocked(const std::string& id) const;
    // The part of a width × height view clear of the top bar and of the docks' columns at
    // their items' size.
    GFX_Rect FreeArea(int width, int height) const;

    static constexpr int RotationButtons = 3;

private:
    struct Element
    {
        GFX_InterfaceElement* element;
        int button;     // the rotation button's index, or -1
        GFX_Dock* dock; // the dock, or null
    };

    std::unique_ptr<GFX_WidgetNavigationDial> navigationDial;
    std::vector<std::unique_ptr<GFX_WidgetRoundButton>> rotationButtons;
    std::unique_ptr<UTL_TopBar> topBar;
    std::unique_ptr<GFX_Dock> selfDock;
    std::unique_ptr<GFX_Dock> friendsDock;
    std::unique_ptr<GFX_NamePlate> namePlate;
    std::unique_ptr<GFX_SphereButton> navigationGlobe;
    std::unique_ptr<OGL_Texture2D> sphereButtonTexture;
    std::vector<Element> elements;
};
