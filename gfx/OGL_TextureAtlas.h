#pragma once

#include <GL/gl.h>

#include <vector>

class OGL_TextureFoto;

// Shared texture pages for the many small pictures of the locator labels: each picture gets a
// cell of a page, so that every label picture in a page draws with one bind. Pages are square
// RGBA textures with three mipmap levels made on the CPU; a cell is the picture with a gutter
// of its edge texels around it (the clamp of a texture of its own) and starts and ends on
// multiples of 4 texels, so that no level mixes one cell's texels into its neighbour's.
//
// Cells go on shelves: a shelf as high as its first cell, filled from the left, a new shelf
// above the last one when no shelf has room, a new page when no page has room. Pictures that
// cannot fit a page keep their own texture.
//
// Threading: Reserve is arithmetic; Add and Delete issue GL calls on the GL thread. The pages
// are released by Delete, by the rule of WGL_Context.h.
class OGL_TextureAtlas
{
public:
    static constexpr int DefaultPageSize = 1024;
    // Edge texels repeated on each side of a picture.
    static constexpr int Gutter = 2;
    // Cell origins and sizes are multiples of this: 2 to the power of the levels above 0.
    static constexpr int Alignment = 4;
    static constexpr int Levels = 3;

    explicit OGL_TextureAtlas(int pageSize = DefaultPageSize);
    ~OGL_TextureAtlas();

    OGL_TextureAtlas(const OGL_TextureAtlas&) = delete;
    OGL_TextureAtlas& operator=(const OGL_TextureAtlas&) = delete;

    // Where a picture's own texels (without the gutter) lie in a page.
    struct Cell
    {
        int page;
        int x;
        int y;
        int width;
        int height;
    };
    // Finds room for a picture of width × height texels, opening a page when none has room.
    // False for an empty picture or one that cannot fit an empty page.
    bool Reserve(int width, int height, Cell& cell);

    // Copies the texture's decoded picture into a new cell and hands the texture its place
    // there, which lets the texture's own pixels and GL object go. False, and the texture left
    // alone, for a texture without pixels or with a picture too large for a page.
    bool Add(OGL_TextureFoto& texture);

    int GetPageSize() const { return pageSize; }
    int CountPages() const { return static_cast<int>(pages.size()); }
    // The page's GL object; 0 before Add made it.
    GLuint GetPageName(int page) const;
    // Releases every page's GL object, once nothing draws from the cells any more.
    void Delete();

private:
    struct Shelf
    {
        int y;
        int height;
        int used; // width taken from the left
    };
    struct Page
    {
        GLuint name = 0;
        std::vector<Shelf> shelves;
        int top = 0; // height taken by shelves
    };
    bool ReserveIn(Page& page, int cellWidth, int cellHeight, int& x, int& y) const;
    void CreatePage(Page& page) const;

    int pageSize;
    std::vector<Page> pages;
};
