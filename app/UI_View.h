#pragma once

#include <QOpenGLWidget>

// A child view of the main frame. Every view of this program draws with OpenGL, so the common
// base is Qt's GL widget. A view takes the keyboard focus on any button press, so that key
// events follow the mouse.
class UI_View : public QOpenGLWidget
{
    Q_OBJECT

public:
    explicit UI_View(QWidget* parent = nullptr);

    // One frame of this view; called by the frame on every idle tick.
    virtual void Render() {}
    // Places the view in the frame's free area (client pixels, y downwards).
    virtual void PlaceInArea(int x, int y, int width, int height);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
