#include "gfx/OGL_TextAtlas.h"

#include "gfx/OGL_Names.h"

#include <GL/glext.h>
#include <algorithm>

OGL_TextAtlas::OGL_TextAtlas(int pageSize, int maxPages)
    : pageSize(std::max(pageSize, 4 * Gap)), maxPages(std::max(maxPages, 1))
{
}

OGL_TextAtlas::~OGL_TextAtlas() = default;

bool OGL_TextAtlas::ReserveIn(Page& page, int cellWidth, int cellHeight, int& x, int& y) const
{
    // The shelf that wastes the fewest rows; lines of one size are about as high, so shelves
    // fill with their like.
    Shelf* best = nullptr;
    for (Shelf& shelf : page.shelves)
        if (shelf.height >= cellHeight && shelf.used + cellWidth <= pageSize &&
            (!best || shelf.height < best->height))
            best = &shelf;
    // A shelf much higher than the cell is only taken when no new shelf fits.
    const bool tooHigh = best && best->height > cellHeight + cellHeight / 2;
    if (best && (!tooHigh || page.top + cellHeight > pageSize))
    {
        x = best->used;
        y = best->y;
        best->used += cellWidth;
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

bool OGL_TextAtlas::Reserve(int width, int height, int& page, int& x, int& y, int& emptied)
{
    emptied = -1;
    const int cellWidth = width + 2 * Gap;
    const int cellHeight = height + 2 * Gap;
    if (width <= 0 || height <= 0 || cellWidth > pageSize || cellHeight > pageSize)
        return false;
    for (size_t i = 0; i < pages.size(); ++i)
        if (ReserveIn(pages[i], cellWidth, cellHeight, x, y))
        {
            page = static_cast<int>(i);
            x += Gap;
            y += Gap;
            return true;
        }
    if (CountPages() < maxPages)
        pages.emplace_back();
    else
    {
        // Every page is full: the one used longest ago goes, unless this frame still needs it.
        auto oldest =
            std::min_element(pages.begin(), pages.end(),
                             [](const Page& a, const Page& b) { return a.lastUsed < b.lastUsed; });
        if (oldest->lastUsed >= frame)
            return false;
        emptied = static_cast<int>(oldest - pages.begin());
        Empty(emptied);
    }
    page = emptied >= 0 ? emptied : CountPages() - 1;
    ReserveIn(pages[size_t(page)], cellWidth, cellHeight, x, y);
    x += Gap;
    y += Gap;
    return true;
}

void OGL_TextAtlas::Empty(int index)
{
    Page& page = pages[size_t(index)];
    for (const std::string& key : page.keys)
        cells.erase(key);
    page.keys.clear();
    page.shelves.clear();
    page.top = 0;
}

const OGL_TextAtlas::Cell* OGL_TextAtlas::Find(const std::string& key)
{
    const auto found = cells.find(key);
    if (found == cells.end())
        return nullptr;
    pages[size_t(found->second.page)].lastUsed = frame;
    return &found->second;
}

void OGL_TextAtlas::CreatePage(Page& page) const
{
    page.name = OGL_Names::GenTexture();
    glBindTexture(GL_TEXTURE_2D, page.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    // Cleared texels: the space no cell took yet is never sampled, but is not left undefined.
    const std::vector<uint8_t> clear(size_t(pageSize) * size_t(pageSize), 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_ALPHA8, pageSize, pageSize, 0, GL_ALPHA, GL_UNSIGNED_BYTE,
                 clear.data());
}

const OGL_TextAtlas::Cell* OGL_TextAtlas::Add(const std::string& key, int width, int height,
                                              const uint8_t* coverage)
{
    if (const Cell* known = Find(key))
        return known;
    int index = 0, x = 0, y = 0, emptied = -1;
    if (!coverage || !Reserve(width, height, index, x, y, emptied))
        return nullptr;
    Page& page = pages[size_t(index)];
    if (page.name == 0)
        CreatePage(page);
    else
        glBindTexture(GL_TEXTURE_2D, page.name);

    // The picture with its transparent frame, so that an emptied page's old texels do not
    // show at the edges.
    const int framedWidth = width + 2 * Gap;
    const int framedHeight = height + 2 * Gap;
    std::vector<uint8_t> framed(size_t(framedWidth) * size_t(framedHeight), 0);
    for (int row = 0; row < height; ++row)
        std::copy(coverage + size_t(row) * size_t(width),
                  coverage + size_t(row + 1) * size_t(width),
                  framed.begin() + (size_t(row + Gap) * size_t(framedWidth) + Gap));
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x - Gap, y - Gap, framedWidth, framedHeight, GL_ALPHA,
                    GL_UNSIGNED_BYTE, framed.data());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);

    page.lastUsed = frame;
    page.keys.push_back(key);
    const float size = static_cast<float>(pageSize);
    Cell& cell = cells[key];
    cell = {index,
            page.name,
            static_cast<float>(x) / size,
            static_cast<float>(y) / size,
            static_cast<float>(x + width) / size,
            static_cast<float>(y + height) / size};
    return &cell;
}

void OGL_TextAtlas::Delete()
{
    for (Page& page : pages)
        OGL_Names::DeleteTexture(page.name);
    pages.clear();
    cells.clear();
}
