#include "gfx/GFX_ImageSerializer.h"

#include "gfx/GFX_Image.h"
#include "support/ImageMagick.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace
{
using Bytes = std::string;

// A TGA file: the 18-byte header with the given fields, then `body`.
Bytes Tga(int width, int height, int bits, const Bytes& body, int imageType = 2,
          int colourMapType = 0, int idLength = 0)
{
    Bytes file(18, '\0');
    file[0] = char(idLength);
    file[1] = char(colourMapType);
    file[2] = char(imageType);
    file[12] = char(width & 0xff);
    file[13] = char(width >> 8);
    file[14] = char(height & 0xff);
    file[15] = char(height >> 8);
    file[16] = char(bits);
    return file + body;
}

// An SGI header of 512 bytes with big-endian fields.
Bytes SgiHeader(int storage, int bytesPerChannel, int dimension, int xsize, int ysize, int zsize)
{
    Bytes header(512, '\0');
    auto put16 = [&](size_t at, int value)
    {
        header[at] = char(value >> 8);
        header[at + 1] = char(value & 0xff);
    };
    put16(0, 474); // the magic number, which the reader does not insist on
    header[2] = char(storage);
    header[3] = char(bytesPerChannel);
    put16(4, dimension);
    put16(6, xsize);
    put16(8, ysize);
    put16(10, zsize);
    return header;
}

Bytes Be32(uint32_t value)
{
    return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

// A run-length SGI file whose rows are `rows[c][y]`, laid out after the tables in order.
Bytes SgiRunLength(int xsize, int ysize, int zsize, const std::vector<std::vector<Bytes>>& rows)
{
    const int dimension = zsize == 1 ? 2 : 3;
    Bytes offsets, lengths, data;
    uint32_t at = 512 + 8 * uint32_t(ysize * zsize);
    for (int c = 0; c < zsize; ++c)
        for (int y = 0; y < ysize; ++y)
        {
            const Bytes& row = rows[c][y];
            offsets += Be32(at);
            lengths += Be32(uint32_t(row.size()));
            data += row;
            at += uint32_t(row.size());
        }
    return SgiHeader(1, 1, dimension, xsize, ysize, zsize) + offsets + lengths + data;
}

struct Decoded
{
    std::unique_ptr<uint8_t[]> pixels;
    uint8_t bits = 99;
    int32_t width = -1;
    int32_t height = -1;
    bool ok = false;
};

Decoded Decode(GFX_ImageSerializer& reader, const std::string& path)
{
    Decoded d;
    d.ok = reader.Load(path, d.pixels, d.bits, d.width, d.height);
    return d;
}

// A failed read must hand out a wholly empty picture, whatever the reader got through.
void ExpectEmpty(const Decoded& d)
{
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.pixels, nullptr);
    EXPECT_EQ(d.width, 0);
    EXPECT_EQ(d.height, 0);
    EXPECT_EQ(d.bits, 0);
}

TEST(GFX_ImageSerializerTGATest, SwapsBlueAndRedAndKeepsAlpha)
{
    TempDir dir;
    GFX_ImageSerializerTGA reader;

    // 2 × 2, 24 bits: the first pixel's bytes 10 20 30 become 30 20 10.
    Decoded rgb = Decode(reader, dir.Write("a.tga", Tga(2, 2, 24,
                                                        "\x0a\x14\x1e"
                                                        "\x01\x02\x03"
                                                        "\x04\x05\x06"
                                                        "\x07\x08\x09")));
    ASSERT_TRUE(rgb.ok);
    EXPECT_EQ(rgb.bits, 24);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(rgb.pixels.get()), 12), "\x1e\x14\x0a"
                                                                    "\x03\x02\x01"
                                                                    "\x06\x05\x04"
                                                                    "\x09\x08\x07");

    // 32 bits: alpha stays the fourth byte.
    Decoded rgba = Decode(reader, dir.Write("b.tga", Tga(1, 1, 32, "\x0a\x14\x1e\x80")));
    ASSERT_TRUE(rgba.ok);
    EXPECT_EQ(rgba.bits, 32);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(rgba.pixels.get()), 4), "\x1e\x14\x0a\x80");

    // An image ID between header and pixels is skipped, not read as pixels.
    Decoded withId = Decode(reader, dir.Write("c.tga", Tga(1, 1, 24, "ID!\x0a\x14\x1e", 2, 0, 3)));
    ASSERT_TRUE(withId.ok);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(withId.pixels.get()), 3), "\x1e\x14\x0a");
}

