#include "gfx/OGL_TextureAtlas.h"
#include "gfx/GFX_Image.h"
#include "gfx/OGL_TextureFoto.h"

#include "support/GLTestFixture.h"
#include "support/ImageFiles.h"
#include "support/TempDir.h"

#include <GL/gl.h>

#include <vector>

namespace
{
using Cell = OGL_TextureAtlas::Cell;

// The cell with its gutter, rounded out to the alignment, as the atlas takes it from a page.
struct Taken
{
    int page, left, bottom, right, top;
};
Taken TakenBy(const Cell& cell)
{
    constexpr int g = OGL_TextureAtlas::Gutter;
    constexpr int a = OGL_TextureAtlas::Alignment;
    const int left = cell.x - g;
    const int bottom = cell.y - g;
    return {cell.page, left, bottom, left + (cell.width + 2 * g + a - 1) / a * a,
            bottom + (cell.height + 2 * g + a - 1) / a * a};
}

bool Overlap(const Taken& a, const Taken& b)
{
    return a.page == b.page && a.left < b.right && b.left < a.right && a.bottom < b.top &&
           b.bottom < a.top;
}
} // namespace

TEST(OGL_TextureAtlasTest, EqualPicturesFillAPageExactlyAndTheNextOpensAnother)
{
    // 12 + 2 · 2 gutter = 16: a 64 page holds 4 × 4 of them, shelf by shelf from the bottom.
    OGL_TextureAtlas atlas(64);
    std::vector<Cell> cells(17);
    for (Cell& cell : cells)
        ASSERT_TRUE(atlas.Reserve(12, 12, cell));
    for (int i = 0; i < 16; ++i)
    {
        EXPECT_EQ(cells[i].page, 0) << i;
        EXPECT_EQ(cells[i].x, 16 * (i % 4) + 2) << i;
        EXPECT_EQ(cells[i].y, 16 * (i / 4) + 2) << i;
    }
    EXPECT_EQ(cells[16].page, 1);
    EXPECT_EQ(cells[16].x, 2);
    EXPECT_EQ(cells[16].y, 2);
    EXPECT_EQ(atlas.CountPages(), 2);
}

TEST(OGL_TextureAtlasTest, OddSizesGetAlignedCellsThatNeverOverlap)
{
    OGL_TextureAtlas atlas(128);
    const int sizes[][2] = {{1, 1},   {37, 23}, {50, 50}, {3, 61}, {61, 3},  {17, 17},
                            {50, 49}, {9, 100}, {124, 5}, {2, 2},  {33, 34}, {50, 50}};
    std::vector<Taken> taken;
    for (int round = 0; round < 4; ++round)
        for (const auto& size : sizes)
        {
            Cell cell;
            ASSERT_TRUE(atlas.Reserve(size[0], size[1], cell)) << size[0] << " x " << size[1];
            EXPECT_EQ(cell.width, size[0]);
            EXPECT_EQ(cell.height, size[1]);
            const Taken t = TakenBy(cell);
            EXPECT_EQ(t.left % OGL_TextureAtlas::Alignment, 0);
            EXPECT_EQ(t.bottom % OGL_TextureAtlas::Alignment, 0);
            EXPECT_GE(t.left, 0);
            EXPECT_GE(t.bottom, 0);
            EXPECT_LE(t.right, 128);
            EXPECT_LE(t.top, 128);
            for (const Taken& other : taken)
                EXPECT_FALSE(Overlap(t, other)) << size[0] << " x " << size[1];
            taken.push_back(t);
        }
    EXPECT_GT(atlas.CountPages(), 1);
}

TEST(OGL_TextureAtlasTest, EmptyAndOversizedPicturesGetNoCell)
{
    OGL_TextureAtlas atlas(64);
    Cell cell{-1, -1, -1, -1, -1};
    EXPECT_FALSE(atlas.Reserve(0, 10, cell));
    EXPECT_FALSE(atlas.Reserve(10, -1, cell));
    // 61 + 4 rounds up to 68, over the page.
    EXPECT_FALSE(atlas.Reserve(61, 10, cell));
    EXPECT_EQ(cell.page, -1);
    EXPECT_EQ(atlas.CountPages(), 0);
    // 60 + 4 is the whole page.
    EXPECT_TRUE(atlas.Reserve(60, 60, cell));
    EXPECT_EQ(atlas.CountPages(), 1);
}

class OGL_TextureAtlasGLTest : public GLTest
{
protected:
    // Draws the texture's whole picture over the viewport and returns the pixel at (x, y).
    Pixel DrawnPixel(OGL_TextureFoto& texture, int x, int y)
    {
        glViewport(0, 0, Width, Height);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, Width, 0, Height, -1, 1);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_DEPTH_TEST);
        glDisable(GL_BLEND);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glColor4f(1, 1, 1, 1);
        texture.DrawQuad({0, 0, 0}, {float(Width), 0, 0}, {float(Width), float(Height), 0},
                         {0, float(Height), 0});
        return ReadPixel(x, y);
    }

    TempDir files;
};

