#pragma once

#include "app/UI_OpenGlView.h"

// A GL view placed in one corner of the frame's free area at a fraction of its size. With the
// fraction 1 it fills the area.
class UI_OpenGlOverlappedView : public UI_OpenGlView
{
    Q_OBJECT

public:
    explicit UI_OpenGlOverlappedView(QWidget* parent = nullptr);

    void SetCorner(int value) { corner = value; }
    void SetSizeFraction(float value) { sizeFraction = value; }

    // Corner 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right; anything else at (0, 0).
    void PlaceInArea(int x, int y, int width, int height) override;
    // The rectangle PlaceInArea gives: x, y, width, height.
    static void Placement(int corner, float sizeFraction, int x, int y, int width, int height,
                          int out[4]);

private:
    int corner = 0;
    float sizeFraction = 1.0f;
};
