#pragma once

// GL_CHECK(call) runs a GL call and, in debug builds, reports any GL error it raised with the
// file, line and call text on stderr, then carries on. Release builds run the call alone.
#ifdef NDEBUG
#define GL_CHECK(call) call
#else
#define GL_CHECK(call)                                                                             \
    do                                                                                             \
    {                                                                                              \
        call;                                                                                      \
        OGL_ReportErrors(__FILE__, __LINE__, #call);                                               \
    } while (0)
#endif

// Drains glGetError and reports each error; returns how many there were.
int OGL_ReportErrors(const char* file, int line, const char* call);
// Drains glGetError without a word; returns how many errors there were.
int OGL_DrainErrors();
