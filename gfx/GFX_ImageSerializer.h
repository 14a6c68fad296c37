#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// The image readers. A serializer is short-lived: Load decodes one file into the serializer's
// own fields and then hands them to the caller (the pixel block changes owner), so a reader
// can be created, used once and deleted. Every reader delivers tightly packed rows, bottom row
// first, in R, G, B(, A) byte order.
//
// Hostile files are expected (pictures come from the network): every reader checks each size
// and offset against the data before it reads or writes, refuses pictures wider or taller than
// MaxSide or of more than MaxPixels pixels before allocating anything (a few bytes of run-length
// SGI or JPEG can declare gigabytes of pixels), and reports failure as an empty result (no pixels,
// sizes 0). Readers make no GL calls and share no state, so they run on any thread.
class GFX_ImageSerializer
{
public:
    // The largest width or height any reader accepts.
    static constexpr int32_t MaxSide = 16384;
    // The most pixels a decoded picture may hold: 48 MiB at 24 bits, 64 MiB at 32. The JPEG
    // reader scales larger pictures down while decoding; the others refuse them.
    static constexpr int64_t MaxPixels = int64_t(4096) * 4096;

    GFX_ImageSerializer() = default;
    virtual ~GFX_ImageSerializer();

    GFX_ImageSerializer(const GFX_ImageSerializer&) = delete;
    GFX_ImageSerializer& operator=(const GFX_ImageSerializer&) = delete;

    // Opens `path` and decodes it with LoadStream. On success the outputs receive the picture
    // and true is returned; on any failure they receive an empty picture (null, 0, 0, 0).
    virtual bool Load(const std::string& path, std::unique_ptr<uint8_t[]>& outPixels,
                      uint8_t& outBitsPerPixel, int32_t& outWidth, int32_t& outHeight);
    // The same from a stream that is open for reading and seekable, read from its current
    // position (for files in memory, e.g. fmemopen). The stream stays open.
    virtual bool LoadStream(FILE* stream, std::unique_ptr<uint8_t[]>& outPixels,
                            uint8_t& outBitsPerPixel, int32_t& outWidth, int32_t& outHeight) = 0;
    // Nothing in the viewer writes pictures; the readers' versions write nothing and return
    // false.
    virtual bool Save(const std::string& path, const uint8_t* pixels, uint8_t bitsPerPixel,
                      int32_t width, int32_t height) = 0;

protected:
    // Moves the fields to the outputs and clears them; returns whether pixels were handed out.
    bool HandOut(std::unique_ptr<uint8_t[]>& outPixels, uint8_t& outBitsPerPixel, int32_t& outWidth,
                 int32_t& outHeight);
    // Drops whatever a failed decode left in the fields.
    void Clear();

    // The bytes from the stream's position to its end; -1 where the stream cannot seek.
    static long RemainingBytes(FILE* stream);
    // Reads exactly `count` bytes; false on a short read.
    static bool ReadExactly(FILE* stream, void* buffer, size_t count);
    // A pixel block of `count` bytes (zeroed when asked), or null where memory runs out.
    static std::unique_ptr<uint8_t[]> Allocate(size_t count, bool zeroed);
    // Whether both sides lie within 1…MaxSide.
    static bool IsWithinSideLimit(int64_t width, int64_t height);
    // Whether a picture of width × height may be allocated at all: within the side limit and
    // the pixel budget.
    static bool IsSensibleSize(int64_t width, int64_t height);

    std::unique_ptr<uint8_t[]> pixels;
    uint8_t bitsPerPixel = 0;
    int32_t width = 0;
    int32_t height = 0;
    // Clear: multi-byte header fields are big-endian (SGI) and are swapped on reading.
    bool littleEndian = false;
};

// Uncompressed true-colour TGA, 24 or 32 bits per pixel (BGR(A) in the file, swapped to
// RGB(A)). Rows are taken in file order as bottom row first; the descriptor's origin bit is not
// consulted, so a picture stored top-down comes out upside down. Run-length, colour-mapped,
// grey and 8- or 16-bit files, and files shorter than their header claims, give no pixels.
class GFX_ImageSerializerTGA : public GFX_ImageSerializer
{
public:
    GFX_ImageSerializerTGA() = default;
    ~GFX_ImageSerializerTGA() override;

