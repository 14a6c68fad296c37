#include "server/SRV_PictureMaker.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <set>

#include <jpeglib.h>

namespace
{
struct Decoded
{
    int width = 0, height = 0, components = 0;
    std::vector<uint8_t> pixels;
};

struct DecodeError
{
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void OnError(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<DecodeError*>(info->err)->jump, 1);
}

// Decodes with libjpeg directly: the test checks the server's pictures the way any JPEG reader
// would see them.
bool Decode(const std::string& jpeg, Decoded& out)
{
    jpeg_decompress_struct info{};
    DecodeError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = OnError;
    if (setjmp(error.jump))
    {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.data()),
                 static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    out.width = int(info.output_width);
    out.height = int(info.output_height);
    out.components = info.output_components;
    out.pixels.resize(size_t(out.width) * size_t(out.height) * size_t(out.components));
    while (info.output_scanline < info.output_height)
    {
        JSAMPROW row =
            &out.pixels[size_t(info.output_scanline) * size_t(out.width) * size_t(out.components)];
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}
} // namespace

TEST(SRV_PictureMakerTest, EverySizeIsAJpegOfItsDimensionsThatLooksLikeTheRendering)
{
    const struct
    {
        SRV_PictureSize size;
        const char* name;
        int width, height;
    } rows[] = {
        {SRV_PictureSize::Square, "square", 50, 50},
        {SRV_PictureSize::Small, "small", 50, 67},
        {SRV_PictureSize::Normal, "normal", 100, 133},
        {SRV_PictureSize::Big, "big", 200, 267},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        SRV_PictureSize parsed;
        ASSERT_TRUE(SRV_PictureMaker::FromName(row.name, parsed));
        EXPECT_EQ(parsed, row.size);

        Decoded picture;
        ASSERT_TRUE(Decode(SRV_PictureMaker::MakeJpeg(123456789, "MS", row.size), picture));
        EXPECT_EQ(picture.width, row.width);
        EXPECT_EQ(picture.height, row.height);
        ASSERT_EQ(picture.components, 3);

        // JPEG is lossy: on average within a few levels of what was drawn.
        const std::vector<uint8_t> drawn =
            SRV_PictureMaker::Render(123456789, "MS", row.width, row.height);
        ASSERT_EQ(drawn.size(), picture.pixels.size());
        double error = 0;
        for (size_t i = 0; i < drawn.size(); ++i)
            error += std::abs(int(drawn[i]) - int(picture.pixels[i]));
        EXPECT_LT(error / double(drawn.size()), 6.0);
    }
    SRV_PictureSize unused;
    EXPECT_FALSE(SRV_PictureMaker::FromName("huge", unused));
}

TEST(SRV_PictureMakerTest, PicturesShowTheInitialsInWhiteOnThePersonsColour)
{
    const int size = 100;
    const std::vector<uint8_t> rgb = SRV_PictureMaker::Render(42, "AB", size, size);
    uint8_t colour[3];
    SRV_PictureMaker::ColourOf(42, colour);
    // The middle row of the left edge is the colour itself (the shading is neutral there).
    const uint8_t* edge = &rgb[(size_t(size / 2) * size + 0) * 3];
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(edge[c], colour[c], 2);
    int white = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
        white += rgb[i] == 255 && rgb[i + 1] == 255 && rgb[i + 2] == 255;
    // Two letters of about 16 lit cells each at 5.5 pixels a cell.
    EXPECT_GT(white, 600);
    EXPECT_LT(white, 3000);
    EXPECT_NE(rgb, SRV_PictureMaker::Render(42, "AC", size, size)) << "the letters show";
}

TEST(SRV_PictureMakerTest, NeighbouringUidsGetDistinctColours)
{
    std::set<std::vector<uint8_t>> colours;
    for (int64_t uid = 1000; uid < 1200; ++uid)
    {
        uint8_t rgb[3];
        SRV_PictureMaker::ColourOf(uid, rgb);
        colours.insert({rgb[0], rgb[1], rgb[2]});
        // Dark enough for white letters to read.
        EXPECT_LT(0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2], 210.0);
    }
    EXPECT_GT(colours.size(), 195u);
}

TEST(SRV_PictureMakerTest, InitialsComeFromTheNamesWhateverTheyHold)
{
    const struct
    {
        const char* first;
        const char* last;
        const char* name;
        const char* initials;
    } rows[] = {
        {"Mary", "smith", "Mary Smith", "MS"},
        {"", "", "Jean Paul Sartre", "JS"},
        {"", "", "Cher", "C"},
        {"\xc3\x89mile", "Zola", "", "?Z"},
        {"  ada", "", "", "A"},
        {"", "", "", "?"},
        {"1st", "O'Brien", "", "?O"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.initials);
        EXPECT_EQ(SRV_PictureMaker::Initials(row.first, row.last, row.name), row.initials);
    }
}

TEST(SRV_PictureMakerTest, EncoderRefusesImpossibleImages)
{
    EXPECT_EQ(SRV_PictureMaker::EncodeJpeg({}, 0, 0, 80), "");
    EXPECT_EQ(SRV_PictureMaker::EncodeJpeg(std::vector<uint8_t>(10), 2, 2, 80), "");
    EXPECT_FALSE(SRV_PictureMaker::EncodeJpeg(std::vector<uint8_t>(12, 128), 2, 2, 80).empty());
}
