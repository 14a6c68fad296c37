#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A decoded picture in the layout an OpenGL upload expects: tightly packed rows (no padding),
// the bottom row first, bytes in R, G, B(, A) order, or one byte per pixel for grey images.
// Sizes are in pixels. An image is either empty (width and height 0, no pixels) or holds
// exactly width × height × bitsPerPixel / 8 bytes.
//
// Loading is plain file I/O and decoding with no GL calls, so it may run on any thread (the
// picture worker loads images off the GL thread); one image must not be used by two threads at
// the same time.
class GFX_Image
{
public:
    // The result of the extension test. BMP is recognised but has no reader.
    enum ImageType : int
    {
        TypeUnknown = 4096,
        TypeBMP = 4097,
        TypeRGB = 4098, // SGI RGB, ".rgb" or ".raw"
        TypeTGA = 4100,
        TypeJPEG = 4104,
    };

    GFX_Image() = default;
    // Loads `path` at once (see Load).
    explicit GFX_Image(const std::string& path);
    virtual ~GFX_Image();

    GFX_Image(const GFX_Image&) = delete;
    GFX_Image& operator=(const GFX_Image&) = delete;

    // Reads the picture at `path` with the reader its extension selects. With a reader, the old
    // pixels go first and a file that cannot be read or decoded leaves the image empty; an
    // unknown or BMP extension changes nothing. Returns whether a picture was read.
    bool Load(const std::string& path);

    // The type chosen by the text from the last "." on, compared case-insensitively with
    // ".bmp", ".raw", ".rgb", ".tga" and ".jpg"; anything else (".jpeg" too) is unknown.
    static int ImageTypeFromPath(const std::string& path);

    int32_t GetWidth() const { return width; }
    int32_t GetHeight() const { return height; }
    uint8_t GetBitsPerPixel() const { return bitsPerPixel; }
    const uint8_t* GetPixels() const { return pixels.get(); }
    bool HasPixels() const { return pixels != nullptr; }
    // width × height × bitsPerPixel / 8; 0 while empty.
    size_t GetByteCount() const;
    // Whether every pixel is fully opaque: a picture without alpha, or one whose alpha is 255
    // throughout. False while empty.
    bool IsOpaque() const;

    // Shrinks a picture whose longer side exceeds maxSide so that it is maxSide, the other side
    // in proportion (at least 1): each new pixel is the rounded mean of the block of old pixels
    // it covers. The new block is allocated before the old one goes, and holds at most
    // maxSide² pixels whatever the old size. False, and nothing changed, when the picture is
    // empty, already small enough or the memory cannot be had.
    bool ScaleDown(int32_t maxSide);

private:
    int32_t width = 0;
    int32_t height = 0;
    uint8_t bitsPerPixel = 0;
    std::unique_ptr<uint8_t[]> pixels;
};