TEST(GFX_ImageSerializerTGATest, RefusesHeadersThatLieOrFormatsItCannotRead)
{
    const Bytes pixel4(4, '\x7f');
    struct Row
    {
        const char* why;
        Bytes file;
    };
    const Row rows[] = {
        {"empty file", ""},
        {"header cut short", Tga(1, 1, 24, "").substr(0, 17)},
        {"more pixels than data", Tga(64, 64, 24, Bytes(3 * 64 * 63, '\1'))},
        {"data one byte short", Tga(2, 2, 32, Bytes(15, '\1'))},
        {"8 bits", Tga(2, 2, 8, pixel4)},
        {"16 bits", Tga(2, 1, 16, pixel4)},
        {"colour-mapped", Tga(2, 2, 24, Bytes(12, '\1'), 1, 1)},
        {"true colour with a map", Tga(2, 2, 24, Bytes(12, '\1'), 2, 1)},
        {"grey", Tga(2, 2, 24, Bytes(12, '\1'), 3)},
        {"run-length", Tga(2, 2, 24, "\x83\x01\x02\x03", 10)},
        {"zero width", Tga(0, 4, 24, "")},
        {"zero height", Tga(4, 0, 24, "")},
        {"wider than the limit", Tga(16385, 1, 24, Bytes(3 * 16385, '\1'))},
        {"image ID longer than the file", Tga(1, 1, 24, "xy", 2, 0, 200)},
    };
    TempDir dir;
    GFX_ImageSerializerTGA reader;
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.why);
        ExpectEmpty(Decode(reader, dir.Write("x.tga", row.file)));
    }
    ExpectEmpty(Decode(reader, dir.File("missing.tga")));
}

TEST(GFX_ImageSerializerRGBTest, DecodesRunsAndInterleavesPlanes)
{
    TempDir dir;
    GFX_ImageSerializerRGB reader;

    // Three literals, then a run of two: five values, ended by a zero count.
    Decoded grey = Decode(reader, dir.Write("g.rgb", SgiRunLength(5, 1, 1,
                                                                  {{"\x83\x0a\x0b\x0c"
                                                                    "\x02\x63\x00"}})));
    ASSERT_TRUE(grey.ok);
    EXPECT_EQ(grey.bits, 8);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(grey.pixels.get()), 5), "\x0a\x0b\x0c\x63\x63");

    // Two rows of two RGB pixels; each channel row is one run of its own value.
    std::vector<std::vector<Bytes>> planes(3);
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < 2; ++y)
            planes[c].push_back(Bytes{'\x02', char(10 * y + c + 1), '\0'});
    Decoded rgb = Decode(reader, dir.Write("c.rgb", SgiRunLength(2, 2, 3, planes)));
    ASSERT_TRUE(rgb.ok);
    EXPECT_EQ(rgb.bits, 24);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(rgb.pixels.get()), 12), "\x01\x02\x03\x01\x02\x03"
                                                                    "\x0b\x0c\x0d\x0b\x0c\x0d");

    // Plain RGBA: four planes of 1 × 2 read in order, interleaved per pixel.
    const Bytes plain = SgiHeader(0, 1, 3, 1, 2, 4) + "\x01\x02\x03\x04\x05\x06\x07\x08";
    Decoded rgba = Decode(reader, dir.Write("p.rgb", plain));
    ASSERT_TRUE(rgba.ok);
    EXPECT_EQ(rgba.bits, 32);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(rgba.pixels.get()), 8), "\x01\x03\x05\x07"
                                                                    "\x02\x04\x06\x08");

    // A run-length row that ends early leaves the rest of the row black.
    Decoded shortRow = Decode(reader, dir.Write("s.rgb", SgiRunLength(4, 1, 1, {{"\x02\x05"}})));
    ASSERT_TRUE(shortRow.ok);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(shortRow.pixels.get()), 4), Bytes("\x05\x05\0\0", 4));
}