    using GFX_ImageSerializer::Load;
    bool LoadStream(FILE* stream, std::unique_ptr<uint8_t[]>& outPixels, uint8_t& outBitsPerPixel,
                    int32_t& outWidth, int32_t& outHeight) override;
    bool Save(const std::string& path, const uint8_t* pixels, uint8_t bitsPerPixel, int32_t width,
              int32_t height) override;

    static constexpr size_t HeaderSize = 18;
};

// SGI RGB (".rgb", ".raw"), plain or run-length encoded, one byte per channel, with 1, 3 or 4
// channels (8, 24 or 32 bits per pixel: grey, RGB, RGBA). The file's separate channel planes
// are interleaved; SGI already stores rows bottom first. Two bytes per channel, two channels,
// and run-length rows that would overflow their row or point outside the file give no pixels.
class GFX_ImageSerializerRGB : public GFX_ImageSerializer
{
public:
    GFX_ImageSerializerRGB() = default;
    ~GFX_ImageSerializerRGB() override;

    using GFX_ImageSerializer::Load;
    bool LoadStream(FILE* stream, std::unique_ptr<uint8_t[]>& outPixels, uint8_t& outBitsPerPixel,
                    int32_t& outWidth, int32_t& outHeight) override;
    bool Save(const std::string& path, const uint8_t* pixels, uint8_t bitsPerPixel, int32_t width,
              int32_t height) override;

    static constexpr size_t HeaderSize = 512;

private:
    // The picture being decoded: `rows` rows of `width` pixels of `channels` bytes.
    struct Picture
    {
        uint32_t width;
        uint32_t rows;
        uint32_t channels;
        std::unique_ptr<uint8_t[]> pixels;
    };
    bool ReadPlain(FILE* stream, size_t available, Picture& picture);
    bool ReadRunLength(FILE* stream, long start, size_t fileSize, uint32_t ysize, uint32_t zsize,
                       Picture& picture);
    // Header fields in the file's byte order.
    uint32_t Field16(const uint8_t* bytes) const;
    uint32_t Field32(const uint8_t* bytes) const;
};

// JPEG through libjpeg, always 24 bits per pixel. Only pictures that decode to three
// components (colour JPEGs) give pixels; greyscale and CMYK files give none. Every libjpeg
// error, and every warning about damaged data (a truncated or corrupt stream) in the scans before
// the last scanline is in, ends decoding with no pixels and leaves the process running. Warnings
// while the header is read (stray bytes between its segments, unusual markers) do not: the
// picture data is intact and decodes whole. A file that cannot be opened is reported on stderr as
// "JPEG Error: Can't open file " and the path.
//
// A picture whose longer side exceeds DisplaySide is decoded at the smallest of libjpeg's
// scales (an eighth to seven eighths) that keeps its longer side at DisplaySide or more: no label
// or docked item shows a picture that large, and decoding a 16384 × 16384 picture whole would
// cost 768 MiB. The sizes handed out are those of the scaled picture.
class GFX_ImageSerializerJPEG : public GFX_ImageSerializer
{
public:
    GFX_ImageSerializerJPEG() = default;
    ~GFX_ImageSerializerJPEG() override;

    bool Load(const std::string& path, std::unique_ptr<uint8_t[]>& outPixels,
              uint8_t& outBitsPerPixel, int32_t& outWidth, int32_t& outHeight) override;
    bool LoadStream(FILE* stream, std::unique_ptr<uint8_t[]>& outPixels, uint8_t& outBitsPerPixel,
                    int32_t& outWidth, int32_t& outHeight) override;
    bool Save(const std::string& path, const uint8_t* pixels, uint8_t bitsPerPixel, int32_t width,
              int32_t height) override;

    // libjpeg's budget for whole-picture buffers (progressive and multi-scan pictures keep
    // every coefficient of the unscaled picture in memory, two bytes per pixel and component);
    // a picture that needs more is refused. Enough for a progressive 4096 × 4096 picture with
    // the usual halved chroma.
    static constexpr long MaxDecoderMemory = 96L * 1024 * 1024;
    // The longer side above which pictures are decoded scaled down.
    static constexpr int32_t DisplaySide = 1024;
    // The scale, in eighths (1…8), at which a picture of width × height is decoded.
    static int ScaleEighthsFor(int64_t width, int64_t height);

private:
    // The libjpeg part; `decoder` is the decoder state, kept out of the frame that calls
    // setjmp. False when libjpeg failed or the picture is not wanted.
    bool Decode(void* decoder, FILE* stream);
};
