#pragma once

#include "gfx/GFX_Vector3.h"

#include <string>

// Projection between object space and window coordinates, and the extension test. Reads the
// current viewport and matrices, so every operation needs the GL thread with a context current.
// Window coordinates count y from the bottom of the viewport; z is the depth in [0, 1].
class OGL_Wrapper
{
public:
    OGL_Wrapper() = default;
    virtual ~OGL_Wrapper() = default;

    // gluProject of `object` with the current viewport and matrices.
    void Project(const GFX_Vector3& object, GFX_Vector3& window) const;
    // gluUnProject of `window`; the picking ray is the difference of depths 0 and 1.
    void Unproject(const GFX_Vector3& window, GFX_Vector3& object) const;

    // Whether the driver advertises an extension whose name contains `name` ("NV_fog_distance"
    // matches "GL_NV_fog_distance"). False without a current context. Prefixes match too.
    bool IsExtensionSupported(const std::string& name) const;
    // The same test against a given extension string, null meaning none advertised.
    static bool ExtensionListContains(const char* extensions, const std::string& name);
};
