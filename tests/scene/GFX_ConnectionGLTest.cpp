#include "scene/GFX_ConnectionFriends.h"

#include "scene/GFX_Friend.h"
#include "scene/GFX_LocationHolderFriend.h"

#include "SceneViews.h"
#include "support/ImageFiles.h"
#include "support/TestSceneOwner.h"

#include <cmath>

using namespace SceneViews;

namespace
{
const GLTest::Pixel Black{0, 0, 0, 255};

// The colour of a pixel; what blending leaves in the alpha channel does not show.
GLTest::Pixel Rgb(GLTest::Pixel pixel)
{
    pixel[3] = 255;
    return pixel;
}

// Two friends' locators on the meridian 0, symmetric about the equator, `chord` units apart.
class GFX_ConnectionGLTest : public GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        ann.SetId("1");
        bob.SetId("2");
        holderAnn.SetFriend(&ann);
        holderBob.SetFriend(&bob);
    }

    void PlaceHolders(float chord)
    {
        const float latitude = std::asin(chord / (2 * GFX_Globe::Radius)) * 180.0f / GFX_Globe::Pi;
        holderAnn.SetLatitude(-latitude);
        holderBob.SetLatitude(latitude);
        holderAnn.Update();
        holderBob.Update();
    }

    // Draws the line as the main scene draws its batch, in a flat view with the line running
    // up the middle of the window, one unit to a pixel.
    void DrawLine(GFX_Connection& connection, const OGL_Texture2D& dot)
    {
        ClearFrame();
        const GFX_Vector3 middle =
            holderAnn.GetPosition().Plus(holderBob.GetPosition()).Scale(0.5f);
        FlatView(middle, 1.0f);
        connection.SetBillboardAxes({0, 1, 0}, {1, 0, 0});
        glEnable(GL_TEXTURE_2D);
        glDisable(GL_LIGHTING);
        glDepthMask(GL_FALSE);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        const_cast<OGL_Texture2D&>(dot).Bind();
        glBegin(GL_QUADS);
        connection.Draw();
        glEnd();
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
    }

    // The window row of the point `along` units up the line from holderAnn.
    int RowAlong(float along) const
    {
        const float length = holderBob.GetPosition().Minus(holderAnn.GetPosition()).Length();
        return int(std::lround(Height / 2.0f - length / 2 + along));
    }

    TempDir dir;
    TestSceneOwner owner;
    GFX_Friend ann{&owner}, bob{&owner};
    GFX_LocationHolderFriend holderAnn{&owner}, holderBob{&owner};
};
} // namespace

TEST_F(GFX_ConnectionGLTest, DotsEveryNinetyUnitsAndNoneOnTheEnds)
{
    const auto dot = MakeTexture(dir, "billboard.tga", DiscDot(6));
    owner.holders = {&holderAnn, &holderBob};
    struct Row
    {
        float chord;
        int dots;
    };
    // Chords a hair above their nominal length, which the float globe would otherwise round
    // either way: 450 units give four dots at 90, 180, 270 and 360; 180 one in the middle; 179
    // and 100 none.
    for (const Row& row : {Row{450.05f, 4}, Row{180.05f, 1}, Row{179.9f, 0}, Row{100, 0}})
    {
        SCOPED_TRACE(row.chord);
        PlaceHolders(row.chord);
        const float length = holderBob.GetPosition().Minus(holderAnn.GetPosition()).Length();
        ASSERT_NEAR(length, row.chord, 0.04f);

        GFX_ConnectionFriends connection(&owner);
        connection.SetIds("1", "2");
        connection.SetDimAlpha(GFX_ConnectionFriends::FriendsDimAlpha);
        DrawLine(connection, *dot);

        // Every half interval along the line, the ends included: lit exactly at the dots.
        int lit = 0;
        for (float along = 0; along <= length + 1; along += 45)
        {
            const int step = int(std::lround(along / 45));
            const bool dotHere = step % 2 == 0 && step > 0 && step / 2 <= row.dots;
            const Pixel pixel = Rgb(ReadPixel(Width / 2, RowAlong(along)));
            SCOPED_TRACE(testing::Message() << along << " units along");
            if (dotHere)
            {
                // The dot's own colour, from its place on the globe, at opacity 0.4.
                const GFX_Vector3 position = holderAnn.GetPosition().Plus({0, along, 0});
                const GFX_Vector3 color = GFX_Globe::PositionColor(position);
                EXPECT_PRED3(Near, pixel,
                             (Pixel{uint8_t(std::lround(color.x * 0.4f * 255)),
                                    uint8_t(std::lround(color.y * 0.4f * 255)),
                                    uint8_t(std::lround(color.z * 0.4f * 255)), 255}),
                             3);
                ++lit;
            }
            else
                EXPECT_PRED3(Near, pixel, Black, 0);
        }
        EXPECT_EQ(lit, row.dots);
    }
}

