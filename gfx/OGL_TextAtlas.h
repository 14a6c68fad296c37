#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Shared alpha pages for the pictures of text lines (names on labels and the name plate), so
// that every line in a page draws with one bind. A line is found again by the key it was added
// under. Pages are square GL_ALPHA textures, filtered linearly, without mipmaps: lines are made
// at about the size they show at. Each cell keeps a transparent texel around its picture, so
// that filtering never reaches a neighbour.
//
// Cells go on shelves: a new line goes on the shelf whose height wastes the least, or on a new
// shelf above the last one, or on a new page. The pages are bounded: when all are full, the one
// used longest ago is emptied for new lines, unless it was used in the current frame (its cells
// may be waiting in a batch to be drawn); then the line is refused and its owner draws it
// otherwise. The owner starts each frame with NextFrame.
//
// Threading: Reserve is arithmetic; Add, Find and Delete are for the GL thread. The pages are
// released by Delete, by the rule of WGL_Context.h.
class OGL_TextAtlas
{
public:
    static constexpr int DefaultPageSize = 1024;
    static constexpr int DefaultMaxPages = 8;
    // Transparent texels around each picture.
    static constexpr int Gap = 1;

    explicit OGL_TextAtlas(int pageSize = DefaultPageSize, int maxPages = DefaultMaxPages);
    ~OGL_TextAtlas();

    OGL_TextAtlas(const OGL_TextAtlas&) = delete;
    OGL_TextAtlas& operator=(const OGL_TextAtlas&) = delete;

    // Where a picture lies: its page's GL object and its texture rectangle, s0…s1 left to right
    // and t0…t1 bottom to top.
    struct Cell
    {
        int page = 0;
        GLuint name = 0;
        float s0 = 0.0f, t0 = 0.0f, s1 = 0.0f, t1 = 0.0f;
    };

    // The cell added under `key`, null when there is none (never added, or its page was
    // emptied). Marks the page used in this frame.
    const Cell* Find(const std::string& key);
    // Copies a picture of width × height coverage bytes, bottom row first, into a new cell under
    // `key`, making the page's GL object when it is the page's first. Null when the picture is
    // empty or larger than a page, or when every page is full and used in this frame.
    const Cell* Add(const std::string& key, int width, int height, const uint8_t* coverage);
    // Cells used before now may go for new ones.
    void NextFrame() { ++frame; }

    // Finds room for a picture of width × height texels: its lower-left texel, the gap not
    // counted. False when none is left without emptying a page (see above) or when the picture
    // cannot fit a page; `emptied` is the page emptied for it, or −1.
    bool Reserve(int width, int height, int& page, int& x, int& y, int& emptied);

    int GetPageSize() const { return pageSize; }
    int CountPages() const { return static_cast<int>(pages.size()); }
    size_t CountCells() const { return cells.size(); }
    // Releases every page's GL object; the cells go with them.
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
        uint64_t lastUsed = 0;
        std::vector<std::string> keys;
    };
    bool ReserveIn(Page& page, int cellWidth, int cellHeight, int& x, int& y) const;
    void Empty(int page);
    void CreatePage(Page& page) const;

    int pageSize;
    int maxPages;
    uint64_t frame = 1;
    std::vector<Page> pages;
    std::unordered_map<std::string, Cell> cells;
};
