#include "tools/artwork/ART_Preview.h"
#include "tools/artwork/ART_Shapes.h"
#include "tools/artwork/ART_Textures.h"
#include "tools/artwork/ART_Tga.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace
{
std::string SourceDirectory()
{
    const char* dir = std::getenv("HALVANE_SOURCE_DIR");
    return dir ? dir : ".";
}

std::string ConfigDirectory()
{
    return SourceDirectory() + "/data/config";
}

// Draws every texture once into a temporary folder for the whole suite.
class ArtworkTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        fonts = new ART_Fonts;
        std::string error;
        ASSERT_TRUE(fonts->Open(ART_DefaultFontDirectory, error))
            << error << " (install fonts-dejavu-core)";
        output = new TempDir;
        ASSERT_TRUE(ART_WriteTextures(*fonts, output->Path(), error)) << error;
    }

    static void TearDownTestSuite()
    {
        delete output;
        delete fonts;
        output = nullptr;
        fonts = nullptr;
    }

    static std::vector<uint8_t> Generated(const std::string& file)
    {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ART_ReadFile(output->File(file), bytes)) << file;
        return bytes;
    }

    static ART_TgaImage Decoded(const std::string& file)
    {
        ART_TgaImage image;
        std::string error;
        EXPECT_TRUE(ART_DecodeTga(Generated(file), image, error)) << file << ": " << error;
        return image;
    }

    static ART_Fonts* fonts;
    static TempDir* output;
};

ART_Fonts* ArtworkTest::fonts = nullptr;
TempDir* ArtworkTest::output = nullptr;

std::set<std::string> TgaFilesIn(const std::string& directory)
{
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(directory))
        if (entry.path().extension() == ".tga")
            files.insert(entry.path().filename().string());
    return files;
}

int Alpha(const ART_TgaImage& image, int x, int y)
{
    return image.Pixel(x, y)[3];
}
} // namespace

// The committed textures are exactly what the program draws: anyone can rebuild them, and an
// edit to the drawing code that is not followed by regenerating them fails here.
TEST_F(ArtworkTest, CommittedTexturesMatchTheGeneratorByteForByte)
{
    const std::set<std::string> generated = TgaFilesIn(output->Path());
    EXPECT_EQ(TgaFilesIn(ConfigDirectory()), generated)
        << "data/config/ holds other textures than halvane-artwork draws";
    for (const std::string& file : generated)
    {
        SCOPED_TRACE(file);
        std::vector<uint8_t> committed;
        ASSERT_TRUE(ART_ReadFile(ConfigDirectory() + "/" + file, committed));
        const std::vector<uint8_t> fresh = Generated(file);
        ASSERT_EQ(committed.size(), fresh.size());
        size_t firstDifference = 0;
        while (firstDifference < fresh.size() &&
               committed[firstDifference] == fresh[firstDifference])
            ++firstDifference;
        EXPECT_EQ(firstDifference, fresh.size()) << "differs from byte " << firstDifference
                                                 << "; rebuild with: halvane-artwork data/config";
    }
}

TEST_F(ArtworkTest, DrawingTwiceGivesTheSameBytes)
{
    const std::vector<ART_Texture> again = ART_DrawTextures(*fonts);
    for (const ART_Texture& texture : again)
        EXPECT_EQ(ART_EncodeTga(texture.canvas), Generated(texture.file)) << texture.file;
}

