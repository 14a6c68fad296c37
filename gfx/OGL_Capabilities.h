#pragma once

#include <string>

// What the GL of the current context can do: the one place the program asks. Query reads the
// version, renderer, extensions and limits once; the answers are plain fields, so an owner
// keeps the object and tests build one from strings.
//
// Query needs the GL thread with a context current; the rest is plain data.
class OGL_Capabilities
{
public:
    // The answers of the context current now; all false and 0 without one.
    static OGL_Capabilities Query();
    // The answers for a GL that reports these strings (null: none), limits left at 0.
    static OGL_Capabilities FromStrings(const char* version, const char* renderer,
                                        const char* extensions);

    // Whether the extension list names `name` ("NV_fog_distance" matches "GL_NV_fog_distance").
    bool HasExtension(const std::string& name) const;

    int majorVersion = 0;
    int minorVersion = 0;
    std::string renderer;
    // Textures of any size; else rectangle textures for pictures whose sides are not powers of two.
    bool nonPowerOfTwo = false;
    bool textureRectangle = false;
    // Framebuffer and renderbuffer objects, to draw offscreen.
    bool framebufferObjects = false;
    // Fences the CPU can wait on.
    bool syncObjects = false;
    // Fog measured from the eye rather than along the view axis.
    bool fogDistance = false;
    // The GL draws on the processor (Mesa's llvmpipe or softpipe).
    bool softwareRasteriser = false;
    int maxTextureSize = 0;
    int maxRenderbufferSize = 0;
    int maxViewportWidth = 0;
    int maxViewportHeight = 0;

private:
    std::string extensions;
};
