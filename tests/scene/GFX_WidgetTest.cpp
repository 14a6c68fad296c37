#include "scene/GFX_Widget.h"
#include "scene/GFX_WidgetRoundButton.h"

#include "support/TestSceneOwner.h"

#include <gtest/gtest.h>

namespace
{
const GFX_ColorRGBA White{1, 1, 1, 1};
} // namespace

TEST(GFX_WidgetTest, EachAnchorPlacesTheWidgetFromItsPointOfTheView)
{
    struct Row
    {
        GFX_Anchor anchor;
        float ax, ay;
    };
    const Row rows[] = {
        {GFX_Anchor::TopLeft, 0, 600},     {GFX_Anchor::TopRight, 800, 600},
        {GFX_Anchor::BottomLeft, 0, 0},    {GFX_Anchor::BottomRight, 800, 0},
        {GFX_Anchor::MiddleLeft, 0, 300},  {GFX_Anchor::MiddleRight, 800, 300},
        {GFX_Anchor::TopCentre, 400, 600}, {GFX_Anchor::BottomCentre, 400, 0},
        {GFX_Anchor::Centre, 400, 300},
    };
    const float view[2] = {800, 600};
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << "anchor " << int(row.anchor));
        GFX_Widget widget(view, 10, 20, 30, 40, row.anchor, White);
        const GFX_Rect rect = widget.GetRect();
        EXPECT_FLOAT_EQ(rect.left, row.ax + 10.0001f);
        EXPECT_FLOAT_EQ(rect.right, row.ax + 40);
        EXPECT_FLOAT_EQ(rect.bottom, row.ay + 20.0001f);
        EXPECT_FLOAT_EQ(rect.top, row.ay + 60);
    }
}

TEST(GFX_WidgetTest, NegativeOffsetsFromTheTopRightCornerReachBackIntoTheView)
{
    const float view[2] = {800, 600};
    GFX_Widget widget(view, -100, -50, 90, 40, GFX_Anchor::TopRight, White);
    const GFX_Rect rect = widget.GetRect();
    EXPECT_FLOAT_EQ(rect.left, 700.0001f);
    EXPECT_FLOAT_EQ(rect.right, 790);
    EXPECT_FLOAT_EQ(rect.bottom, 550.0001f);
    EXPECT_FLOAT_EQ(rect.top, 590);
}

TEST(GFX_WidgetTest, FollowsTheViewSizeAndFallsBackToTheOriginWithoutOne)
{
    float view[2] = {800, 600};
    GFX_Widget anchored(view, -30, -30, 20, 20, GFX_Anchor::TopRight, White);
    view[0] = 1024; // the window was resized: the widget reads the size when asked
    view[1] = 768;
    EXPECT_FLOAT_EQ(anchored.GetRect().right, 1014);
    EXPECT_FLOAT_EQ(anchored.GetRect().top, 758);

    GFX_Widget unanchored(nullptr, 5, 6, 20, 20, GFX_Anchor::Centre, White);
    EXPECT_FLOAT_EQ(unanchored.GetRect().right, 25);
    EXPECT_FLOAT_EQ(unanchored.GetRect().top, 26);
}

TEST(GFX_WidgetTest, ContainsItsEdgesButNotTheNudgedOffPixelLine)
{
    GFX_Widget widget(nullptr, 10, 10, 20, 20, GFX_Anchor::BottomLeft, White);
    EXPECT_TRUE(widget.Contains(30, 30));
    EXPECT_TRUE(widget.Contains(10.001f, 10.001f));
    EXPECT_FALSE(widget.Contains(10, 20)) << "left edge is nudged in by 0.0001";
    EXPECT_FALSE(widget.Contains(20, 30.01f));
    // The base widget takes no events.
    EXPECT_FALSE(widget.MouseDown(20, 20));
    EXPECT_FALSE(widget.MouseMove(20, 20));
    EXPECT_FALSE(widget.MouseUp(20, 20));
}

TEST(GFX_WidgetRoundButtonTest, ClicksOnlyWhenPressedAndReleasedOverIt)
{
    const float view[2] = {800, 600};
    GFX_WidgetRoundButton button(nullptr, view, 93, 1, 28, 28, GFX_Anchor::BottomLeft, White);

    EXPECT_FALSE(button.MouseDown(10, 10)) << "a press elsewhere is not taken";
    EXPECT_FALSE(button.IsPressed());
    EXPECT_FALSE(button.MouseMove(100, 10)) << "hovering without a press is not taken";
    EXPECT_FALSE(button.MouseUp(100, 10)) << "a release without a press is no click";

    // Press, wander out and back in, release inside: a click.
    EXPECT_TRUE(button.MouseDown(100, 10));
    EXPECT_TRUE(button.IsPressed() && button.IsHover());
    EXPECT_FALSE(button.MouseMove(200, 10));
    EXPECT_FALSE(button.IsHover());
    EXPECT_TRUE(button.MouseMove(110, 20));
    EXPECT_TRUE(button.MouseUp(110, 20));
    EXPECT_FALSE(button.IsPressed() || button.IsHover());

    // Press, release outside: no click, and the press is over.
    EXPECT_TRUE(button.MouseDown(100, 10));
    EXPECT_FALSE(button.MouseUp(300, 10));
    EXPECT_FALSE(button.IsPressed());
    EXPECT_FALSE(button.MouseUp(100, 10)) << "a second release is no click";
}

TEST(GFX_WidgetRoundButtonTest, FaceColourShowsOnPressedAndPressedOutside)
{
    const GFX_ColorRGBA grey{0.2f, 0.4f, 0.6f, 0.8f};
    GFX_WidgetRoundButton button(nullptr, nullptr, 0, 0, 28, 28, GFX_Anchor::BottomLeft, grey);
    // The highlight starts white.
    EXPECT_FLOAT_EQ(button.FaceColor().r, 0.2f);

    button.MouseDown(10, 10);
    EXPECT_FLOAT_EQ(button.FaceColor().g, 1.0f) << "pressed with the mouse over it: lit";
    button.MouseMove(50, 50);
    const GFX_ColorRGBA half = button.FaceColor();
    EXPECT_FLOAT_EQ(half.r, 0.6f) << "pressed, mouse outside: halfway";
    EXPECT_FLOAT_EQ(half.g, 0.7f);
    EXPECT_FLOAT_EQ(half.b, 0.8f);
    EXPECT_FLOAT_EQ(half.a, 0.9f);
    button.MouseUp(50, 50);
    EXPECT_FLOAT_EQ(button.FaceColor().r, 0.2f);

    button.SetOn(true);
    EXPECT_TRUE(button.IsOn());
    EXPECT_FLOAT_EQ(button.FaceColor().r, 1.0f) << "the running mode's button stays lit";
}
