#include "gfx/OGL_TextureFoto.h"

#include <gtest/gtest.h>

namespace
{
TEST(OGL_TextureFotoTest, ModeFollowsTheFirstMatchingExtension)
{
    struct Row
    {
        const char* extensions;
        OGL_TextureFoto::Mode mode;
    };
    const Row rows[] = {
        {"GL_ARB_texture_rectangle GL_ARB_texture_non_power_of_two",
         OGL_TextureFoto::NonPowerOfTwo},
        {"GL_EXT_bgra GL_ARB_texture_rectangle", OGL_TextureFoto::Rectangle},
        {"GL_NV_texture_rectangle", OGL_TextureFoto::Rectangle},
        {"GL_EXT_bgra", OGL_TextureFoto::Plain},
        {"", OGL_TextureFoto::Plain},
        {nullptr, OGL_TextureFoto::Plain}, // no context: nothing advertised
    };
    for (const Row& row : rows)
        EXPECT_EQ(OGL_TextureFoto::ModeForExtensions(row.extensions), row.mode)
            << (row.extensions ? row.extensions : "(null)");
}

TEST(OGL_TextureFotoTest, ModeSetsTargetAndMipmaps)
{
    const OGL_TextureFoto rectangle(OGL_TextureFoto::Rectangle);
    EXPECT_EQ(rectangle.GetTarget(), GLenum(0x84F5));
    EXPECT_FALSE(rectangle.HasMipmaps());
    EXPECT_EQ(rectangle.GetMinFilter(), GLenum(GL_LINEAR));
    for (OGL_TextureFoto::Mode mode : {OGL_TextureFoto::NonPowerOfTwo, OGL_TextureFoto::Plain})
    {
        const OGL_TextureFoto foto(mode);
        EXPECT_EQ(foto.GetTarget(), GLenum(GL_TEXTURE_2D));
        EXPECT_TRUE(foto.HasMipmaps());
        EXPECT_EQ(foto.GetMinFilter(), GLenum(GL_LINEAR_MIPMAP_LINEAR));
    }
    EXPECT_EQ(rectangle.GetWrap(), GLenum(GL_CLAMP));
    EXPECT_EQ(rectangle.GetName(), 0u);
}

TEST(OGL_TextureFotoTest, CoverFitCropsTheOverflowingDirectionEqually)
{
    struct Row
    {
        float imageWidth, imageHeight, quadWidth, quadHeight;
        OGL_TextureFoto::TexRect expected;
    };
    const Row rows[] = {
        // 300 × 200 on a square: the middle 200 × 200 texels, the whole height.
        {300, 200, 100, 100, {1.0f / 6, 0, 5.0f / 6, 1}},
        // Tall picture on a square: the middle of its height.
        {100, 400, 50, 50, {0, 0.375f, 1, 0.625f}},
        // Same aspect: the whole picture, also when only rounding differs.
        {640, 480, 64, 48, {0, 0, 1, 1}},
        {300, 200, 150.05f, 100, {0, 0, 1, 1}},
        // Wide quad, square picture: the middle band of rows.
        {50, 50, 200, 100, {0, 0.25f, 1, 0.75f}},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << row.imageWidth << "x" << row.imageHeight << " on "
                                        << row.quadWidth << "x" << row.quadHeight);
        const auto fit = OGL_TextureFoto::CoverFit(row.imageWidth, row.imageHeight, row.quadWidth,
                                                   row.quadHeight);
        EXPECT_NEAR(fit.s0, row.expected.s0, 1e-3f);
        EXPECT_NEAR(fit.t0, row.expected.t0, 1e-3f);
        EXPECT_NEAR(fit.s1, row.expected.s1, 1e-3f);
        EXPECT_NEAR(fit.t1, row.expected.t1, 1e-3f);
    }
}

TEST(OGL_TextureFotoTest, ContainFitCentresTheWholePicture)
{
    struct Row
    {
        float imageWidth, imageHeight;
        OGL_TextureFoto::Rect expected;
    };
    // All on the rectangle left 100, right 200, top 200, bottom 100.
    const Row rows[] = {
        {300, 200, {100, 200, 183.333f, 116.667f}}, // 100 × 66.7, centred vertically
        {200, 300, {116.667f, 183.333f, 200, 100}}, // 66.7 × 100, centred horizontally
        {10, 10, {100, 200, 200, 100}},             // small pictures grow to fit
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << row.imageWidth << "x" << row.imageHeight);
        const auto quad =
            OGL_TextureFoto::ContainFit(row.imageWidth, row.imageHeight, 100, 200, 200, 100);
        EXPECT_NEAR(quad.left, row.expected.left, 1e-3f);
        EXPECT_NEAR(quad.right, row.expected.right, 1e-3f);
        EXPECT_NEAR(quad.top, row.expected.top, 1e-3f);
        EXPECT_NEAR(quad.bottom, row.expected.bottom, 1e-3f);
    }
}
} // namespace