TEST_F(GFX_ConnectionGLTest, HighlightedDotsAreLargerAndOpaque)
{
    const auto dot = MakeTexture(dir, "billboard.tga", MakeTga(8, 8, 255, 255, 255));
    owner.holders = {&holderAnn, &holderBob};
    PlaceHolders(450.05f);
    GFX_ConnectionFriends connection(&owner);
    connection.SetIds("1", "2");
    connection.SetDimAlpha(GFX_ConnectionFriends::FriendsDimAlpha);

    const GFX_Vector3 color = GFX_Globe::PositionColor(holderAnn.GetPosition().Plus({0, 180, 0}));
    auto scaled = [&](float alpha)
    {
        return Pixel{uint8_t(std::lround(color.x * alpha * 255)),
                     uint8_t(std::lround(color.y * alpha * 255)),
                     uint8_t(std::lround(color.z * alpha * 255)), 255};
    };
    const int row = RowAlong(180);

    // Dim: 90 wide (45 either side of the line) at opacity 0.4.
    DrawLine(connection, *dot);
    EXPECT_PRED3(Near, Rgb(ReadPixel(Width / 2, row)), scaled(0.4f), 3);
    EXPECT_PRED3(Near, Rgb(ReadPixel(Width / 2 + 42, row)), scaled(0.4f), 3);
    EXPECT_PRED3(Near, ReadPixel(Width / 2 + 48, row), Black, 0);

    // Highlighted through the locator, as picking does: 125 wide, opaque, in the colour of its
    // place where the selection is drawn plain, else in the selection's.
    connection.Draw(); // outside a batch the first draw only resolves the ends
    holderBob.SetConnectionsHighlighted(true);
    ASSERT_TRUE(connection.IsHighlighted());
    owner.drawPaths.brightSelection = false;
    DrawLine(connection, *dot);
    EXPECT_PRED3(Near, ReadPixel(Width / 2, row), scaled(1.0f), 3);
    EXPECT_PRED3(Near, ReadPixel(Width / 2 + 59, row), scaled(1.0f), 3);
    EXPECT_PRED3(Near, ReadPixel(Width / 2 - 59, row), scaled(1.0f), 3);
    EXPECT_PRED3(Near, ReadPixel(Width / 2 + 66, row), Black, 0);
    owner.drawPaths.brightSelection = true;
    DrawLine(connection, *dot);
    const GFX_Vector3 bright = GFX_ConnectionFriends::SelectedDotColor(owner.GetTheme());
    const Pixel selected{uint8_t(std::lround(bright.x * 255)), uint8_t(std::lround(bright.y * 255)),
                         uint8_t(std::lround(bright.z * 255)), 255};
    EXPECT_PRED3(Near, ReadPixel(Width / 2 - 59, row), selected, 3);
    EXPECT_PRED3(Near, ReadPixel(Width / 2 + 66, row), Black, 0);
}

TEST_F(GFX_ConnectionGLTest, ALineFindsItsEndsWhenTheyAppearAndRegistersOnce)
{
    PlaceHolders(450.05f);
    GFX_ConnectionFriends connection(&owner);
    connection.SetIds("1", "2");
    GFX_ConnectionFriends loop(&owner);
    loop.SetIds("1", "1");

    glBegin(GL_QUADS);
    connection.Draw(); // no locators yet
    EXPECT_EQ(owner.holderLookups, 1);
    EXPECT_FALSE(connection.IsResolved());

    owner.holders = {&holderAnn};
    connection.Draw();
    connection.Draw();
    EXPECT_EQ(connection.GetHolder1(), &holderAnn);
    EXPECT_EQ(connection.GetHolder2(), nullptr);
    EXPECT_EQ(holderAnn.GetConnections().size(), 1u) << "registered once, though looked up twice";

    owner.holders = {&holderBob, &holderAnn};
    connection.Draw();
    EXPECT_TRUE(connection.IsResolved());
    EXPECT_EQ(connection.GetHolder2(), &holderBob);
    EXPECT_EQ(holderAnn.GetConnections().size(), 1u);
    EXPECT_EQ(holderBob.GetConnections().size(), 1u);

    const int lookups = owner.holderLookups;
    connection.Draw();
    connection.Draw();
    EXPECT_EQ(owner.holderLookups, lookups) << "a resolved line asks no more";

    // A line from a person to themselves never finds its second end.
    loop.Draw();
    loop.Draw();
    glEnd();
    EXPECT_EQ(loop.GetHolder1(), &holderAnn);
    EXPECT_FALSE(loop.IsResolved());
    EXPECT_EQ(holderAnn.GetConnections().size(), 2u);
}

TEST_F(GFX_ConnectionGLTest, APlainConnectionDrawsBetweenItsOwnPoints)
{
    const auto dot = MakeTexture(dir, "billboard.tga", DiscDot(6));
    PlaceHolders(180);
    GFX_Connection connection(nullptr);
    // Exactly 180 units: two intervals, one dot in the middle, opaque (alpha 1 by default).
    connection.SetStart(holderAnn.GetPosition());
    connection.SetEnd(holderAnn.GetPosition().Plus({0, 180, 0}));
    DrawLine(connection, *dot);
    const float length = holderBob.GetPosition().Minus(holderAnn.GetPosition()).Length();
    const int middle = int(std::lround(Height / 2.0f - length / 2 + 90));
    EXPECT_GT(ReadPixel(Width / 2, middle)[0], 200);
    EXPECT_PRED3(Near, ReadPixel(Width / 2, middle - 45), Black, 0);
    EXPECT_PRED3(Near, ReadPixel(Width / 2, middle + 45), Black, 0);
}
