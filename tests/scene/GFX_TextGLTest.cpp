#include "scene/GFX_Text.h"

#include "SceneViews.h"
#include "support/ImageFiles.h"

using namespace SceneViews;

namespace
{
// The colour of the font cell of column x and row y (row 0 at the top of the picture).
GLTest::Pixel CellColour(int column, int row)
{
    return {uint8_t(column * 16 + 8), uint8_t(row * 16 + 8), 77, 255};
}

class GFX_TextGLTest : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        font.LoadFont(dir.Write(
            "font.tga", MakeTgaRgba(256, 256,
                                    [](int x, int y)
                                    {
                                        const Pixel c = CellColour(x / 16, 15 - y / 16);
                                        return std::array<unsigned char, 4>{c[0], c[1], c[2], c[3]};
                                    })));
        ClearFrame();
        // Pixels, origin bottom-left.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, Width, 0, Height, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    TempDir dir;
    GFX_Text font;
};
} // namespace

TEST_F(GFX_TextGLTest, GlyphsComeFromTheirCellsAndAdvanceByTheirWidth)
{
    font.Bind();
    font.DrawText3D({100, 300, 0}, {1, 0, 0}, {0, 1, 0}, 40, 80, "Hi!~", {1, 1, 1});
    // 'H' 72, 'i' 105, '!' 33, '~' 126: columns code mod 16, rows code / 16.
    const Pixel expected[4] = {CellColour(8, 4), CellColour(9, 6), CellColour(1, 2),
                               CellColour(14, 7)};
    for (int i = 0; i < 4; ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_PRED3(Near, ReadPixel(100 + 40 * i + 20, 340), expected[i], 2);
        // Each glyph fills its whole box, the sampled part of the cell stretched over it.
        EXPECT_PRED3(Near, ReadPixel(100 + 40 * i + 2, 302), expected[i], 2);
        EXPECT_PRED3(Near, ReadPixel(100 + 40 * i + 37, 377), expected[i], 2);
    }
    // Four glyphs cover exactly 4 × 40 pixels.
    const Pixel black{0, 0, 0, 255};
    EXPECT_PRED3(Near, ReadPixel(97, 340), black, 0);
    EXPECT_PRED3(Near, ReadPixel(263, 340), black, 0);
    EXPECT_PRED3(Near, ReadPixel(120, 383), black, 0);
}

TEST_F(GFX_TextGLTest, TheColourTintsAndAnyPlaneWillDo)
{
    font.Bind();
    // Written upwards: right is +y and up is −x.
    font.DrawText3D({100, 300, 0}, {0, 1, 0}, {-1, 0, 0}, 40, 80, "AB", {0.5f, 1, 1});
    const Pixel a = CellColour(1, 4), b = CellColour(2, 4);
    EXPECT_PRED3(Near, ReadPixel(60, 320), (Pixel{uint8_t(a[0] / 2), a[1], a[2], 255}), 2);
    EXPECT_PRED3(Near, ReadPixel(60, 360), (Pixel{uint8_t(b[0] / 2), b[1], b[2], 255}), 2);
}

TEST_F(GFX_TextGLTest, DrawingLeavesTheStateItPromises)
{
    glEnable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glDisable(GL_LIGHTING);
    font.Bind();
    for (const char* text : {"", "x"})
    {
        SCOPED_TRACE(text);
        font.DrawText3D({100, 300, 0}, {1, 0, 0}, {0, 1, 0}, 40, 80, text, {1, 1, 1});
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
    }
    EXPECT_PRED3(Near, ReadPixel(120, 340), CellColour(8, 7), 2) << "'x' is 120";
}
