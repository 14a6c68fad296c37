#include "gfx/OGL_Wrapper.h"

#include "gfx/OGL_Capabilities.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstring>

namespace
{
struct CurrentTransform
{
    GLint viewport[4];
    GLdouble modelview[16];
    GLdouble projection[16];

    CurrentTransform()
    {
        glGetIntegerv(GL_VIEWPORT, viewport);
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
    }
};
} // namespace

void OGL_Wrapper::Project(const GFX_Vector3& object, GFX_Vector3& window) const
{
    CurrentTransform t;
    GLdouble x = 0, y = 0, z = 0;
    gluProject(object.x, object.y, object.z, t.modelview, t.projection, t.viewport, &x, &y, &z);
    window.Set(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

void OGL_Wrapper::Unproject(const GFX_Vector3& window, GFX_Vector3& object) const
{
    CurrentTransform t;
    GLdouble x = 0, y = 0, z = 0;
    gluUnProject(window.x, window.y, window.z, t.modelview, t.projection, t.viewport, &x, &y, &z);
    object.Set(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
}

bool OGL_Wrapper::IsExtensionSupported(const std::string& name) const
{
    return OGL_Capabilities::Query().HasExtension(name);
}

bool OGL_Wrapper::ExtensionListContains(const char* extensions, const std::string& name)
{
    return extensions && std::strstr(extensions, name.c_str()) != nullptr;
}
