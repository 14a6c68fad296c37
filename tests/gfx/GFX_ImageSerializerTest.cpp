#include "gfx/GFX_ImageSerializer.h"

#include "gfx/GFX_Image.h"
#include "support/ImageMagick.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

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
