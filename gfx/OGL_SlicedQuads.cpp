#define GL_GLEXT_PROTOTYPES 1
#include "gfx/OGL_SlicedQuads.h"

#include "gfx/OGL_Names.h"

#include <algorithm>

void OGL_SlicedQuads::Forget()
{
    sinceMark = 0;
    for (GLsync& slice : slices)
        OGL_Names::DeleteSync(slice);
}

void OGL_SlicedQuads::Draw(long long quads)
{
    for (long long first = 0; first < quads;)
    {
        long long count = quads - first;
        if (sliceSize > 0)
            count = std::min(count, sliceSize - sinceMark);
        glDrawArrays(GL_QUADS, GLint(first * 4), GLsizei(count * 4));
        first += count;
        sinceMark += count;
        if (sliceSize > 0 && sinceMark >= sliceSize)
        {
            MarkSlice();
            sinceMark = 0;
        }
    }
}

void OGL_SlicedQuads::MarkSlice()
{
    // The slice before the last must be drawn before this one is handed over: the rasteriser
    // works on one while the next is prepared, and no more than that waits.
    if (slices[0])
    {
        glClientWaitSync(slices[0], GL_SYNC_FLUSH_COMMANDS_BIT, WaitNanoseconds);
        OGL_Names::DeleteSync(slices[0]);
    }
    slices[0] = slices[1];
    slices[1] = OGL_Names::FenceSync();
    if (!slices[1])
        glFinish();
}
