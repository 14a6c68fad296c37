#include "gfx/WGL_Context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

WGL_Context::WGL_Context(int width, int height, int colourBits, int depthBits, int stencilBits)
    : width(width), height(height), colourBits(colourBits), depthBits(depthBits),
      stencilBits(stencilBits)
{
    Create();
}

WGL_Context::~WGL_Context()
{
    DeleteContext();
    // The display is not terminated: EGL hands every caller of the surfaceless platform the
    // same display, and terminating it would pull the ground from under other contexts.
    if (display && surface)
        eglDestroySurface(display, surface);
}

void WGL_Context::Create()
{
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay)
    {
        error = "EGL lacks eglGetPlatformDisplayEXT";
        return;
    }
    EGLDisplay dpy =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (dpy == EGL_NO_DISPLAY || !eglInitialize(dpy, &major, &minor))
    {
        error = "no surfaceless EGL display (is libegl-mesa0 installed?)";
        return;
    }
    display = dpy;
    if (!eglBindAPI(EGL_OPENGL_API))
    {
        error = "EGL cannot bind desktop OpenGL";
        return;
    }

    const EGLint channel = colourBits >= 32 ? 8 : 5;
    const EGLint configAttributes[] = {
        EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
        EGL_RED_SIZE,     channel,         EGL_GREEN_SIZE,      channel + (channel == 5 ? 1 : 0),
        EGL_BLUE_SIZE,    channel,         EGL_ALPHA_SIZE,      colourBits >= 32 ? 8 : 0,
        EGL_DEPTH_SIZE,   depthBits,       EGL_STENCIL_SIZE,    stencilBits,
        EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(dpy, configAttributes, &config, 1, &count) || count < 1)
    {
        error = "no EGL config with the requested colour, depth and stencil bits";
        return;
    }

    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface pbuffer = eglCreatePbufferSurface(dpy, config, surfaceAttributes);
    if (pbuffer == EGL_NO_SURFACE)
    {
        error = "cannot create an EGL pbuffer";
        return;
    }
    surface = pbuffer;

    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 2, EGL_CONTEXT_MINOR_VERSION, 1,
                                        EGL_NONE};
    EGLContext ctx = eglCreateContext(dpy, config, EGL_NO_CONTEXT, contextAttributes);
    if (ctx == EGL_NO_CONTEXT)
    {
        error = "cannot create an OpenGL 2.1 context";
        return;
    }
    context = ctx;

    EGLint red = 0, green = 0, blue = 0, alpha = 0;
    eglGetConfigAttrib(dpy, config, EGL_RED_SIZE, &red);
    eglGetConfigAttrib(dpy, config, EGL_GREEN_SIZE, &green);
    eglGetConfigAttrib(dpy, config, EGL_BLUE_SIZE, &blue);
    eglGetConfigAttrib(dpy, config, EGL_ALPHA_SIZE, &alpha);
    eglGetConfigAttrib(dpy, config, EGL_DEPTH_SIZE, &depthBits);
    eglGetConfigAttrib(dpy, config, EGL_STENCIL_SIZE, &stencilBits);
    colourBits = red + green + blue + alpha;

    if (!MakeCurrent())
        error = "cannot make the EGL context current";
}

bool WGL_Context::MakeCurrent()
{
    return context && eglMakeCurrent(display, surface, surface, context) == EGL_TRUE;
}

bool WGL_Context::ReleaseCurrent()
{
    return display &&
           eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT) == EGL_TRUE;
}

bool WGL_Context::DeleteContext()
{
    if (!context)
        return false;
    ReleaseCurrent();
    bool ok = eglDestroyContext(display, context) == EGL_TRUE;
    context = nullptr;
    return ok;
}
