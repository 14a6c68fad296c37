#include "gfx/GFX_Image.h"

#include "support/ImageFiles.h"
#include "support/ImageMagick.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
TEST(GFX_ImageTest, TypeComesFromTheLastSuffixInAnyCase)
{
    struct Row
    {
        const char* path;
        int type;
    };
    const Row rows[] = {
        {"photo.jpg", GFX_Image::TypeJPEG},
        {"PHOTO.JpG", GFX_Image::TypeJPEG},
        {"./data/my.photo.v2.jpg", GFX_Image::TypeJPEG},
        {"photo.jpeg", GFX_Image::TypeUnknown}, // five-letter suffix: unknown
        {"photo.bmp", GFX_Image::TypeBMP},
        {"globe.tga", GFX_Image::TypeTGA},
        {"globe.TGA", GFX_Image::TypeTGA},
        {"face.rgb", GFX_Image::TypeRGB},
        {"face.Raw", GFX_Image::TypeRGB},
        {"noextension", GFX_Image::TypeUnknown},
        {"./data/config/globe", GFX_Image::TypeUnknown}, // "./" dots are not a suffix
        {"archive.tga.gz", GFX_Image::TypeUnknown},
        {"trailing.", GFX_Image::TypeUnknown},
    };
    for (const Row& row : rows)
        EXPECT_EQ(GFX_Image::ImageTypeFromPath(row.path), row.type) << row.path;
}

// Whether a picture comes out exactly as ImageMagick decodes the same file.
struct ReferenceCase
{
    const char* name;
    // File name in the temporary folder (its suffix picks our reader) and ImageMagick's coder.
    const char* file;
    const char* coder;
    // ImageMagick options that shape the file written from the source picture.
    const char* options;
    bool alpha;
    // Bits per pixel we must deliver; 0 for pictures that deliver none.
    int bitsPerPixel;
    // Whether we deliver the picture upside down: the TGA reader takes the file's rows as
    // bottom row first whatever the origin bit says, so a top-down TGA comes out top row first.
    bool upsideDown;
    // Largest difference per byte (lossy decoders may round differently).
    int tolerance;
};

const ReferenceCase referenceCases[] = {
    {"tga24", "p.tga", "tga", "-type TrueColor", false, 24, false, 0},
    {"tga32", "p.tga", "tga", "-type TrueColorAlpha", true, 32, false, 0},
    {"tga24TopDown", "p.tga", "tga", "-type TrueColor -orient TopLeft", false, 24, true, 0},
    {"sgiGrey", "p.rgb", "sgi", "-colorspace Gray -compress None", false, 8, false, 0},
    {"sgiRgb", "p.rgb", "sgi", "-type TrueColor -compress None", false, 24, false, 0},
    {"sgiRgba", "p.raw", "sgi", "-type TrueColorAlpha -compress None", true, 32, false, 0},
    {"sgiGreyRle", "p.rgb", "sgi", "-colorspace Gray -compress RLE", false, 8, false, 0},
    {"sgiRgbRle", "p.rgb", "sgi", "-type TrueColor -compress RLE", false, 24, false, 0},
    {"sgiRgbaRle", "p.rgb", "sgi", "-type TrueColorAlpha -compress RLE", true, 32, false, 0},
    {"jpegBaseline", "p.jpg", "jpg", "-quality 90", false, 24, false, 1},
    {"jpegProgressive", "p.jpg", "jpg", "-quality 75 -interlace Plane", false, 24, false, 1},
    {"jpegGrey", "p.jpg", "jpg", "-colorspace Gray", false, 0, false, 0},
    {"jpegCmyk", "p.jpg", "jpg", "-colorspace CMYK", false, 0, false, 0},
};

// A picture with detail in every channel and odd sides, so that swapped channels, flipped rows
// and padded rows all show; with alpha, the alpha channel varies across the picture too.
std::string SourceOptions(bool alpha)
{
    std::string source = "-seed 7 -size 37x23 plasma:fractal -depth 8";
    if (alpha)
        source += " -alpha set -channel A -fx '(i+j)/(w+h)' +channel";
    return source;
}

// Writes the case's file with ImageMagick and returns its path.
std::string MakeReference(const TempDir& dir, const ReferenceCase& c)
{
    const std::string path = dir.File(c.file);
    const std::string arguments =
        SourceOptions(c.alpha) + " " + c.options + " " + c.coder + ":" + ImageMagick::Quote(path);
    return ImageMagick::Convert(arguments) ? path : std::string();
}

