#include "scene/GFX_RegionNames.h"

#include "gfx/GFX_TextShaper.h"
#include "scene/GFX_Text.h"

#include "SceneViews.h"

#include <vector>

using namespace SceneViews;

namespace
{
// A region's name drawn in shaped type over what lies beneath, in pixels of a flat view.
class GFX_RegionNamesGLTest : public GLTest
{
};
} // namespace

TEST_F(GFX_RegionNamesGLTest, ARegionsNameIsDrawnInItsColourAroundItsAnchor)
{
    GFX_Text font;
    if (!font.GetShaper().HasFonts())
        GTEST_SKIP() << "no font installed for shaped type";
    ClearFrame();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, Width, 0, Height, -100, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_DEPTH_TEST);

    std::vector<GFX_RegionName> names(2);
    names[0].text = "Anna Berg \u00B7 212";
    names[0].anchor = {400.0f, 300.0f, 0.0f};
    names[0].em = 48.0f;
    names[0].color = {1.0f, 0.5f, 0.0f};
    names[0].alpha = 1.0f;
    names[1] = names[0];
    names[1].anchor = {400.0f, 100.0f, 0.0f};
    names[1].alpha = 0.0f; // faded out
    GFX_RegionNames::Draw(names, font, {0.0f, 1.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.5f});

    ASSERT_TRUE(names[0].drawn);
    EXPECT_FALSE(names[1].drawn);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << "the depth test is back on";
    // Centred on the anchor, wider than high.
    const GFX_Vector3* box = names[0].corners;
    EXPECT_NEAR(0.5f * (box[0].x + box[2].x), 400.0f, 1.0f);
    EXPECT_NEAR(0.5f * (box[0].y + box[2].y), 300.0f, 1.0f);
    EXPECT_GT(box[1].x - box[0].x, 4.0f * (box[3].y - box[0].y));

    // Letters in the name's colour and the halo's, within the box and nowhere near the other.
    int letters = 0, halo = 0;
    for (int y = int(box[0].y); y < int(box[2].y); y += 2)
        for (int x = int(box[0].x); x < int(box[1].x); x += 2)
        {
            const Pixel p = ReadPixel(x, y);
            letters += p[0] > 200 && p[1] > 100 && p[1] < 160 && p[2] < 40;
            halo += p[0] < 40 && p[2] > 60;
        }
    EXPECT_GT(letters, 40);
    EXPECT_GT(halo, 10);
    for (int x = 250; x < 550; x += 5)
        EXPECT_PRED3(Near, ReadPixel(x, 100), (Pixel{0, 0, 0, 255}), 0) << x;
    font.ReleaseGL();
}
