#pragma once

#include <string>

// The GL context of a drawing surface. On Linux the application window's context is Qt's; this
// class supplies the headless one that tests, snapshots and benchmarks draw into: Mesa's
// surfaceless EGL platform (llvmpipe when no GPU is present), a pbuffer of the requested size
// and a compatibility context of version 2.1 or later, so the fixed-function pipeline works
// and glReadPixels reads real pixels.
//
// Failure is not fatal: the object then holds no context, IsValid() is false and GetError()
// says why. Everything runs on the thread that made the context current.
//
// The rule for GL objects, followed by every owner of a GL name in the program:
// - Names are made and released through OGL_Names (or OGL_Texture's Create and Delete), on the
//   GL thread with their context current.
// - An owner releases its names in its Delete or ReleaseGL, never in its destructor: a
//   destructor may run where no context is current, and the names of a context that has gone
//   cannot be released at all.
// - The host of a scene releases every name of it in one step before the context goes: the view
//   and halvane-snapshot call the controller's ReleaseGL with the context current, and the
//   controller walks its parts. A name that lives only within one drawing (the offscreen
//   framebuffer of a saved picture) is released at the end of that drawing's scope.
// - Then OGL_Names::ReportAlive tells, in a debug build, of any name still alive.
class WGL_Context
{
public:
    // A pbuffer of width × height pixels with the requested colour, depth and stencil bits;
    // made current on success. The bit fields then hold what the chosen config provides.
    WGL_Context(int width, int height, int colourBits = 32, int depthBits = 24,
                int stencilBits = 8);
    virtual ~WGL_Context();

    WGL_Context(const WGL_Context&) = delete;
    WGL_Context& operator=(const WGL_Context&) = delete;

    bool IsValid() const { return context != nullptr; }
    const std::string& GetError() const { return error; }

    bool MakeCurrent();
    bool ReleaseCurrent();
    bool DeleteContext();

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetColourBits() const { return colourBits; }
    int GetDepthBits() const { return depthBits; }
    int GetStencilBits() const { return stencilBits; }

private:
    void Create();

    void* display = nullptr; // EGLDisplay
    void* surface = nullptr; // EGLSurface
    void* context = nullptr; // EGLContext
    int width;
    int height;
    int colourBits;
    int depthBits;
    int stencilBits;
    std::string error;
};
