#pragma once

#include "scene/GFX_Widget.h"

class GFX_SceneOwner;

// A round push button of the in-scene interface (the camera's rotation buttons). It clicks when
// the button is released over it after being pressed over it; leaving it while pressed shows a
// half-lit face and releasing outside clicks nothing. `on` marks the button whose camera motion
// runs; the controller sets it. Colours come from the owner's theme each time it draws (the
// dial colour, lit: its selected colour); without an owner the colours it holds are used.
class GFX_WidgetRoundButton : public GFX_Widget
{
public:
    GFX_WidgetRoundButton(GFX_SceneOwner* owner, const float* screenSize, float x, float y,
                          float width, float height, GFX_Anchor anchor, const GFX_ColorRGBA& color);

    void Draw() override;
    // Pressed and the mouse over it: consumed. Any other move clears the hover.
    bool MouseMove(float x, float y) override;
    // Consumed when over the button; the button is then pressed.
    bool MouseDown(float x, float y) override;
    // True for a click: pressed and released over the button. Always ends the press.
    bool MouseUp(float x, float y) override;

    void SetOn(bool value) { on = value; }
    bool IsOn() const { return on; }
    bool IsPressed() const { return pressed; }
    bool IsHover() const { return hover; }
    const GFX_ColorRGBA& GetHighlightColor() const { return highlightColor; }

    // The colour the button shows in its present state, from the colours it holds.
    GFX_ColorRGBA FaceColor() const;

private:
    GFX_SceneOwner* owner;
    GFX_ColorRGBA highlightColor{1.0f, 1.0f, 1.0f, 1.0f};
    bool on = false;
    bool pressed = false;
    bool hover = false;
};
