#include "tools/snapshot/SnapshotPng.h"

#include "util/UTL_PngFile.h"

#include <GL/gl.h>
#include <vector>

bool WriteFramebufferPng(const std::string& path, int width, int height, std::string& error)
{
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // The scene clears alpha to 0; a snapshot is meant to be seen, so it is made opaque.
    for (size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;
    return UTL_WritePng(path, width, height, pixels.data(), true, error);
}
