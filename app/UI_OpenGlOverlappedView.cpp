#include "app/UI_OpenGlOverlappedView.h"

UI_OpenGlOverlappedView::UI_OpenGlOverlappedView(QWidget* parent) : UI_OpenGlView(parent) {}

void UI_OpenGlOverlappedView::Placement(int corner, float sizeFraction, int x, int y, int width,
                                        int height, int out[4])
{
    const int w = static_cast<int>(width * sizeFraction);
    const int h = static_cast<int>(height * sizeFraction);
    switch (corner)
    {
    case 0:
        out[0] = x, out[1] = y;
        break;
    case 1:
        out[0] = x + width - w, out[1] = y;
        break;
    case 2:
        out[0] = x, out[1] = y + height - h;
        break;
    case 3:
        out[0] = x + width - w, out[1] = y + height - h;
        break;
    default:
        out[0] = 0, out[1] = 0;
        break;
    }
    out[2] = w;
    out[3] = h;
}

void UI_OpenGlOverlappedView::PlaceInArea(int x, int y, int width, int height)
{
    int r[4];
    Placement(corner, sizeFraction, x, y, width, height, r);
    setGeometry(r[0], r[1], r[2], r[3]);
}
