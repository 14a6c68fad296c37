#pragma once

#include "app/UI_View.h"

// A view with a GL context of its own: double-buffered RGBA, 24-bit depth, 8-bit stencil, a
// compatibility profile for the fixed-function pipeline and no wait for the display's refresh
// (the frame loop is uncapped). Qt creates the context with the widget; this class reports what
// it obtained.
class UI_OpenGlView : public UI_View
{
    Q_OBJECT

public:
    explicit UI_OpenGlView(QWidget* parent = nullptr);

    // The format every GL view asks for; set as the application's default before it starts.
    static QSurfaceFormat RequestedFormat();

    int GetColourBits() const;
    int GetDepthBits() const;
    int GetStencilBits() const;

    // Size of the drawing surface in device pixels (what GL's viewport measures).
    int PixelWidth() const;
    int PixelHeight() const;

protected:
    void resizeGL(int width, int height) override;
};
