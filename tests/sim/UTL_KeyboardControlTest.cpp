#include "sim/UTL_KeyboardControl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using Command = UTL_KeyboardControl::Command;

TEST(UTL_KeyboardControlTest, PressedKeysCommand)
{
    struct Row
    {
        int key;
        bool shift;
        Command command;
    };
    const Row rows[] = {
        {UTL_KeyboardControl::KeyHome, false, Command::GoHome},
        {UTL_KeyboardControl::KeyTab, false, Command::NextFriend},
        {UTL_KeyboardControl::KeyTab, true, Command::PreviousFriend},
        {UTL_KeyboardControl::KeySpace, false, Command::ToggleTour},
        {UTL_KeyboardControl::KeyHome, true, Command::GoHome}, // Shift chooses only for Tab
        {UTL_KeyboardControl::KeyLeft, false, Command::None},  // held keys steer instead
        {'F', false, Command::None},
        {UTL_KeyboardControl::KeyEscape, false, Command::ClearFocus},
    };
    for (const Row& row : rows)
        EXPECT_EQ(UTL_KeyboardControl::CommandOf(row.key, row.shift), row.command)
            << "key " << row.key;
}

TEST(UTL_KeyboardControlTest, HeldKeysTurnTiltAndZoomAtSteadyRates)
{
    const auto steer = [](std::set<int> keys, float seconds) {
        return UTL_KeyboardControl::Steer([&keys](int key) { return keys.count(key) > 0; },
                                          seconds);
    };
    using K = UTL_KeyboardControl;
    auto s = steer({}, 0.5f);
    EXPECT_FALSE(s.Turns());
    EXPECT_FLOAT_EQ(s.zoom, 1.0f);

    s = steer({K::KeyRight, K::KeyUp}, 0.5f);
    EXPECT_FLOAT_EQ(s.heading, 30.0f);
    EXPECT_FLOAT_EQ(s.pitch, 20.0f);
    s = steer({K::KeyLeft, K::KeyDown}, 0.25f);
    EXPECT_FLOAT_EQ(s.heading, -15.0f);
    EXPECT_FLOAT_EQ(s.pitch, -10.0f);
    s = steer({K::KeyLeft, K::KeyRight}, 0.5f);
    EXPECT_FALSE(s.Turns()) << "opposite keys cancel out";

    for (int in : {K::KeyPageUp, K::KeyPlus, K::KeyPadPlus})
        EXPECT_FLOAT_EQ(steer({in}, 1.0f).zoom, K::ZoomPerSecond) << "key " << in;
    for (int out : {K::KeyPageDown, K::KeyMinus, K::KeyPadMinus})
        EXPECT_FLOAT_EQ(steer({out}, 1.0f).zoom, 1.0f / K::ZoomPerSecond) << "key " << out;
    EXPECT_FLOAT_EQ(steer({K::KeyPageUp, K::KeyMinus}, 1.0f).zoom, 1.0f);
    // Two frames of half a second zoom as far as one of a second.
    EXPECT_FLOAT_EQ(steer({K::KeyPageUp}, 0.5f).zoom * steer({K::KeyPageUp}, 0.5f).zoom,
                    K::ZoomPerSecond);
}

TEST(UTL_KeyboardControlTest, TheWheelZoomsByNotchesWithinTheCameraLimits)
{
    using K = UTL_KeyboardControl;
    EXPECT_FLOAT_EQ(K::WheelZoom(0), 1.0f);
    EXPECT_FLOAT_EQ(K::WheelZoom(120), K::WheelStep) << "away from the user comes closer";
    EXPECT_FLOAT_EQ(K::WheelZoom(-240), 1.0f / (K::WheelStep * K::WheelStep));
    EXPECT_NEAR(K::WheelZoom(60) * K::WheelZoom(60), K::WheelStep, 1e-6f)
        << "a fine-grained wheel's half notches add up to a notch";
    EXPECT_FLOAT_EQ(K::Zoomed(10000, 0.5f, 7500, 20000), 7500);
    EXPECT_FLOAT_EQ(K::Zoomed(18500, 2.0f, 7500, 20000), 20000);
    EXPECT_FLOAT_EQ(K::Zoomed(10000, 1.2f, 7500, 20000), 12000);
}

TEST(UTL_KeyboardControlTest, SteppingThroughTheFriendsWrapsAround)
{
    using K = UTL_KeyboardControl;
    EXPECT_EQ(K::StepIndex(-1, 5, 1), 0) << "nobody selected: Tab takes the first";
    EXPECT_EQ(K::StepIndex(-1, 5, -1), 4) << "and Shift+Tab the last";
    EXPECT_EQ(K::StepIndex(2, 5, 1), 3);
    EXPECT_EQ(K::StepIndex(4, 5, 1), 0);
    EXPECT_EQ(K::StepIndex(0, 5, -1), 4);
    EXPECT_EQ(K::StepIndex(7, 5, 1), 0) << "an index out of range counts as none";
    EXPECT_EQ(K::StepIndex(-1, 0, 1), -1);
}

TEST(UTL_KeyboardControlTest, TheKeyTableWritesTheShortcutsAndTheHelpPage)
{
    using K = UTL_KeyboardControl;
    EXPECT_EQ(K::Shortcut(Command::Find), "Ctrl+F");
    EXPECT_EQ(K::Shortcut(Command::FullScreen), "F11");
    EXPECT_EQ(K::Shortcut(Command::None), "");
    // Every binding the scene acts on is also on the help page, once per line of actions.
    const std::string page = K::HelpPage();
    int lines = 0;
    for (const K::Binding& binding : K::Bindings())
        if (*binding.action)
        {
            ++lines;
            EXPECT_NE(page.find(binding.action), std::string::npos) << binding.action;
        }
    size_t rows = 0;
    for (size_t at = page.find("<tr>"); at != std::string::npos; at = page.find("<tr>", at + 1))
        ++rows;
    EXPECT_EQ(rows, size_t(lines));
}
