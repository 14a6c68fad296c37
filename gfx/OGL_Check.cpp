#include "gfx/OGL_Check.h"

#include <GL/gl.h>
#include <cstdio>

int OGL_ReportErrors(const char* file, int line, const char* call)
{
    int count = 0;
    // A bounded drain: without a current context glGetError may never return GL_NO_ERROR.
    for (GLenum error = glGetError(); error != GL_NO_ERROR && count < 16; error = glGetError())
    {
        std::fprintf(stderr, "%s:%d: GL error 0x%04x after %s\n", file, line, error, call);
        ++count;
    }
    return count;
}

int OGL_DrainErrors()
{
    int count = 0;
    while (glGetError() != GL_NO_ERROR && count < 16)
        ++count;
    return count;
}
