#include "sim/UTL_InputRouter.h"

#include "gfx/GFX_HalvaneCamera.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "scene/GFX_NamePlate.h"
#include "scene/GFX_WidgetDockedFriend.h"
#include "scene/GFX_WidgetNavigationDial.h"
#include "sim/UTL_CameraMotion.h"
#include "sim/UTL_FriendCircle.h"
#include "sim/UTL_InterfacePass.h"
#include "sim/UTL_KeyboardControl.h"
#include "sim/UTL_NameSearch.h"
#include "sim/UTL_RegionLabels.h"
#include "sim/UTL_Selection.h"

#include <algorithm>

UTL_InputRouter::UTL_InputRouter(UTL_InterfacePass& interfacePass, UTL_CameraMotion& motion,
                                 UTL_FriendCircle& circle, UTL_Selection& selection,
                                 const UTL_RegionLabels& regionLabels, Actions& actions)
    : interfacePass(interfacePass), motion(motion), circle(circle), selection(selection),
      regionLabels(regionLabels), actions(actions)
{
}

void UTL_InputRouter::PointerMoved(float x, float y)
{
    pointerOutside = false;
    pointerX = x;
    pointerY = y;
}

void UTL_InputRouter::Pressed(float x, float y)
{
    pressed = true;
    pointerX = x;
    pointerY = y;
}

void UTL_InputRouter::Released(float x, float y, bool shift, bool control)
{
    released = true;
    releasedShift = shift;
    releasedControl = control;
    pointerX = x;
    pointerY = y;
}

void UTL_InputRouter::Wheel(float x, float y, int delta)
{
    pointerX = x;
    pointerY = y;
    // Bounded however long the wheel spins between two frames.
    constexpr int MaxWheel = 100 * UTL_KeyboardControl::WheelNotch;
    pendingWheel = std::clamp(pendingWheel + delta, -MaxWheel, MaxWheel);
}

void UTL_InputRouter::Left()
{
    pointerOutside = true;
}

void UTL_InputRouter::KeyPressed(int key, bool shift)
{
    if (pendingKeys.size() < MaxPendingKeys)
        pendingKeys.push_back({key, shift});
}

void UTL_InputRouter::ApplyKeys(float seconds, GFX_HalvaneCamera& camera,
                                const std::function<bool(int)>& held)
{
    std::vector<PendingKey> keys;
    keys.swap(pendingKeys);
    for (const PendingKey& pending : keys)
        RunCommand(static_cast<int>(UTL_KeyboardControl::CommandOf(pending.key, pending.shift)));

    const UTL_KeyboardControl::Steering steering = UTL_KeyboardControl::Steer(held, seconds);
    if (steering.Turns())
    {
        motion.TakeOver();
        UTL_CameraMotion::Turn(camera, steering.heading, steering.pitch);
    }
    const float zoom = steering.zoom * UTL_KeyboardControl::WheelZoom(pendingWheel);
    pendingWheel = 0;
    if (zoom != 1.0f)
        camera.SetDistance(UTL_KeyboardControl::Zoomed(
            camera.GetDistance(), zoom, camera.GetMinDistance(), camera.GetMaxDistance()));
}

void UTL_InputRouter::RunCommand(int value)
{
    using Command = UTL_KeyboardControl::Command;
    switch (static_cast<Command>(value))
    {
    case Command::GoHome:
        if (GFX_Friend* self = circle.GetSelf())
            actions.GoTo(self);
        break;
    case Command::NextFriend:
    case Command::PreviousFriend:
    {
        const auto& friends = circle.GetFriends();
        const GFX_Friend* current = selection.GetPerson();
        const auto found = std::find_if(friends.begin(), friends.end(),
                                        [current](const auto& f) { return f.get() == current; });
        const int index = found == friends.end() ? -1 : static_cast<int>(found - friends.begin());
        const int next = UTL_KeyboardControl::StepIndex(index, static_cast<int>(friends.size()),
                                                        value == int(Command::NextFriend) ? 1 : -1);
        if (next >= 0)
            actions.GoTo(friends[next].get());
        break;
    }
    case Command::ClearFocus:
        actions.ClearFocus();
        break;
    case Command::ToggleTour:
        if (motion.GetAutoMode() == UTL_CameraMotion::AutoTour)
            motion.Stop();
        else
            motion.Start(UTL_CameraMotion::AutoTour);
        break;
    default:
        break;
    }
}