// Overwrites the big-endian 32-bit value at `at`.
Bytes Patch32(Bytes file, size_t at, uint32_t value)
{
    file.replace(at, 4, Be32(value));
    return file;
}

TEST(GFX_ImageSerializerRGBTest, NeverReadsOrWritesOutsideItsBuffers)
{
    // One 4 × 1 grey run-length row; tables at 512 (offset) and 516 (length), row at 520.
    const Bytes good = SgiRunLength(4, 1, 1, {{"\x84\x01\x02\x03\x04\x00"}});
    const uint32_t size = uint32_t(good.size());
    struct Row
    {
        const char* why;
        Bytes file;
    };
    const Row rows[] = {
        {"row offset past the end", Patch32(good, 512, size + 10)},
        {"row offset near 4 GiB", Patch32(good, 512, 0xfffffff0u)},
        {"row length past the end", Patch32(good, 516, 100)},
        {"row length near 4 GiB", Patch32(good, 516, 0xffffffffu)},
        {"literal run longer than the row", SgiRunLength(4, 1, 1, {{"\x85\x01\x02\x03\x04\x05"}})},
        {"repeat run longer than the row", SgiRunLength(4, 1, 1, {{"\x7f\x01\x00"}})},
        {"literal run past the row data", SgiRunLength(4, 1, 1, {{"\x84\x01\x02"}})},
        {"repeat run without its value", SgiRunLength(4, 1, 1, {{"\x02"}})},
        {"tables longer than the file", SgiHeader(1, 1, 3, 16, 16000, 4) + Bytes(64, '\0')},
        {"plain planes cut short", SgiHeader(0, 1, 3, 4, 4, 3) + Bytes(47, '\1')},
        {"two bytes per channel", SgiHeader(0, 2, 2, 2, 2, 1) + Bytes(8, '\1')},
        {"two channels", SgiHeader(0, 1, 3, 2, 2, 2) + Bytes(8, '\1')},
        {"dimension 4", SgiHeader(0, 1, 4, 2, 2, 1) + Bytes(4, '\1')},
        {"zero width", SgiHeader(0, 1, 2, 0, 2, 1)},
        {"wider than the limit", SgiHeader(0, 1, 2, 20000, 1, 1) + Bytes(20000, '\1')},
        {"run-length grey without planes", SgiHeader(1, 1, 2, 4, 1, 0) + Bytes(16, '\0')},
        {"header cut short", good.substr(0, 300)},
        {"empty file", ""},
    };
    TempDir dir;
    GFX_ImageSerializerRGB reader;
    ASSERT_TRUE(Decode(reader, dir.Write("good.rgb", good)).ok);
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.why);
        ExpectEmpty(Decode(reader, dir.Write("x.rgb", row.file)));
    }
    ExpectEmpty(Decode(reader, dir.File("missing.rgb")));
}

// A run-length RGB file of xsize × ysize whose every row of every channel is the same run
// encoding, stored once: a few bytes declaring a picture of any size.
Bytes SgiSharedRows(int xsize, int ysize, char value)
{
    Bytes row;
    for (int left = xsize; left > 0; left -= 127)
        row += {char(left < 127 ? left : 127), value};
    row += '\0';
    const int rows = ysize * 3;
    const uint32_t at = 512 + 8 * uint32_t(rows);
    Bytes offsets, lengths;
    for (int i = 0; i < rows; ++i)
    {
        offsets += Be32(at);
        lengths += Be32(uint32_t(row.size()));
    }
    return SgiHeader(1, 1, 3, xsize, ysize, 3) + offsets + lengths + row;
}

