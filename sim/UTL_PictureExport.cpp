#include "sim/UTL_PictureExport.h"

#include "sim/UTL_SimCtrlHalvane.h"

#include "gfx/OGL_Check.h"
#include "gfx/OGL_Framebuffer.h"

#include <algorithm>
#include <new>

int UTL_PictureExport::MaxSideSupported()
{
    return OGL_Framebuffer::MaxSide(MaxSide);
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

    OGL_DrainErrors();
    {
        OGL_Framebuffer target(width, height);
        if (!target.IsComplete() || OGL_DrainErrors() > 0)
        {
            error = "the OpenGL cannot draw a picture of " + std::to_string(width) + " × " +
                    std::to_string(height) + " (out of graphics memory?)";
            return false;
        }
        // A picture is the still view, its lines whole, whether or not the globe turns.
        const GFX_DrawPaths paths = controller.GetDrawPaths();
        GFX_DrawPaths whole = paths;
        whole.coarseRowsInMotion = false;
        controller.SetDrawPaths(whole);
        controller.Step(width, height, 0.0f);
        controller.SetDrawPaths(paths);
        target.ReadPixels(pixels);
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
