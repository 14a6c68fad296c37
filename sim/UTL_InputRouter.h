#pragma once

#include "gfx/GFX_Vector3.h"
#include "sim/UTL_Focus.h"

#include <cstddef>
#include <functional>
#include <vector>

class GFX_Friend;
class GFX_HalvaneCamera;
class GFX_LocationHolder;
class UTL_CameraMotion;
class UTL_FriendCircle;
class UTL_InterfacePass;
class UTL_RegionLabels;
class UTL_Selection;

// Where the main scene's input goes: the keys, the wheel, the pointer's presses and releases,
// hovering and picking. Events only record what happened (the view calls them as they arrive);
// the frame then routes them, in order: the keys pressed since the last frame and the keys
// held, then the pointer — the drag's sample, the hover, a waiting press, a waiting release —
// and, once the interface has moved on, who is under the pointer. The interface gets every
// pointer event first; only what it does not take reaches the globe, where a click on a
// region's name glides there before the locators are picked from.
//
// What a key or click selects is carried out through Actions, by the controller. Units: view
// pixels with the origin at the bottom-left, seconds; the keys are the virtual-key codes of
// UTL_KeyboardControl. No GL: the picking ray comes from the frame.
class UTL_InputRouter
{
public:
    class Actions
    {
    public:
        virtual ~Actions() = default;
        // Selects the person as a click on their docked item would, and scrolls the docks to it.
        virtual void GoTo(GFX_Friend* person) = 0;
        // Selects the person of a docked item clicked and starts the glide to their locator.
        virtual void SelectPerson(GFX_Friend* person) = 0;
        // Selects the locator clicked on the globe (null: none was hit) and glides there.
        virtual void FlyTo(GFX_LocationHolder* holder) = 0;
        // Asks about the person selected and `person`, clicked with Shift (how the two are
        // connected) or Ctrl (whom they both know), on the globe or in a dock.
        virtual void Ask(UTL_Focus::Question question, GFX_Friend* person) = 0;
        // Escape: the filter or the question goes.
        virtual void ClearFocus() = 0;
    };

    UTL_InputRouter(UTL_InterfacePass& interfacePass, UTL_CameraMotion& motion,
                    UTL_FriendCircle& circle, UTL_Selection& selection,
                    const UTL_RegionLabels& regionLabels, Actions& actions);
    UTL_InputRouter(const UTL_InputRouter&) = delete;
    UTL_InputRouter& operator=(const UTL_InputRouter&) = delete;

    // The events, as they arrive.
    void PointerMoved(float x, float y);
    // The left button went down (a double click counts as a move there).
    void Pressed(float x, float y);
    // With Shift or Ctrl held, a click on a person other than the one selected asks about the
    // two instead of selecting.
    void Released(float x, float y, bool shift = false, bool control = false);
    void Wheel(float x, float y, int delta);
    void Left();
    void KeyPressed(int key, bool shift);

    // The frame's keys: the commands of the keys pressed since the last frame, then the keys
    // held (`held`) and the wheel turning and zooming the camera over `seconds`.
    void ApplyKeys(float seconds, GFX_HalvaneCamera& camera, const std::function<bool(int)>& held);
    // The frame's picking ray through the pointer: from `origin` along the unit `direction`.
    void AimRay(const GFX_Vector3& origin, const GFX_Vector3& direction)
    {
        pickOrigin = origin;
        pickDirection = direction;
    }
    // The frame's pointer: the drag's sample, the hover, then a waiting press and release.
    void RoutePointer(GFX_HalvaneCamera& camera);
    // Who is under the pointer now, in a dock or on the globe (not behind the dial or the top
    // bar of a view `height` pixels high), and the name plate that says so.
    void UpdateHover(int width, int height);

    float GetPointerX() const { return pointerX; }
    float GetPointerY() const { return pointerY; }
    bool IsPointerOutside() const { return pointerOutside; }
    const GFX_Vector3& GetPickOrigin() const { return pickOrigin; }
    const GFX_Vector3& GetPickDirection() const { return pickDirection; }
    // The person under the pointer as of the last UpdateHover; null if none.
    const GFX_Friend* GetHoveredPerson() const { return hoveredPerson; }

    // Keys typed faster than frames come are kept up to this many.
    static constexpr size_t MaxPendingKeys = 64;

private:
    void RunCommand(int command);
    void Press();
    void Release();
    // A click on `person`: a question about them and the person selected, with Shift or Ctrl
    // held; else false, and the click selects.
    bool Asked(GFX_Friend* person);

    struct PendingKey
    {
        int key;
        bool shift;
    };

    UTL_InterfacePass& interfacePass;
    UTL_CameraMotion& motion;
    UTL_FriendCircle& circle;
    UTL_Selection& selection;
    const UTL_RegionLabels& regionLabels;
    Actions& actions;
    float pointerX = 0.0f;
    float pointerY = 0.0f;
    bool pointerOutside = false;
    GFX_Vector3 pickOrigin;
    GFX_Vector3 pickDirection;
    bool pressed = false;
    bool released = false;
    bool releasedShift = false;
    bool releasedControl = false;
    std::vector<PendingKey> pendingKeys;
    int pendingWheel = 0;
    const GFX_Friend* hoveredPerson = nullptr;
};