TEST(GFX_ImageSerializerRGBTest, PicturesOverThePixelBudgetAreRefusedBeforeAllocating)
{
    // 4096 × 4096 is the budget exactly; one column more is refused, although the file that
    // declares it is as small.
    TempDir dir;
    GFX_ImageSerializerRGB reader;
    const Decoded atLimit = Decode(reader, dir.Write("limit.rgb", SgiSharedRows(4096, 4096, 7)));
    ASSERT_TRUE(atLimit.ok);
    EXPECT_EQ(atLimit.width, 4096);
    EXPECT_EQ(atLimit.pixels[size_t(4096) * 4096 * 3 - 1], 7);
    ExpectEmpty(Decode(reader, dir.Write("over.rgb", SgiSharedRows(4097, 4096, 7))));
    ExpectEmpty(Decode(reader, dir.Write("long.rgb", SgiSharedRows(16384, 16384, 7))));
}

class GFX_ImageSerializerJPEGTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!ImageMagick::Available())
            GTEST_SKIP() << "ImageMagick's convert is not installed";
    }

    // A colour JPEG of ImageMagick's making.
    Bytes MakeJpeg(const std::string& options)
    {
        const std::string path = dir.File("source.jpg");
        EXPECT_TRUE(ImageMagick::Convert("-seed 5 -size 96x64 plasma:fractal " + options + " " +
                                         ImageMagick::Quote(path)));
        std::ifstream in(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }

    TempDir dir;
};

// Where a marker starts in a JPEG stream, or npos.
size_t FindMarker(const Bytes& jpeg, uint8_t marker)
{
    for (size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (uint8_t(jpeg[i]) == 0xff && uint8_t(jpeg[i + 1]) == marker)
            return i;
    return Bytes::npos;
}

TEST_F(GFX_ImageSerializerJPEGTest, DamagedFilesEndWithoutPixelsAndTheProcessGoesOn)
{
    const Bytes baseline = MakeJpeg("-quality 85");
    const Bytes progressive = MakeJpeg("-quality 85 -interlace Plane");
    ASSERT_GT(baseline.size(), 1000u);
    const size_t scan = FindMarker(baseline, 0xda);  // start of scan
    const size_t frame = FindMarker(baseline, 0xc0); // baseline frame header
    ASSERT_NE(scan, Bytes::npos);
    ASSERT_NE(frame, Bytes::npos);

    auto corrupt = [&](Bytes file, size_t at, const Bytes& with)
    { return file.replace(at, with.size(), with); };
    // The frame header holds the height at +5 and the width at +7, big-endian.
    auto resized = [&](int width, int height)
    {
        return corrupt(baseline, frame + 5,
                       {char(height >> 8), char(height), char(width >> 8), char(width)});
    };
    struct Row
    {
        const char* why;
        Bytes file;
    };
    const Row rows[] = {
        {"zero bytes", ""},
        {"not a JPEG", "GIF89a, or a web server's error page"},
        {"only the start marker", "\xff\xd8"},
        {"header only", baseline.substr(0, scan)},
        {"truncated in the scan", baseline.substr(0, (scan + baseline.size()) / 2)},
        {"progressive truncated", progressive.substr(0, progressive.size() / 2)},
        {"marker in the middle of the scan",
         corrupt(baseline, (scan + baseline.size()) / 2, "\xff\xd0\xff\xd0")},
        {"Huffman tables destroyed",
         corrupt(baseline, FindMarker(baseline, 0xc4) + 5, Bytes(16, '\xff'))},
        {"zero width", resized(0, 64)},
        {"wider than the limit", resized(60000, 64)},
        {"both sides at the limit plus one", resized(16385, 16385)},
    };
    GFX_ImageSerializerJPEG reader;
    ASSERT_TRUE(Decode(reader, dir.Write("good.jpg", baseline)).ok);
    ASSERT_TRUE(Decode(reader, dir.Write("good2.jpg", progressive)).ok);
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.why);
        ExpectEmpty(Decode(reader, dir.Write("x.jpg", row.file)));
    }
}

