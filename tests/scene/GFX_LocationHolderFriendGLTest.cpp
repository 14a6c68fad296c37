#include "scene/GFX_LocationHolderFriend.h"

#include "gfx/GFX_TextShaper.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_LabelBatch.h"
#include "scene/GFX_Text.h"
#include "util/UTL_FotoTextureBoss.h"

#include "SceneViews.h"
#include "support/ImageFiles.h"
#include "support/TestSceneOwner.h"

#include <chrono>
#include <cmath>
#include <thread>

using namespace SceneViews;

namespace
{
const GLTest::Pixel White{255, 255, 255, 255};
const GLTest::Pixel Red{255, 0, 0, 255};

// The colour of the font cell of column x and row y (row 0 at the top of the picture).
GLTest::Pixel CellColour(int column, int row)
{
    return {uint8_t(column * 16 + 8), uint8_t(row * 16 + 8), 77, 255};
}

// A 256 × 256 font whose 16 × 16 cells each have a colour of their own.
std::string CellFont()
{
    return MakeTgaRgba(256, 256,
                       [](int x, int y)
                       {
                           const GLTest::Pixel c = CellColour(x / 16, 15 - y / 16);
                           return std::array<unsigned char, 4>{c[0], c[1], c[2], c[3]};
                       });
}

// A font whose printable ASCII cells are opaque white and all others clear, as in the program's
// font: letters outside ASCII land on clear texels and leave nothing.
std::string AsciiFont()
{
    return MakeTgaRgba(256, 256,
                       [](int x, int y)
                       {
                           const int code = (15 - y / 16) * 16 + x / 16;
                           const unsigned char alpha = code >= 32 && code < 127 ? 255 : 0;
                           return std::array<unsigned char, 4>{255, 255, 255, alpha};
                       });
}

class GFX_LocationHolderFriendGLTest : public LabelGLTest
{
protected:
    void SetUp() override
    {
        LabelGLTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        owner.theme.LocatorBillboardColorSel = {1, 1, 1};
        person.SetId("7");
        person.SetName("AB~");
        holder.SetFriend(&person);
        holder.SetLongitude(90); // facing +z
        holder.SetBallSize(100);
    }

    // Draws the holder with the given label size, in a flat view of `pixelsPerUnit` centred on
    // the label.
    void DrawLabel(float size, bool selected, float pixelsPerUnit)
    {
        holder.SetBillboardSize(size, size);
        holder.SetSelected(selected);
        holder.Update();
        const GFX_Billboard& label = *holder.GetBillboard();
        ClearFrame();
        FlatView(label.GetCorner(0).Plus(label.GetCorner(2)).Scale(0.5f), pixelsPerUnit);
        holder.Draw();
    }

    // Gives the friend a picture and waits until the worker has decoded it.
    void GivePicture(const std::string& tga, bool real)
    {
        const std::string path = dir.Write("picture.tga", tga);
        person.SetPicture(path);
        person.SetSquarePicture(path);
        person.SetHasPicture(real);
        person.SetHasSquarePicture(real);
        owner.pictureWorker = &worker;
        person.GetPicture()->GetTexture(); // queues the picture
        worker.Start();
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!person.GetPicture()->GetTexture() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_NE(person.GetPicture()->GetTexture(), nullptr);
    }

    UTL_FotoTextureBoss worker;
    GFX_Friend person{&owner};
    GFX_LocationHolderFriend holder{&owner};
};
} // namespace

