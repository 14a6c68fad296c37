#define GL_GLEXT_PROTOTYPES 1
#include "gfx/OGL_Names.h"

#include <atomic>
#include <cstdio>

namespace
{
std::atomic<long> alive[OGL_Names::KindCount];

const char* const Singular[OGL_Names::KindCount] = {"texture", "framebuffer", "renderbuffer",
                                                    "sync fence"};
} // namespace

void OGL_Names::Created(Kind kind)
{
    ++alive[kind];
}

void OGL_Names::Released(Kind kind)
{
    --alive[kind];
}

long OGL_Names::Alive(Kind kind)
{
    return alive[kind].load();
}

GLuint OGL_Names::GenTexture()
{
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name != 0)
        Created(Texture);
    return name;
}

GLuint OGL_Names::GenFramebuffer()
{
    GLuint name = 0;
    glGenFramebuffers(1, &name);
    if (name != 0)
        Created(Framebuffer);
    return name;
}

GLuint OGL_Names::GenRenderbuffer()
{
    GLuint name = 0;
    glGenRenderbuffers(1, &name);
    if (name != 0)
        Created(Renderbuffer);
    return name;
}

GLsync OGL_Names::FenceSync()
{
    GLsync fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    if (fence)
        Created(Sync);
    return fence;
}

void OGL_Names::DeleteTexture(GLuint& name)
{
    if (name == 0)
        return;
    glDeleteTextures(1, &name);
    Released(Texture);
    name = 0;
}

void OGL_Names::DeleteFramebuffer(GLuint& name)
{
    if (name == 0)
        return;
    glDeleteFramebuffers(1, &name);
    Released(Framebuffer);
    name = 0;
}

void OGL_Names::DeleteRenderbuffer(GLuint& name)
{
    if (name == 0)
        return;
    glDeleteRenderbuffers(1, &name);
    Released(Renderbuffer);
    name = 0;
}

void OGL_Names::DeleteSync(GLsync& fence)
{
    if (!fence)
        return;
    glDeleteSync(fence);
    Released(Sync);
    fence = nullptr;
}

std::string OGL_Names::DescribeAlive()
{
    std::string text;
    for (int kind = 0; kind < KindCount; ++kind)
    {
        const long count = Alive(Kind(kind));
        if (count == 0)
            continue;
        if (!text.empty())
            text += ", ";
        text += std::to_string(count) + " " + Singular[kind] + (count == 1 ? "" : "s");
    }
    return text;
}

std::string OGL_Names::ReportAlive(const char* host)
{
    const std::string text = DescribeAlive();
#ifndef NDEBUG
    if (!text.empty())
        std::fprintf(stderr, "%s: GL names still alive as the context ends: %s\n", host,
                     text.c_str());
#else
    (void)host;
#endif
    return text;
}