TEST_F(GFX_ImageSerializerJPEGTest, JunkAfterTheLastScanlineKeepsThePicture)
{
    // Every scanline decodes; libjpeg complains only when it reaches the end marker.
    const Bytes baseline = MakeJpeg("-quality 85");
    ASSERT_EQ(FindMarker(baseline, 0xd9), baseline.size() - 2);
    const Bytes junk = baseline.substr(0, baseline.size() - 2) + "junk\xff\xd9";
    GFX_ImageSerializerJPEG reader;
    const Decoded whole = Decode(reader, dir.Write("whole.jpg", baseline));
    const Decoded d = Decode(reader, dir.Write("junk.jpg", junk));
    ASSERT_TRUE(whole.ok);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(d.pixels.get()), 96 * 64 * 3),
              Bytes(reinterpret_cast<char*>(whole.pixels.get()), 96 * 64 * 3));
}

TEST_F(GFX_ImageSerializerJPEGTest, HugeDeclaredPictureWithoutDataIsRefusedNotDecoded)
{
    const Bytes baseline = MakeJpeg("-quality 85");
    const size_t frame = FindMarker(baseline, 0xc0);
    ASSERT_NE(frame, Bytes::npos);
    // 16384 × 16384 is allowed, but the data for it is missing: libjpeg's warning about the
    // early end stops decoding instead of filling 768 MiB with grey.
    Bytes huge = baseline;
    huge.replace(frame + 5, 4, "\x40\x00\x40\x00");
    GFX_ImageSerializerJPEG reader;
    ExpectEmpty(Decode(reader, dir.Write("huge.jpg", huge)));
}

TEST_F(GFX_ImageSerializerJPEGTest, StrayBytesBetweenHeaderSegmentsKeepThePicture)
{
    // libjpeg warns about bytes that belong to no segment and skips them; the picture data after
    // them is intact, and other decoders show it whole.
    const Bytes baseline = MakeJpeg("-quality 85");
    GFX_ImageSerializerJPEG reader;
    const Decoded whole = Decode(reader, dir.Write("whole.jpg", baseline));
    ASSERT_TRUE(whole.ok);
    const struct
    {
        const char* before;
        uint8_t marker;
    } places[] = {{"quantisation tables", 0xdb},
                  {"frame header", 0xc0},
                  {"Huffman tables", 0xc4},
                  {"start of scan", 0xda}};
    for (const auto& place : places)
    {
        SCOPED_TRACE(place.before);
        const size_t at = FindMarker(baseline, place.marker);
        ASSERT_NE(at, Bytes::npos);
        Bytes stray = baseline;
        stray.insert(at, "\x12\x34");
        const Decoded d = Decode(reader, dir.Write("stray.jpg", stray));
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(d.width, whole.width);
        ASSERT_EQ(d.height, whole.height);
        EXPECT_EQ(Bytes(reinterpret_cast<char*>(d.pixels.get()), 96 * 64 * 3),
                  Bytes(reinterpret_cast<char*>(whole.pixels.get()), 96 * 64 * 3));
    }
}

TEST_F(GFX_ImageSerializerJPEGTest, LargePicturesAreDecodedScaledToWhatALabelCanShow)
{
    // The fewest eighths that keep the longer side at 1024 or more; smaller pictures stay whole.
    const struct
    {
        int64_t width, height;
        int eighths;
    } scales[] = {{50, 50, 8},     {1024, 700, 8},   {1025, 10, 8},   {10, 1300, 7},
                  {2048, 2048, 4}, {2049, 100, 4},   {4096, 3000, 2}, {8192, 8192, 1},
                  {16384, 64, 1},  {16384, 16384, 1}};
    for (const auto& scale : scales)
        EXPECT_EQ(GFX_ImageSerializerJPEG::ScaleEighthsFor(scale.width, scale.height),
                  scale.eighths)
            << scale.width << " x " << scale.height;

    const std::string path = dir.File("wide.jpg");
    ASSERT_TRUE(ImageMagick::Convert("-size 1500x900 gradient:red-blue -quality 90 " +
                                     ImageMagick::Quote(path)));
    GFX_ImageSerializerJPEG reader;
    const Decoded d = Decode(reader, path);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.width, 1125) << "six eighths of 1500";
    EXPECT_EQ(d.height, 675);
    EXPECT_EQ(d.bits, 24);
    // Still bottom row first: the gradient runs from red at the top to blue at the bottom.
    EXPECT_GT(d.pixels[2], 200) << "the bottom row is blue";
    const size_t top = size_t(d.height - 1) * size_t(d.width) * 3;
    EXPECT_GT(d.pixels[top], 200) << "the top row is red";
}

