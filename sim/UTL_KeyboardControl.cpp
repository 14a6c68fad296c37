#include "sim/UTL_KeyboardControl.h"

#include <algorithm>
#include <cmath>

UTL_KeyboardControl::Command UTL_KeyboardControl::CommandOf(int key, bool shift)
{
    switch (key)
    {
    case KeyHome:
        return Command::GoHome;
    case KeyTab:
        return shift ? Command::PreviousFriend : Command::NextFriend;
    case KeySpace:
        return Command::ToggleTour;
    default:
        return Command::None;
    }
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
