#include "gfx/OGL_TextureAtlas.h"

#include "gfx/GFX_Image.h"
#include "gfx/OGL_Names.h"
#include "gfx/OGL_TextureFoto.h"

#include <GL/glext.h>
#include <algorithm>
#include <cstdint>

namespace
{
int RoundUp(int value, int multiple)
{
    return (value + multiple - 1) / multiple * multiple;
}

// The picture as RGBA rows with its gutter: width + 2·gutter by height + 2·gutter texels, the
// edge texels repeated outwards, padded with the nearest texel up to cellWidth × cellHeight.
std::vector<uint8_t> CellTexels(const GFX_Image& image, int gutter, int cellWidth, int cellHeight)
{
    const int width = image.GetWidth();
    const int height = image.GetHeight();
    const int channels = image.GetBitsPerPixel() / 8;
    const uint8_t* pixels = image.GetPixels();
    std::vector<uint8_t> cell(size_t(cellWidth) * cellHeight * 4);
    for (int y = 0; y < cellHeight; ++y)
    {
        const int sy = std::clamp(y - gutter, 0, height - 1);
        for (int x = 0; x < cellWidth; ++x)
        {
            const int sx = std::clamp(x - gutter, 0, width - 1);
            const uint8_t* from = pixels + (size_t(sy) * width + sx) * channels;
            uint8_t* to = &cell[(size_t(y) * cellWidth + x) * 4];
            switch (channels)
            {
            case 1: // luminance
                to[0] = to[1] = to[2] = from[0];
                to[3] = 255;
                break;
            case 2: // luminance and alpha
                to[0] = to[1] = to[2] = from[0];
                to[3] = from[1];
                break;
            case 3:
                to[0] = from[0];
                to[1] = from[1];
                to[2] = from[2];
                to[3] = 255;
                break;
            default:
                std::copy(from, from + 4, to);
                break;
            }
        }
    }
    return cell;
}

// The next mipmap level of an RGBA block of even width and height: each texel the mean of four.
std::vector<uint8_t> HalveTexels(const std::vector<uint8_t>& texels, int width, int height)
{
    const int half = width / 2;
    std::vector<uint8_t> smaller(size_t(half) * (height / 2) * 4);
    for (int y = 0; y < height / 2; ++y)
        for (int x = 0; x < half; ++x)
            for (int c = 0; c < 4; ++c)
            {
                auto at = [&](int dx, int dy)
                { return int(texels[((size_t(2 * y + dy) * width) + 2 * x + dx) * 4 + c]); };
                smaller[(size_t(y) * half + x) * 4 + c] =
                    uint8_t((at(0, 0) + at(1, 0) + at(0, 1) + at(1, 1) + 2) / 4);
            }
    return smaller;
}
} // namespace

OGL_TextureAtlas::OGL_TextureAtlas(int pageSize)
    : pageSize(RoundUp(std::max(pageSize, 1), Alignment))
{
}

OGL_TextureAtlas::~OGL_TextureAtlas() = default;

bool OGL_TextureAtlas::ReserveIn(Page& page, int cellWidth, int cellHeight, int& x, int& y) const
{
    // The lowest shelf that is high enough and has room; no shelf is more than twice as high
    // as a cell put on it, so that small pictures do not waste tall shelves.
    for (Shelf& shelf : page.shelves)
        if (shelf.height >= cellHeight && shelf.height <= 2 * cellHeight &&
            shelf.used + cellWidth <= pageSize)
        {
            x = shelf.used;
            y = shelf.y;
            shelf.used += cellWidth;
            return true;
        }
    if (page.top + cellHeight > pageSize)
        return false;
    page.shelves.push_back({page.top, cellHeight, cellWidth});
    x = 0;
    y = page.top;
    page.top += cellHeight;
    return true;
}

bool OGL_TextureAtlas::Reserve(int width, int height, Cell& cell)
{
    if (width <= 0 || height <= 0)
        return false;
    const int cellWidth = RoundUp(width + 2 * Gutter, Alignment);
    const int cellHeight = RoundUp(height + 2 * Gutter, Alignment);
    if (cellWidth > pageSize || cellHeight > pageSize)
        return false;
    int x = 0;
    int y = 0;
    for (size_t i = 0; i < pages.size(); ++i)
        if (ReserveIn(pages[i], cellWidth, cellHeight, x, y))
        {
            cell = {int(i), x + Gutter, y + Gutter, width, height};
            return true;
        }
    pages.emplace_back();
    ReserveIn(pages.back(), cellWidth, cellHeight, x, y);
    cell = {int(pages.size()) - 1, x + Gutter, y + Gutter, width, height};
    return true;
}

GLuint OGL_TextureAtlas::GetPageName(int page) const
{
    return page >= 0 && page < CountPages() ? pages[page].name : 0;
}

void OGL_TextureAtlas::CreatePage(Page& page) const
{
    page.name = OGL_Names::GenTexture();
    glBindTexture(GL_TEXTURE_2D, page.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, Levels - 1);
    // Cleared texels: the space no cell took yet is never sampled, but is not left undefined.
    const std::vector<uint8_t> clear(size_t(pageSize) * pageSize * 4, 0);
    for (int level = 0, size = pageSize; level < Levels; ++level, size /= 2)
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     clear.data());
}

bool OGL_TextureAtlas::Add(OGL_TextureFoto& texture)
{
    const GFX_Image* image = texture.GetImage();
    if (!image || !image->HasPixels() || image->GetBitsPerPixel() % 8 != 0 ||
        image->GetBitsPerPixel() == 0 || image->GetBitsPerPixel() > 32)
        return false;
    Cell cell;
    if (!Reserve(image->GetWidth(), image->GetHeight(), cell))
        return false;
    Page& page = pages[cell.page];
    if (page.name == 0)
        CreatePage(page);
    else
        glBindTexture(GL_TEXTURE_2D, page.name);

    int x = cell.x - Gutter;
    int y = cell.y - Gutter;
    int cellWidth = RoundUp(cell.width + 2 * Gutter, Alignment);
    int cellHeight = RoundUp(cell.height + 2 * Gutter, Alignment);
    std::vector<uint8_t> texels = CellTexels(*image, Gutter, cellWidth, cellHeight);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int level = 0; level < Levels; ++level)
    {
        if (level > 0)
        {
            texels = HalveTexels(texels, cellWidth, cellHeight);
            x /= 2;
            y /= 2;
            cellWidth /= 2;
            cellHeight /= 2;
        }
        glTexSubImage2D(GL_TEXTURE_2D, level, x, y, cellWidth, cellHeight, GL_RGBA,
                        GL_UNSIGNED_BYTE, texels.data());
    }

    const float size = float(pageSize);
    texture.MoveToAtlas(page.name,
                        {float(cell.x) / size, float(cell.y) / size,
                         float(cell.x + cell.width) / size, float(cell.y + cell.height) / size});
    return true;
}

void OGL_TextureAtlas::Delete()
{
    for (Page& page : pages)
        OGL_Names::DeleteTexture(page.name);
    pages.clear();
}