TEST_F(GFX_LocationHolderFriendGLTest, AWidePictureFillsNineTenthsByFourAndAHalfTenths)
{
    ASSERT_NO_FATAL_FAILURE(GivePicture(MakeTga(200, 100, 255, 0, 0), true));
    struct Row
    {
        float label;
        bool selected;
        float pixelsPerUnit;
    };
    // Unpicked on a 750 label and picked on a 2250 one: the same share, 0.9 × 0.45, centred.
    for (const Row& row : {Row{750, false, 0.5f}, Row{2250, true, 0.2f}})
    {
        SCOPED_TRACE(row.label);
        DrawLabel(row.label, row.selected, row.pixelsPerUnit);
        const float halfWidth = 0.45f * row.label * row.pixelsPerUnit;
        const float halfHeight = 0.225f * row.label * row.pixelsPerUnit;
        const int w = int(halfWidth), h = int(halfHeight);
        for (const auto& inside : {std::pair{0, 0}, {w - 3, h - 3}, {3 - w, 3 - h}, {w - 3, 0}})
            EXPECT_PRED3(Near, ReadPixel(400 + inside.first, 300 + inside.second), Red, 2)
                << "picture at " << inside.first << ", " << inside.second;
        for (const auto& outside : {std::pair{w + 4, 0}, {-w - 4, 0}, {0, h + 4}, {0, -h - 4}})
            EXPECT_PRED3(Near, ReadPixel(400 + outside.first, 300 + outside.second), White, 2)
                << "label at " << outside.first << ", " << outside.second;
    }
}

TEST_F(GFX_LocationHolderFriendGLTest, APlaceholderIsTintedAndNamed)
{
    GFX_Text font;
    font.LoadFont(dir.Write("font.tga", CellFont()));
    owner.font = &font;
    owner.theme.LocatorTextColor = {0.5f, 0.5f, 0.5f};
    ASSERT_NO_FATAL_FAILURE(GivePicture(MakeTga(100, 100, 255, 0, 0), false));

    DrawLabel(750, false, 0.5f);
    EXPECT_PRED3(Near, ReadPixel(400, 300), (Pixel{128, 0, 0, 255}), 2) << "tinted placeholder";
    // The name is drawn too, in the text colour: "A" from column 1, row 4.
    const float glyph = 0.1375f * 750 * 0.5f; // half the glyph height of a 750 label
    const int firstGlyphX = int(400 + 0.5f * (-1.5f * glyph + 0.5f * glyph));
    const int nameY = int(300 - 0.5f * 0.4125f * 750);
    const Pixel a = CellColour(1, 4);
    EXPECT_PRED3(Near, ReadPixel(firstGlyphX, nameY),
                 (Pixel{uint8_t(a[0] / 2), uint8_t(a[1] / 2), uint8_t(a[2] / 2), 255}), 2);
}

TEST_F(GFX_LocationHolderFriendGLTest, ANamesGlyphsComeFromTheirFontCells)
{
    GFX_Text font;
    font.LoadFont(dir.Write("font.tga", CellFont()));
    owner.font = &font;
    owner.theme.LocatorTextColor = {1, 1, 1};
    owner.theme.LocatorTextColorSel = {1, 1, 1};
    person.SetHasSquarePicture(false); // no picture of their own: the name shows

    DrawLabel(750, false, 0.5f);
    // "AB~" in glyphs of half their height, centred, 0.4125 of the label below its centre.
    const float glyph = 0.1375f * 750 * 0.5f * 0.5f; // on screen
    const float start = 400 - 1.5f * glyph;
    const int nameY = int(std::lround(300 - 0.5f * 0.4125f * 750));
    const Pixel expected[3] = {CellColour(1, 4), CellColour(2, 4), CellColour(14, 7)};
    for (int i = 0; i < 3; ++i)
        EXPECT_PRED3(Near, ReadPixel(int(start + (i + 0.5f) * glyph), nameY), expected[i], 2)
            << "glyph " << i;
    EXPECT_PRED3(Near, ReadPixel(int(start - 3), nameY), White, 2) << "label left of the name";
    EXPECT_PRED3(Near, ReadPixel(int(start + 3 * glyph + 3), nameY), White, 2) << "and right";

    // A picked friend's name sits as low on the larger label, and shows even with a picture.
    person.SetHasPicture(true);
    DrawLabel(2250, true, 0.2f);
    const float big = 0.1375f * 2250 * 0.5f * 0.2f;
    const float bigStart = 400 - 1.5f * big;
    const int bigY = int(std::lround(300 - 0.2f * 0.4125f * 2250));
    for (int i = 0; i < 3; ++i)
        EXPECT_PRED3(Near, ReadPixel(int(bigStart + (i + 0.5f) * big), bigY), expected[i], 2)
            << "glyph " << i;
}