// Every file is the one layout every TGA reader takes: uncompressed true colour, 32 bits with 8
// of alpha, bottom row first, sides a power of two for the mipmapped textures.
TEST_F(ArtworkTest, EveryTextureIsAPlain32BitTgaOfItsSize)
{
    const std::map<std::string, std::pair<int, int>> sizes = {
        {"halvane.tga", {128, 128}},       {"vessun.tga", {128, 128}},
        {"sphere_button.tga", {128, 128}}, {"fixed_font.tga", {512, 512}},
        {"ruler.tga", {16, 64}},           {"billboard.tga", {64, 64}},
        {"color_ball.tga", {64, 64}},      {"widget.tga", {64, 64}},
        {"top_bar.tga", {32, 32}},         {"locator.tga", {256, 256}},
        {"dial.tga", {128, 128}},          {"rot_but_1.tga", {32, 32}},
        {"rot_but_2.tga", {32, 32}},       {"rot_but_3.tga", {32, 32}},
        {"question.tga", {256, 256}},
    };
    EXPECT_EQ(TgaFilesIn(output->Path()).size(), sizes.size());
    for (const auto& [file, size] : sizes)
    {
        SCOPED_TRACE(file);
        const std::vector<uint8_t> bytes = Generated(file);
        ASSERT_GE(bytes.size(), 18u);
        const std::vector<uint8_t> header(bytes.begin(), bytes.begin() + 12);
        EXPECT_EQ(header, (std::vector<uint8_t>{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        const int width = bytes[12] | (bytes[13] << 8), height = bytes[14] | (bytes[15] << 8);
        EXPECT_EQ(width, size.first);
        EXPECT_EQ(height, size.second);
        EXPECT_EQ(bytes[16], 32);
        EXPECT_EQ(bytes[17], 0x08) << "8 alpha bits, origin at the bottom-left corner";
        EXPECT_EQ(bytes.size(), 18u + size_t(width) * size_t(height) * 4);
        EXPECT_EQ(width & (width - 1), 0);
        EXPECT_EQ(height & (height - 1), 0);
    }
}

// The viewer draws character k from the left half of cell (k mod 16, k div 16), row 0 at the top,
// and the lower 95 % of it; ink anywhere else would bleed into a neighbour or be cut off.
TEST_F(ArtworkTest, FontInkStaysInTheSampledPartOfEachCell)
{
    const ART_TgaImage font = Decoded("fixed_font.tga");
    ASSERT_EQ(font.width, ART_FontTextureSize);
    const int cell = font.width / 16;
    const int firstSampledRow = int(std::ceil(0.05 * cell));
    for (int code = 0; code < 256; ++code)
    {
        SCOPED_TRACE(code);
        const int left = (code % 16) * cell, top = (code / 16) * cell;
        int inside = 0, outside = 0;
        for (int y = top; y < top + cell; ++y)
            for (int x = left; x < left + cell; ++x)
            {
                const bool sampled = x < left + cell / 2 && y >= top + firstSampledRow;
                (sampled ? inside : outside) += Alpha(font, x, y) > 0;
                const uint8_t* p = font.Pixel(x, y);
                ASSERT_TRUE(p[0] == 255 && p[1] == 255 && p[2] == 255)
                    << "glyphs are white so that the viewer can colour them";
            }
        EXPECT_EQ(outside, 0);
        const bool printable = (code > 0x20 && code < 0x7F) || code > 0xA0;
        const bool blank = code <= 0x20 || code == 0x7F || code == 0xA0;
        if (printable)
        {
            EXPECT_GT(inside, 10) << "printable ASCII and Latin-1 all have glyphs";
        }
        if (blank)
        {
            EXPECT_EQ(inside, 0) << "control codes and spaces stay empty";
        }
    }
}

// "A" (65) is drawn from s 0.0625…0.09375 and t 0.6875…0.746875, t counted from the bottom:
// the glyph must fill that window's height from baseline to cap line, centred across it.
TEST_F(ArtworkTest, LetterAFillsTheWindowTheViewerSamples)
{
    const ART_TgaImage font = Decoded("fixed_font.tga");
    const int size = font.width;
    const int x0 = int(std::lround(0.0625 * size)), x1 = int(std::lround(0.09375 * size));
    const int y0 = int(std::lround((1.0 - 0.746875) * size)),
              y1 = int(std::lround((1.0 - 0.6875) * size));
    int minX = size, maxX = -1, minY = size, maxY = -1, ink = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (Alpha(font, x, y) >= 128)
            {
                ++ink;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    ASSERT_GT(ink, 40);
    EXPECT_GE(maxY - minY + 1, (y1 - y0) * 0.55) << "the capital is most of the line's height";
    EXPECT_LE(std::abs((minX - x0) - (x1 - 1 - maxX)), 1) << "centred across the half cell";
    // Room below for descenders: "g" (103) reaches lower in its cell than "A" in its own.
    int lowestA = 0, lowestG = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 16; ++x)
        {
            if (Alpha(font, 1 * 32 + x, 4 * 32 + y) >= 128)
                lowestA = y;
            if (Alpha(font, 7 * 32 + x, 6 * 32 + y) >= 128)
                lowestG = y;
        }
    EXPECT_GT(lowestG, lowestA + 3);
}

// Textures that the viewer repeats on every face of a cube-sphere must look the same turned or
// mirrored, or the faces would not meet along their edges.
TEST_F(ArtworkTest, CubeSphereSkinsHaveTheSquaresSymmetries)
{
    for (const char* file : {"sphere_button.tga", "color_ball.tga"})
    {
        SCOPED_TRACE(file);
        const ART_TgaImage skin = Decoded(file);
        const int n = skin.width;
        int worst = 0;
        for (int y = 0; y < n; ++y)
            for (int x = 0; x < n; ++x)
                for (const auto& [mx, my] :
                     {std::pair<int, int>{y, x}, {n - 1 - x, y}, {x, n - 1 - y}})
                    for (int k = 0; k < 4; ++k)
                        worst =
                            std::max(worst, std::abs(skin.Pixel(x, y)[k] - skin.Pixel(mx, my)[k]));
        EXPECT_LE(worst, 1);
    }
}

TEST_F(ArtworkTest, ShapesSitWhereTheViewerExpectsThem)
{
    // Labels are drawn without blending: the card must be opaque to its corners.
    const ART_TgaImage label = Decoded("locator.tga");
    for (int y = 0; y < label.height; ++y)
        for (int x = 0; x < label.width; ++x)
            ASSERT_EQ(Alpha(label, x, y), 255);

    // A connection dot: opaque core, nothing at the edges, so rows of dots never show squares.
    const ART_TgaImage dot = Decoded("billboard.tga");
    EXPECT_EQ(Alpha(dot, 32, 32), 255);
    for (int i = 0; i < dot.width; ++i)
    {
        EXPECT_EQ(Alpha(dot, i, 0), 0);
        EXPECT_EQ(Alpha(dot, 0, i), 0);
    }

    // The top bar is stretched across the window: every row is one colour.
    const ART_TgaImage bar = Decoded("top_bar.tga");
    for (int y = 0; y < bar.height; ++y)
        for (int x = 1; x < bar.width; ++x)
            for (int k = 0; k < 4; ++k)
                ASSERT_EQ(bar.Pixel(x, y)[k], bar.Pixel(0, y)[k]) << "row " << y;

    // The globe (radius 40 of the dial's 56) covers the middle of the dial: leave it clear.
    const ART_TgaImage dial = Decoded("dial.tga");
    const double centre = 0.5 * dial.width, globe = 40.0 / 56.0 * centre;
    for (int y = 0; y < dial.height; ++y)
        for (int x = 0; x < dial.width; ++x)
        {
            if (std::hypot(x + 0.5 - centre, y + 0.5 - centre) < globe - 1.5)
            {
                ASSERT_EQ(Alpha(dial, x, y), 0) << x << "," << y;
            }
        }

    // An unselected label writes the name over the lowest part of the placeholder (its lowest
    // 12 %), so the silhouette stays above it.
    const ART_TgaImage placeholder = Decoded("question.tga");
    for (int y = int(placeholder.height * 0.86); y < placeholder.height; ++y)
        for (int x = 0; x < placeholder.width; ++x)
            ASSERT_EQ(Alpha(placeholder, x, y), 0) << x << "," << y;

    // The watermark shows only its top 26 of 130 pixels: all of it must be there.
    const ART_TgaImage maker = Decoded("vessun.tga");
    const int visibleRows = int(maker.height * 26.0 / 130.0);
    int inkAbove = 0;
    for (int y = 0; y < maker.height; ++y)
        for (int x = 0; x < maker.width; ++x)
        {
            if (y >= visibleRows)
            {
                ASSERT_EQ(Alpha(maker, x, y), 0) << x << "," << y;
            }
            else
                inkAbove += Alpha(maker, x, y) > 0;
        }
    EXPECT_GT(inkAbove, 200);
}

TEST_F(ArtworkTest, TurnButtonsMirrorEachOther)
{
    const ART_TgaImage west = Decoded("rot_but_1.tga"), east = Decoded("rot_but_2.tga");
    int worst = 0, differing = 0;
    for (int y = 0; y < west.height; ++y)
        for (int x = 0; x < west.width; ++x)
        {
            for (int k = 0; k < 4; ++k)
                worst = std::max(
                    worst, std::abs(west.Pixel(x, y)[k] - east.Pixel(west.width - 1 - x, y)[k]));
            differing += west.Pixel(x, y)[3] != east.Pixel(x, y)[3];
        }
    EXPECT_LE(worst, 1);
    EXPECT_GT(differing, 20) << "the two arrows turn opposite ways";
}

TEST(ArtworkTgaTest, DecoderRejectsWhatItCannotRead)
{
    ART_Canvas canvas(2, 2);
    canvas.SetPixel(0, 1, ART_Rgba(1.0, 0.5, 0.0, 1.0)); // bottom-left
    std::vector<uint8_t> bytes = ART_EncodeTga(canvas);
    // Bottom row first, blue-green-red-alpha.
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 18, bytes.begin() + 22),
              (std::vector<uint8_t>{0, 128, 255, 255}));

    ART_TgaImage image;
    std::string error;
    ASSERT_TRUE(ART_DecodeTga(bytes, image, error)) << error;
    EXPECT_EQ(image.Pixel(0, 1)[0], 255);

    std::vector<uint8_t> cut(bytes.begin(), bytes.end() - 1);
    EXPECT_FALSE(ART_DecodeTga(cut, image, error));
    std::vector<uint8_t> compressed = bytes;
    compressed[2] = 10;
    EXPECT_FALSE(ART_DecodeTga(compressed, image, error));
    EXPECT_FALSE(ART_DecodeTga({}, image, error));
}

// The contact sheet draws every texture the way the viewer does; it must at least run through
// all themes without reading outside any texture.
TEST_F(ArtworkTest, ContactSheetCoversEveryTheme)
{
    const ART_Canvas sheet =
        ART_DrawContactSheet(ART_DrawTextures(*fonts), *fonts, ConfigDirectory() + "/themes.txt");
    EXPECT_EQ(sheet.Width(), 992);
    EXPECT_GT(sheet.Height(), 3 * 600);
}

// Anti-aliased coverage adds up to the shape's true area, so thin rims and small dots keep
// their weight.
TEST(ArtworkCanvasTest, ShapeCoverageMatchesTheArea)
{
    const ART_Mask disc = ART_Mask::FromShape(64, 64, ART_CircleShape(31.3, 32.7, 12.5));
    double area = 0.0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            area += disc.At(x, y);
    EXPECT_NEAR(area, 3.14159265 * 12.5 * 12.5, 0.01 * area);

    const ART_Mask ring = ART_Mask::FromShape(64, 64, ART_RingShape(32, 32, 20, 22));
    double ringArea = 0.0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ringArea += ring.At(x, y);
    EXPECT_NEAR(ringArea, 3.14159265 * (22 * 22 - 20 * 20), 0.02 * ringArea);
}

// Filtering mixes transparent texels into visible ones: they must carry the visible colour, or
// every edge would gain a dark fringe.
TEST(ArtworkCanvasTest, TransparentPixelsTakeTheColourOfTheirNeighbours)
{
    ART_Canvas canvas(5, 3);
    canvas.SetPixel(0, 0, ART_Rgba(1.0, 0.5, 0.0, 1.0));
    const std::vector<uint8_t> bytes = canvas.ToRgba8();
    for (size_t i = 0; i < bytes.size(); i += 4)
    {
        EXPECT_EQ(bytes[i], 255);
        EXPECT_EQ(bytes[i + 1], 128);
        EXPECT_EQ(bytes[i + 2], 0);
        EXPECT_EQ(bytes[i + 3], i == 0 ? 255 : 0);
    }
}

TEST(ArtworkCanvasTest, BlendModes)
{
    ART_Canvas canvas(1, 1);
    ART_Mask full(1, 1);
    full.At(0, 0) = 1.0;
    canvas.Composite(full, ART_Solid(ART_Gray(1.0, 0.8)));
    canvas.Composite(full, ART_Solid(ART_Rgba(0.0, 0.0, 1.0, 0.5)));
    ART_Color c = canvas.Pixel(0, 0);
    EXPECT_NEAR(c.a, 0.9, 1e-9); // over: 0.5 + 0.8·0.5
    EXPECT_NEAR(c.r, 0.4 / 0.9, 1e-9);

    ART_Mask half(1, 1);
    half.At(0, 0) = 0.5;
    canvas.Composite(half, ART_Solid(ART_Gray(0.0, 1.0)), ART_Blend::Erase);
    EXPECT_NEAR(canvas.Pixel(0, 0).a, 0.45, 1e-9);
    canvas.Composite(full, ART_Solid(ART_Gray(0.1, 0.2)), ART_Blend::Replace);
    c = canvas.Pixel(0, 0);
    EXPECT_NEAR(c.a, 0.2, 1e-9);
    EXPECT_NEAR(c.g, 0.1, 1e-9);
}

TEST(ArtworkCanvasTest, Utf8DecodesToCodePoints)
{
    EXPECT_EQ(ART_Utf32("Tom\xC3\xA1s \xE2\x82\xAC"),
              (std::u32string{U'T', U'o', U'm', 0xE1, U's', U' ', 0x20AC}));
}