class GFX_ImageReferenceTest : public ::testing::TestWithParam<ReferenceCase>
{
protected:
    void SetUp() override
    {
        if (!ImageMagick::Available())
            GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
};

TEST_P(GFX_ImageReferenceTest, PixelsAgreeWithImageMagick)
{
    const ReferenceCase& c = GetParam();
    TempDir dir;
    const std::string path = MakeReference(dir, c);
    ASSERT_FALSE(path.empty()) << "convert could not write " << c.name;

    GFX_Image image(path);
    if (c.bitsPerPixel == 0)
    {
        EXPECT_FALSE(image.HasPixels());
        EXPECT_EQ(image.GetWidth(), 0);
        EXPECT_EQ(image.GetHeight(), 0);
        return;
    }
    ASSERT_TRUE(image.HasPixels());
    EXPECT_EQ(image.GetWidth(), 37);
    EXPECT_EQ(image.GetHeight(), 23);
    ASSERT_EQ(image.GetBitsPerPixel(), c.bitsPerPixel);

    const char* raw = c.bitsPerPixel == 8 ? "gray" : c.bitsPerPixel == 24 ? "rgb" : "rgba";
    // ImageMagick keeps a TGA's rows in file order and records the origin: -auto-orient turns
    // the picture upright, -flip then puts the bottom row first as we do.
    const std::string expected = ImageMagick::ConvertOutput(
        std::string(c.coder) + ":" + ImageMagick::Quote(path) + " -auto-orient" +
        (c.upsideDown ? "" : " -flip") + " -depth 8 " + raw + ":-");
    ASSERT_EQ(expected.size(), image.GetByteCount());
    int worst = 0;
    size_t worstAt = 0;
    for (size_t i = 0; i < expected.size(); ++i)
    {
        const int difference = std::abs(int(uint8_t(expected[i])) - int(image.GetPixels()[i]));
        if (difference > worst)
        {
            worst = difference;
            worstAt = i;
        }
    }
    EXPECT_LE(worst, c.tolerance) << "at byte " << worstAt << " of " << expected.size();
}

INSTANTIATE_TEST_SUITE_P(Formats, GFX_ImageReferenceTest, ::testing::ValuesIn(referenceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GFX_ImageTest, UnknownOrBmpSuffixKeepsThePictureAFailedReadEmptiesIt)
{
    TempDir dir;
    // A 1 × 1 24-bit TGA: header, then one B, G, R pixel.
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = 1;
    tga[14] = 1;
    tga[16] = 24;
    tga += std::string("\x01\x02\x03", 3);
    GFX_Image image(dir.Write("one.tga", tga));
    ASSERT_TRUE(image.HasPixels());

    // The same bytes under suffixes without a reader change nothing.
    for (const char* name : {"one.bmp", "one.jpeg", "one"})
    {
        EXPECT_FALSE(image.Load(dir.Write(name, tga))) << name;
        EXPECT_TRUE(image.HasPixels()) << name;
        EXPECT_EQ(image.GetPixels()[0], 3) << name;
    }

    // A reader that fails (here: a missing file) leaves an empty image, not the old picture.
    EXPECT_FALSE(image.Load(dir.File("missing.tga")));
    EXPECT_FALSE(image.HasPixels());
    EXPECT_EQ(image.GetWidth(), 0);
    EXPECT_EQ(image.GetHeight(), 0);
    EXPECT_EQ(image.GetByteCount(), 0u);
}

TEST(GFX_ImageTest, JpegRowsComeBottomFirst)
{
    if (!ImageMagick::Available())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    TempDir dir;
    // Three red pixels over three blue ones, without chroma subsampling so that the two rows
    // keep their own colours.
    const std::string path = dir.File("rows.jpg");
    ASSERT_TRUE(ImageMagick::Convert("-size 3x1 xc:red -size 3x1 xc:blue -append -quality 100 "
                                     "-sampling-factor 1x1 " +
                                     ImageMagick::Quote(path)));
    GFX_Image image(path);
    ASSERT_EQ(image.GetByteCount(), 18u);
    for (int i = 0; i < 3; ++i)
    {
        const uint8_t* bottom = image.GetPixels() + 3 * i;
        const uint8_t* top = bottom + 9;
        EXPECT_LT(bottom[0], 8);
        EXPECT_GT(bottom[2], 247);
        EXPECT_GT(top[0], 247);
        EXPECT_LT(top[2], 8);
    }
}

// Writes the seed corpus of the fuzz targets, one folder per reader, with every reference
// picture and a few hand-made small ones, and checks that each seed meant to decode does. The
// folder is HALVANE_SEED_CORPUS when set (the test script's fuzzing stage), else a temporary one.
TEST(GFX_ImageSeedCorpus, WritesDecodableSeedsForEveryReader)
{
    if (!ImageMagick::Available())
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    TempDir scratch;
    const char* wanted = std::getenv("HALVANE_SEED_CORPUS");
    const std::filesystem::path root = wanted && *wanted ? wanted : scratch.File("corpus");

    auto folderFor = [&](const std::string& coder)
    {
        const std::filesystem::path folder = root / (coder == "jpg" ? "jpeg" : coder);
        std::filesystem::create_directories(folder);
        return folder;
    };
    int seeds = 0;
    for (const ReferenceCase& c : referenceCases)
    {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = MakeReference(dir, c);
        ASSERT_FALSE(path.empty());
        EXPECT_EQ(GFX_Image(path).HasPixels(), c.bitsPerPixel != 0);
        std::filesystem::copy_file(path, folderFor(c.coder) / c.name,
                                   std::filesystem::copy_options::overwrite_existing);
        ++seeds;
    }
    // Tiny pictures keep the fuzzers fast: every format at 4 × 3.
    for (const char* coder : {"tga", "sgi", "jpg"})
    {
        const std::filesystem::path seed = folderFor(coder) / "tiny";
        ASSERT_TRUE(ImageMagick::Convert("-seed 3 -size 4x3 plasma: -depth 8 " +
                                         std::string(coder) + ":" +
                                         ImageMagick::Quote(seed.string())));
        ++seeds;
    }
    EXPECT_EQ(seeds, int(std::size(referenceCases)) + 3);
}
} // namespace

TEST(GFX_ImageTest, ScalingDownAveragesTheBlockOfPixelsEachNewOneCovers)
{
    TempDir dir;
    // Red counts columns, green rows: every block's mean is known.
    GFX_Image image(dir.Write("even.tga", MakeTgaRgba(6, 2,
                                                      [](int x, int y)
                                                      {
                                                          return std::array<unsigned char, 4>{
                                                              static_cast<unsigned char>(x * 40),
                                                              static_cast<unsigned char>(y * 100),
                                                              7, 255};
                                                      })));
    ASSERT_TRUE(image.ScaleDown(3));
    ASSERT_EQ(image.GetWidth(), 3);
    ASSERT_EQ(image.GetHeight(), 1);
    ASSERT_EQ(image.GetBitsPerPixel(), 32);
    const uint8_t* p = image.GetPixels();
    EXPECT_EQ((std::array<int, 4>{p[0], p[1], p[2], p[3]}), (std::array<int, 4>{20, 50, 7, 255}));
    EXPECT_EQ(p[8], 180) << "columns 4 and 5";

    // Blocks of unequal width where the sides do not divide: columns [0, 2) and [2, 5).
    GFX_Image uneven(dir.Write(
        "uneven.tga",
        MakeTgaRgba(
            5, 3,
            [](int x, int) {
                return std::array<unsigned char, 4>{static_cast<unsigned char>(x * 10), 0, 0, 0};
            })));
    ASSERT_TRUE(uneven.ScaleDown(2));
    ASSERT_EQ(uneven.GetWidth(), 2);
    ASSERT_EQ(uneven.GetHeight(), 1);
    EXPECT_EQ(uneven.GetPixels()[0], 5);
    EXPECT_EQ(uneven.GetPixels()[4], 30);
    EXPECT_EQ(uneven.GetByteCount(), 8u);
}

TEST(GFX_ImageTest, ScalingDownKeepsSmallEmptyAndThinPicturesSound)
{
    TempDir dir;
    GFX_Image small(dir.Write("small.tga", MakeTga(4, 3, 1, 2, 3)));
    EXPECT_FALSE(small.ScaleDown(4)) << "already within the side";
    EXPECT_FALSE(small.ScaleDown(0));
    EXPECT_EQ(small.GetWidth(), 4);
    EXPECT_EQ(small.GetHeight(), 3);

    GFX_Image empty;
    EXPECT_FALSE(empty.ScaleDown(16));
    EXPECT_FALSE(empty.HasPixels());

    // The short side never rounds to nothing.
    GFX_Image thin(dir.Write("thin.tga", MakeTga(1, 1000, 9, 9, 9)));
    ASSERT_TRUE(thin.ScaleDown(256));
    EXPECT_EQ(thin.GetWidth(), 1);
    EXPECT_EQ(thin.GetHeight(), 256);
    EXPECT_EQ(thin.GetPixels()[255 * 3], 9);
}

// Whether a picture may stand in front of others as a solid block: every pixel of full alpha,
// or no alpha at all; a single pixel short of it is enough to say no.
TEST(GFX_ImageTest, OpaqueOnlyWithFullAlphaThroughout)
{
    TempDir dir;
    EXPECT_FALSE(GFX_Image().IsOpaque()) << "an empty image shows nothing";
    EXPECT_TRUE(GFX_Image(dir.Write("rgb.tga", MakeTga(3, 2, 10, 20, 30))).IsOpaque());
    const auto alphaAt = [&](const std::string& name, int x0, int y0, unsigned char alpha)
    {
        return GFX_Image(
                   dir.Write(name, MakeTgaRgba(4, 3,
                                               [&](int x, int y)
                                               {
                                                   const unsigned char a =
                                                       x == x0 && y == y0 ? alpha : 255;
                                                   return std::array<unsigned char, 4>{1, 2, 3, a};
                                               })))
            .IsOpaque();
    };
    EXPECT_TRUE(alphaAt("full.tga", 0, 0, 255));
    EXPECT_FALSE(alphaAt("first.tga", 0, 0, 254));
    EXPECT_FALSE(alphaAt("last.tga", 3, 2, 0));
}