TEST_F(GFX_LocationHolderFriendGLTest, AnUnpickedFriendWithAPictureShowsNoName)
{
    GFX_Text font;
    font.LoadFont(dir.Write("font.tga", CellFont()));
    owner.font = &font;
    ASSERT_NO_FATAL_FAILURE(GivePicture(MakeTga(100, 100, 255, 0, 0), true));

    DrawLabel(750, false, 0.5f);
    // Where the name's middle glyph would go, over the lower part of the picture, the picture.
    const int nameY = int(std::lround(300 - 0.5f * 0.4125f * 750));
    EXPECT_PRED3(Near, ReadPixel(400, nameY), Red, 2);
    EXPECT_PRED3(Near, ReadPixel(400, 300), Red, 2);
}

TEST_F(GFX_LocationHolderFriendGLTest, ANameTheBitmapFontCannotWriteIsWrittenInShapedType)
{
    GFX_Text font;
    font.LoadFont(dir.Write("font.tga", AsciiFont()));
    owner.font = &font;
    owner.theme.LocatorBillboardColor = {1, 1, 1};
    owner.theme.LocatorTextColor = {0, 0, 0};
    person.SetHasSquarePicture(false); // no picture of their own: the name shows

    // Dark pixels on the name's line of an unpicked 750 label at half a pixel per unit, within
    // 0.9 of the label's width and beyond it.
    struct Ink
    {
        int inside = 0;
        int outside = 0;
    };
    auto drawName = [&](bool batched)
    {
        holder.SetBillboardSize(750, 750);
        holder.Update();
        const GFX_Billboard& label = *holder.GetBillboard();
        ClearFrame();
        FlatView(label.GetCorner(0).Plus(label.GetCorner(2)).Scale(0.5f), 0.5f);
        if (batched)
        {
            GFX_LabelBatch batch;
            holder.AddLabel(batch);
            batch.Draw(owner.locatorTexture, &font);
        }
        else
            holder.Draw();
        Ink ink;
        const int nameY = int(300 - 0.5f * 0.4125f * 750);
        for (int y = 114; y < nameY + 34; ++y)
            for (int x = 400 - 186; x <= 400 + 186; ++x)
                if (ReadPixel(x, y)[0] < 128)
                    (std::abs(x - 400) <= 0.45f * 750 * 0.5f ? ink.inside : ink.outside) += 1;
        return ink;
    };

    // Cyrillic and Chinese: the bitmap font leaves the line bare, shaped type writes it, one by
    // one and in a batch alike; the bitmap way stays there when asked for.
    for (const char* name : {"Дмитрий", "王小明"})
    {
        SCOPED_TRACE(name);
        if (font.GetShaper().Shape(name, 16)->missing > 0)
        {
            ADD_FAILURE() << "no font installed for " << name << " (scripts/deps.sh has one)";
            continue;
        }
        person.SetName(name);
        for (bool batched : {false, true})
        {
            SCOPED_TRACE(batched ? "batched" : "one by one");
            owner.drawPaths.names = GFX_DrawPaths::Names::Bitmap;
            EXPECT_EQ(drawName(batched).inside, 0);
            owner.drawPaths.names = GFX_DrawPaths::Names::Automatic;
            const Ink shaped = drawName(batched);
            EXPECT_GT(shaped.inside, 300);
            EXPECT_EQ(shaped.outside, 0) << "no wider than the bitmap line may be";
        }
    }
}