TEST_F(OGL_TextureAtlasGLTest, APictureInItsCellDrawsAsFromItsOwnTextureAndLetsItsPixelsGo)
{
    // Four quarters of different colours, so any shift or flip of the cell shows.
    const std::string path =
        files.Write("quarters.tga",
                    MakeTgaRgba(30, 20,
                                [](int x, int y) -> std::array<unsigned char, 4>
                                {
                                    return {static_cast<unsigned char>(x < 15 ? 255 : 0),
                                            static_cast<unsigned char>(y < 10 ? 255 : 0), 128, 255};
                                }));
    OGL_TextureFoto own(OGL_TextureFoto::NonPowerOfTwo);
    own.SetWrap(GL_CLAMP_TO_EDGE);
    ASSERT_TRUE(own.LoadImage(path));
    OGL_TextureFoto shared(OGL_TextureFoto::NonPowerOfTwo);
    shared.SetWrap(GL_CLAMP_TO_EDGE);
    ASSERT_TRUE(shared.LoadImage(path));

    OGL_TextureAtlas atlas(64);
    OGL_TextureFoto other(OGL_TextureFoto::NonPowerOfTwo);
    ASSERT_TRUE(other.LoadImage(files.Write("other.tga", MakeTga(7, 9, 0, 255, 0))));
    ASSERT_TRUE(atlas.Add(other)); // the picture does not start at the page's corner
    ASSERT_TRUE(atlas.Add(shared));
    EXPECT_TRUE(shared.IsInAtlas());
    EXPECT_FALSE(shared.GetImage()->HasPixels());
    EXPECT_TRUE(shared.HasPicture());
    EXPECT_EQ(shared.GetWidth(), 30);
    EXPECT_EQ(shared.GetHeight(), 20);
    EXPECT_EQ(shared.GetPictureName(), atlas.GetPageName(0));

    for (const auto& [x, y] :
         {std::pair{100, 100}, {700, 100}, {100, 500}, {700, 500}, {400, 300}, {2, 2}, {797, 597}})
        EXPECT_PRED3(Near, DrawnPixel(shared, x, y), DrawnPixel(own, x, y), 3) << x << ", " << y;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(OGL_TextureAtlasGLTest, AFailedPictureStaysOutAndAPictureAfterAFullPageGetsANewOne)
{
    OGL_TextureAtlas atlas(32);
    OGL_TextureFoto failed(OGL_TextureFoto::NonPowerOfTwo);
    EXPECT_FALSE(failed.LoadImage(files.Write("broken.tga", "not a picture")));
    EXPECT_FALSE(atlas.Add(failed));
    EXPECT_FALSE(failed.IsInAtlas());
    EXPECT_FALSE(failed.HasPicture());
    EXPECT_EQ(atlas.CountPages(), 0);

    // A 28 × 28 picture fills a 32 page; the grey one after it opens a second page.
    OGL_TextureFoto first(OGL_TextureFoto::NonPowerOfTwo);
    ASSERT_TRUE(first.LoadImage(files.Write("first.tga", MakeTga(28, 28, 255, 0, 0))));
    ASSERT_TRUE(atlas.Add(first));
    OGL_TextureFoto late(OGL_TextureFoto::NonPowerOfTwo);
    ASSERT_TRUE(late.LoadImage(files.Write("late.tga", MakeTga(5, 5, 0, 0, 255))));
    ASSERT_TRUE(atlas.Add(late));
    EXPECT_EQ(atlas.CountPages(), 2);
    EXPECT_NE(first.GetPictureName(), late.GetPictureName());
    EXPECT_PRED3(Near, DrawnPixel(first, 400, 300), (Pixel{255, 0, 0, 255}), 2);
    EXPECT_PRED3(Near, DrawnPixel(late, 400, 300), (Pixel{0, 0, 255, 255}), 2);

    // Too large for any page: it keeps its own texture and its pixels.
    OGL_TextureFoto large(OGL_TextureFoto::NonPowerOfTwo);
    ASSERT_TRUE(large.LoadImage(files.Write("large.tga", MakeTga(40, 8, 0, 255, 0))));
    EXPECT_FALSE(atlas.Add(large));
    EXPECT_TRUE(large.GetImage()->HasPixels());
    EXPECT_PRED3(Near, DrawnPixel(large, 400, 300), (Pixel{0, 255, 0, 255}), 2);
    atlas.Delete();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}
