#include "app/UI_OpenGlView.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

UI_OpenGlView::UI_OpenGlView(QWidget* parent) : UI_View(parent)
{
    setFormat(RequestedFormat());
}

QSurfaceFormat UI_OpenGlView::RequestedFormat()
{
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(2, 1);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setSwapInterval(0);
    return format;
}

int UI_OpenGlView::GetColourBits() const
{
    const QSurfaceFormat f = format();
    return f.redBufferSize() + f.greenBufferSize() + f.blueBufferSize() + f.alphaBufferSize();
}

int UI_OpenGlView::GetDepthBits() const
{
    return format().depthBufferSize();
}

int UI_OpenGlView::GetStencilBits() const
{
    return format().stencilBufferSize();
}

int UI_OpenGlView::PixelWidth() const
{
    return static_cast<int>(width() * devicePixelRatioF());
}

int UI_OpenGlView::PixelHeight() const
{
    return static_cast<int>(height() * devicePixelRatioF());
}

void UI_OpenGlView::resizeGL(int width, int height)
{
    // Qt has made the context current; the next frame sets the viewport again anyway.
    context()->functions()->glViewport(0, 0, width, height);
}
