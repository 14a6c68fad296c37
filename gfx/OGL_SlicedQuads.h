#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// Draws quads from the client arrays in slices, and before handing a slice over waits until the
// GL has drawn the slice before the last. A software rasteriser keeps every batch of work it had
// to open while its threads were busy; the wait keeps that queue, and the memory it holds, short,
// while the GL always has a slice to draw. Without a slice size the quads go at once.
//
// GL thread only. The fences are released by Forget and Delete, with the context current (the
// rule of WGL_Context.h).
class OGL_SlicedQuads
{
public:
    OGL_SlicedQuads() = default;
    OGL_SlicedQuads(const OGL_SlicedQuads&) = delete;
    OGL_SlicedQuads& operator=(const OGL_SlicedQuads&) = delete;

    // Slices of `quads` quads; 0: no slices.
    void SetSliceSize(long long quads) { sliceSize = quads; }
    long long GetSliceSize() const { return sliceSize; }
    // A new frame: the count starts again and the marks of the last frame's slices go.
    void Forget();
    // glDrawArrays of `quads` quads from the first vertex of the arrays set, in slices.
    void Draw(long long quads);
    void Delete() { Forget(); }

    static constexpr GLuint64 WaitNanoseconds = 10'000'000'000;

private:
    // Marks the end of a slice, after waiting for the one before the last.
    void MarkSlice();

    long long sliceSize = 0;
    long long sinceMark = 0;
    // The last two slices handed over, oldest first; null where none.
    GLsync slices[2] = {nullptr, nullptr};
};