void UTL_InputRouter::RoutePointer(GFX_HalvaneCamera& camera)
{
    motion.Drag(pointerX, pointerY, camera);
    if (pointerOutside)
        interfacePass.Leave();
    else
        interfacePass.Hover(pointerX, pointerY);
    // Presses and releases meet the interface as the last frame showed it: the docks' Update
    // after this moves their items on towards the new magnification, and an item near the
    // pointer that has slid under it since must not take a click aimed at its neighbour.
    if (pressed)
    {
        pressed = false;
        Press();
    }
    if (released)
    {
        released = false;
        Release();
    }
}

void UTL_InputRouter::Press()
{
    // A press anywhere stops the automatic motion, the one on a rotation button included.
    motion.Stop();
    if (!interfacePass.Press(pointerX, pointerY))
        motion.Grab(pointerX, pointerY);
}

void UTL_InputRouter::Release()
{
    int button = -1;
    GFX_WidgetDocked* item = nullptr;
    if (interfacePass.Release(pointerX, pointerY, button, item))
    {
        auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(item);
        if (button >= 0)
            motion.Start(button + 1);
        else if (docked && docked->GetFriend() && !Asked(docked->GetFriend()))
            actions.SelectPerson(docked->GetFriend());
        return;
    }
    if (motion.LetGo() != UTL_CameraMotion::DragEnd::Click)
        return;
    // A region's name lies over the locators of its people.
    UTL_SpherePlace region;
    if (regionLabels.Pick(pickOrigin, pickDirection, region))
    {
        motion.FlyTo(region.longitude, region.latitude);
        return;
    }
    GFX_LocationHolder* holder =
        GFX_LocationHolder::PickNearest(circle.GetHolders(), pickOrigin, pickDirection);
    GFX_LocationHolderFriend* friendHolder = holder ? holder->AsFriendHolder() : nullptr;
    if (!friendHolder || !Asked(friendHolder->GetFriend()))
        actions.FlyTo(holder);
}

bool UTL_InputRouter::Asked(GFX_Friend* person)
{
    const GFX_Friend* selected = selection.GetPerson();
    if (!(releasedShift || releasedControl) || !person || !selected || person == selected)
        return false;
    actions.Ask(releasedShift ? UTL_Focus::Question::Path : UTL_Focus::Question::InCommon, person);
    return true;
}

void UTL_InputRouter::UpdateHover(int width, int height)
{
    GFX_NamePlate* plate = interfacePass.GetNamePlate();
    hoveredPerson = nullptr;
    if (!plate)
        return;
    if (!pointerOutside && !motion.IsDragging())
    {
        auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(interfacePass.GetHoveredItem());
        if (docked)
            hoveredPerson = docked->GetFriend();
        // The globe behind the dial and the top bar is not what the pointer is on.
        const GFX_WidgetNavigationDial* dial = interfacePass.GetNavigationDial();
        const bool overInterface = (dial && dial->Contains(pointerX, pointerY)) ||
                                   pointerY > static_cast<float>(height) - UTL_TopBar::Height;
        if (!docked && !overInterface && width > 0 && height > 0)
        {
            GFX_LocationHolder* holder =
                GFX_LocationHolder::PickNearest(circle.GetHolders(), pickOrigin, pickDirection);
            GFX_LocationHolderFriend* friendHolder = holder ? holder->AsFriendHolder() : nullptr;
            if (friendHolder)
                hoveredPerson = friendHolder->GetFriend();
        }
    }
    if (hoveredPerson)
        plate->Show(hoveredPerson->GetShownName(),
                    UTL_NameSearch::Plain(hoveredPerson->GetShownName()), pointerX, pointerY);
    else
        plate->Hide();
}