// A w × h colour JPEG written by libjpeg one row at a time, so that a picture of gigabytes of
// pixels costs the test one row of memory: two gradients and a chequerboard of 512-pixel squares,
// which compress to a few megabytes.
bool WriteLargeJpeg(const std::string& path, int width, int height)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 50, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(size_t(width) * 3);
    while (info.next_scanline < info.image_height)
    {
        const int y = int(info.next_scanline);
        for (int x = 0; x < width; ++x)
        {
            row[size_t(x) * 3] = JSAMPLE(x * 255 / width);
            row[size_t(x) * 3 + 1] = JSAMPLE(y * 255 / height);
            row[size_t(x) * 3 + 2] = JSAMPLE(((x / 512 + y / 512) % 2) * 255);
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(file) == 0;
}

// A field of /proc/self/status in kB ("VmRSS" resident now, "VmHWM" its peak); -1 if absent.
long StatusKilobytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::stol(line.substr(field.size() + 1));
    return -1;
}

TEST(GFX_ImageSerializerJPEGMemoryTest, AHugePictureCostsLittleMoreThanALabelShows)
{
    // 16384 × 16384 passes the side limit, and its file the picture worker's download cap; whole,
    // it would take 768 MiB of pixels. Decoded at an eighth it takes 12 MiB.
    TempDir dir;
    const std::string path = dir.File("huge.jpg");
    ASSERT_TRUE(WriteLargeJpeg(path, 16384, 16384));
    EXPECT_LT(std::filesystem::file_size(path), 16u << 20);

    const long before = StatusKilobytes("VmRSS");
    ASSERT_GT(before, 0) << "no /proc/self/status";
    // Writing 5 to clear_refs restarts the peak at the present size, so the peak below is this
    // decode's alone; where that is refused, the memory still held afterwards is measured.
    const bool peakRestarted = bool(std::ofstream("/proc/self/clear_refs") << "5" << std::flush);
    GFX_Image image(path);
    const long after = StatusKilobytes(peakRestarted ? "VmHWM" : "VmRSS");
    ASSERT_TRUE(image.HasPixels());
    EXPECT_EQ(image.GetWidth(), 2048);
    EXPECT_EQ(image.GetHeight(), 2048);
    EXPECT_LT(after - before, 100L * 1024)
        << (peakRestarted ? "peak" : "resident") << " growth in kB while decoding";
}

TEST_F(GFX_ImageSerializerJPEGTest, MissingFileIsReportedOnStderr)
{
    GFX_ImageSerializerJPEG reader;
    testing::internal::CaptureStderr();
    ExpectEmpty(Decode(reader, dir.File("nowhere.jpg")));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("JPEG Error: Can't open file "), std::string::npos) << said;
    EXPECT_NE(said.find("nowhere.jpg"), std::string::npos) << said;
}

TEST(GFX_ImageSerializerTest, ReadsFromStreamsInMemory)
{
    // The fuzz targets feed readers through fmemopen; the result must match a file's.
    Bytes file = Tga(1, 2, 24, "\x01\x02\x03\x04\x05\x06");
    FILE* stream = fmemopen(file.data(), file.size(), "rb");
    ASSERT_NE(stream, nullptr);
    GFX_ImageSerializerTGA reader;
    Decoded d;
    d.ok = reader.LoadStream(stream, d.pixels, d.bits, d.width, d.height);
    std::fclose(stream);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.height, 2);
    EXPECT_EQ(Bytes(reinterpret_cast<char*>(d.pixels.get()), 6), "\x03\x02\x01\x06\x05\x04");
}
} // namespace
