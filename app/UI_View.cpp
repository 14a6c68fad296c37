#include "app/UI_View.h"

#include <QMouseEvent>

UI_View::UI_View(QWidget* parent) : QOpenGLWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
}

void UI_View::PlaceInArea(int x, int y, int width, int height)
{
    setGeometry(x, y, width, height);
}

void UI_View::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    QOpenGLWidget::mousePressEvent(event);
}
