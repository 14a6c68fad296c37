#define GL_GLEXT_PROTOTYPES 1
#include "gfx/OGL_Capabilities.h"

#include "gfx/OGL_Check.h"
#include "gfx/OGL_Wrapper.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <cstdio>

namespace
{
const char* GlString(GLenum name)
{
    return reinterpret_cast<const char*>(glGetString(name));
}
} // namespace

OGL_Capabilities OGL_Capabilities::FromStrings(const char* version, const char* renderer,
                                               const char* extensions)
{
    OGL_Capabilities answers;
    if (version)
        std::sscanf(version, "%d.%d", &answers.majorVersion, &answers.minorVersion);
    answers.renderer = renderer ? renderer : "";
    answers.extensions = extensions ? extensions : "";
    const int major = answers.majorVersion;
    const int minor = answers.minorVersion;
    answers.nonPowerOfTwo = answers.HasExtension("ARB_texture_non_power_of_two");
    answers.textureRectangle = answers.HasExtension("ARB_texture_rectangle") ||
                               answers.HasExtension("NV_texture_rectangle");
    // Core since 3.0; a compatibility context names it as an extension too.
    answers.framebufferObjects = major >= 3 || answers.HasExtension("ARB_framebuffer_object");
    answers.syncObjects =
        major > 3 || (major == 3 && minor >= 2) || answers.HasExtension("ARB_sync");
    answers.fogDistance = answers.HasExtension("NV_fog_distance");
    answers.softwareRasteriser = answers.renderer.find("llvmpipe") != std::string::npos ||
                                 answers.renderer.find("softpipe") != std::string::npos;
    return answers;
}

OGL_Capabilities OGL_Capabilities::Query()
{
    OGL_Capabilities answers =
        FromStrings(GlString(GL_VERSION), GlString(GL_RENDERER), GlString(GL_EXTENSIONS));
    if (answers.majorVersion == 0)
        return answers;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &answers.maxTextureSize);
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    answers.maxViewportWidth = viewport[0];
    answers.maxViewportHeight = viewport[1];
    if (answers.framebufferObjects)
        glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &answers.maxRenderbufferSize);
    // A query the GL does not know leaves an error behind; nothing here is worth reporting.
    OGL_DrainErrors();
    return answers;
}

bool OGL_Capabilities::HasExtension(const std::string& name) const
{
    return OGL_Wrapper::ExtensionListContains(extensions.c_str(), name);
}
