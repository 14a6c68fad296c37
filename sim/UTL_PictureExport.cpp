#include "sim/UTL_PictureExport.h"

#include "sim/UTL_SimCtrlHalvane.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>
#include <cstring>
#include <new>

namespace
{
bool HasFramebufferObjects()
{
    // Core since 2.0's successor 3.0; a compatibility context names it as an extension too.
    GLint major = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    if (glGetError() == GL_NO_ERROR && major >= 3)
        return true;
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions && std::strstr(extensions, "GL_ARB_framebuffer_object");
}

// A framebuffer with colour, depth and stencil, bound while it lives; the one bound before is
// bound again when it goes.
class OffscreenTarget
{
public:
    OffscreenTarget(int width, int height)
    {
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw);
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
        glGenFramebuffers(1, &framebuffer);
        glGenRenderbuffers(2, renderbuffers);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[0]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffers[1]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  renderbuffers[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  renderbuffers[1]);
        complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        glReadBuffer(GL_COLOR_ATTACHMENT0);
    }
    ~OffscreenTarget()
    {
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(previousDraw));
        glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousRead));
        glDeleteFramebuffers(1, &framebuffer);
        glDeleteRenderbuffers(2, renderbuffers);
    }
    OffscreenTarget(const OffscreenTarget&) = delete;
    OffscreenTarget& operator=(const OffscreenTarget&) = delete;

    bool IsComplete() const { return complete; }

private:
    GLint previousDraw = 0;
    GLint previousRead = 0;
    GLuint framebuffer = 0;
    GLuint renderbuffers[2] = {0, 0};
    bool complete = false;
};
} // namespace

int UTL_PictureExport::MaxSideSupported()
{
    if (!HasFramebufferObjects())
        return 0;
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::max(0, std::min({MaxSide, int(renderbuffer), int(viewport[0]), int(viewport[1])}));
}

bool UTL_PictureExport::Render(UTL_SimCtrlHalvane& controller, int width, int height,
                               Picture& picture, std::string& error)
{
    const int limit = MaxSideSupported();
    if (limit == 0)
    {
        error = "this OpenGL cannot draw offscreen (no framebuffer objects)";
        return false;
    }
    if (width < 1 || height < 1 || width > limit || height > limit)
    {
        error = "a picture can be 1 to " + std::to_string(limit) + " pixels a side, not " +
                std::to_string(width) + " × " + std::to_string(height);
        return false;
    }
    std::vector<uint8_t> pixels;
    try
    {
        pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    }
    catch (const std::bad_alloc&)
    {
        error = "not enough memory for a picture of " + std::to_string(width) + " × " +
                std::to_string(height);
        return false;
    }

    while (glGetError() != GL_NO_ERROR)
    {
    }
    {
        OffscreenTarget target(width, height);
        if (!target.IsComplete() || glGetError() != GL_NO_ERROR)
        {
            error = "the OpenGL cannot draw a picture of " + std::to_string(width) + " × " +
                    std::to_string(height) + " (out of graphics memory?)";
            return false;
        }
        controller.Step(width, height, 0.0f);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }

    // GL's rows run bottom-up; the scene clears alpha to 0, a picture is meant to be seen.
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height / 2; ++y)
    {
        uint8_t* top = pixels.data() + static_cast<size_t>(y) * row;
        std::swap_ranges(top, top + row, pixels.data() + static_cast<size_t>(height - 1 - y) * row);
    }
    for (size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;
    picture.width = width;
    picture.height = height;
    picture.rgba = std::move(pixels);
    return true;
}
