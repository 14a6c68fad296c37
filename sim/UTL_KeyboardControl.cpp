#include "sim/UTL_KeyboardControl.h"

#include <algorithm>
#include <cmath>

const std::vector<UTL_KeyboardControl::Binding>& UTL_KeyboardControl::Bindings()
{
    using C = Command;
    static const std::vector<Binding> table = {
        {C::TurnAndTilt, 0, false, "", "<b>Drag</b>, <b>arrow keys</b>", "turn and tilt the globe"},
        {C::TurnAndTilt, KeyLeft, false, "Left", "", ""},
        {C::TurnAndTilt, KeyRight, false, "Right", "", ""},
        {C::TurnAndTilt, KeyUp, false, "Up", "", ""},
        {C::TurnAndTilt, KeyDown, false, "Down", "", ""},
        {C::Zoom, 0, false, "", "<b>Wheel</b>, <b>Page Up / Page Down</b>, <b>+ / &minus;</b>",
         "zoom in and out"},
        {C::Zoom, KeyPageUp, false, "PgUp", "", ""},
        {C::Zoom, KeyPageDown, false, "PgDown", "", ""},
        {C::Zoom, KeyPlus, false, "+", "", ""},
        {C::Zoom, KeyMinus, false, "-", "", ""},
        {C::Zoom, KeyPadPlus, false, "+", "", ""},
        {C::Zoom, KeyPadMinus, false, "-", "", ""},
        {C::Select, 0, false, "", "<b>Click</b> a label or a docked picture",
         "select the person and fly there"},
        {C::Select, 0, false, "", "<b>Click</b> a group's name on the globe", "fly there"},
        {C::AskPath, 0, false, "", "<b>Shift+click</b> a second person",
         "how the one selected and they are connected, not through you"},
        {C::AskInCommon, 0, false, "", "<b>Ctrl+click</b> a second person",
         "the friends the one selected and they have in common"},
        {C::NextFriend, KeyTab, false, "Tab", "<b>Tab</b> / <b>Shift+Tab</b>",
         "next / previous friend"},
        {C::PreviousFriend, KeyTab, true, "Shift+Tab", "", ""},
        {C::GoHome, KeyHome, false, "Home", "<b>Home</b>", "back to you"},
        {C::ToggleTour, KeySpace, false, "Space", "<b>Space</b>", "start or stop the tour"},
        {C::ClearFocus, KeyEscape, false, "Esc", "<b>Esc</b>",
         "show everyone again after a filter, a chain or friends in common"},
        {C::Find, 0, false, "Ctrl+F", "<b>Ctrl+F</b>",
         "find a person by name: Enter picks the first match, Esc closes"},
        {C::OpenGraph, 0, false, "Ctrl+O", "<b>Ctrl+O</b>", "open a graph file"},
        {C::SavePicture, 0, false, "Ctrl+S", "<b>Ctrl+S</b>", "save the view as a picture"},
        {C::LogInAgain, 0, false, "Ctrl+L", "<b>Ctrl+L</b>", "log in again"},
        {C::StopArranging, 0, false, "Esc", "<b>Esc</b>",
         "stop arranging the circle (while View &gt; Arrange works)"},
        {C::FullScreen, 0, false, "F11", "<b>F11</b>", "full screen"},
        {C::Help, 0, false, "F1", "<b>F1</b>", "this page"},
        {C::Quit, 0, false, "Ctrl+Q", "<b>Ctrl+Q</b>", "quit"},
    };
    return table;
}

UTL_KeyboardControl::Command UTL_KeyboardControl::CommandOf(int key, bool shift)
{
    // Shift chooses only where the key has a binding of its own with Shift (Tab); elsewhere
    // the key commands whether Shift is held or not.
    Command found = Command::None;
    for (const Binding& binding : Bindings())
    {
        const bool pressCommand =
            binding.command >= Command::GoHome && binding.command <= Command::ClearFocus;
        if (!pressCommand || binding.key != key)
            continue;
        if (binding.shift == shift)
            return binding.command;
        if (!binding.shift)
            found = binding.command;
    }
    return found;
}

std::string UTL_KeyboardControl::Shortcut(Command command)
{
    for (const Binding& binding : Bindings())
        if (binding.command == command && *binding.keys)
            return binding.keys;
    return std::string();
}

std::string UTL_KeyboardControl::HelpPage()
{
    std::string page = "<table cellspacing='4'>";
    for (const Binding& binding : Bindings())
        if (*binding.action)
            page += std::string("<tr><td>") + binding.shown + "</td><td>" + binding.action +
                    "</td></tr>";
    return page + "</table>";
}

UTL_KeyboardControl::Steering UTL_KeyboardControl::Steer(const std::function<bool(int)>& held,
                                                         float seconds)
{
    const auto axis = [&held](int less, int more)
    { return (held(more) ? 1.0f : 0.0f) - (held(less) ? 1.0f : 0.0f); };
    Steering steering;
    steering.heading = axis(KeyLeft, KeyRight) * TurnRate * seconds;
    steering.pitch = axis(KeyDown, KeyUp) * TiltRate * seconds;
    const bool in = held(KeyPageUp) || held(KeyPlus) || held(KeyPadPlus);
    const bool out = held(KeyPageDown) || held(KeyMinus) || held(KeyPadMinus);
    const float direction = (in ? 1.0f : 0.0f) - (out ? 1.0f : 0.0f);
    steering.zoom = std::pow(ZoomPerSecond, direction * seconds);
    return steering;
}

float UTL_KeyboardControl::WheelZoom(int delta)
{
    return std::pow(WheelStep, static_cast<float>(delta) / WheelNotch);
}

float UTL_KeyboardControl::Zoomed(float distance, float factor, float minDistance,
                                  float maxDistance)
{
    return std::clamp(distance * factor, minDistance, maxDistance);
}

int UTL_KeyboardControl::StepIndex(int current, int count, int step)
{
    if (count <= 0)
        return -1;
    if (current < 0 || current >= count)
        return step >= 0 ? 0 : count - 1;
    const int next = (current + step) % count;
    return next < 0 ? next + count : next;
}
