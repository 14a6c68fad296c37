#include "tools/artwork/ART_Png.h"

#include "util/UTL_PngFile.h"

bool ART_WritePng(const std::string& path, const ART_Canvas& canvas)
{
    const std::vector<uint8_t> rgba = canvas.ToRgba8();
    std::string ignored;
    return UTL_WritePng(path, canvas.Width(), canvas.Height(), rgba.data(), false, ignored);
}
