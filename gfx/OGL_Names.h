#pragma once

#include <GL/gl.h>
#include <GL/glext.h>
#include <string>

// The GL names the program makes and releases, counted by kind. Every texture, framebuffer,
// renderbuffer and sync fence of the program is made and released through these functions, so
// that what is still alive when a context goes can be told.
//
// The rule every owner of GL names follows (see WGL_Context.h): names are released on the GL
// thread with their context current, before the context goes — by the owner's Delete or
// ReleaseGL, never by a destructor, which may run without a context.
//
// The counts are process-wide atomics; the Gen and Delete functions issue GL calls and need the
// GL thread with a context current.
namespace OGL_Names
{
enum Kind
{
    Texture,
    Framebuffer,
    Renderbuffer,
    Sync,
    KindCount,
};

GLuint GenTexture();
GLuint GenFramebuffer();
GLuint GenRenderbuffer();
// A fence after the commands issued so far; null where the GL has none.
GLsync FenceSync();
// Each releases a name that is not 0 (null) and sets it to 0 (null).
void DeleteTexture(GLuint& name);
void DeleteFramebuffer(GLuint& name);
void DeleteRenderbuffer(GLuint& name);
void DeleteSync(GLsync& fence);

// A name made or released elsewhere (by OGL_Texture's own Create and Delete) counted as such.
void Created(Kind kind);
void Released(Kind kind);

// How many names of `kind` are alive.
long Alive(Kind kind);
// "2 textures, 1 framebuffer" for what is alive; empty when nothing is.
std::string DescribeAlive();
// In a debug build, reports on stderr what is still alive where a host's context ends (`host`
// names it). Returns DescribeAlive in every build.
std::string ReportAlive(const char* host);
} // namespace OGL_Names
