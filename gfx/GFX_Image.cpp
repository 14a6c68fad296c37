#include "gfx/GFX_Image.h"

#include "gfx/GFX_ImageSerializer.h"

#include <algorithm>
#include <cctype>
#include <new>

GFX_Image::GFX_Image(const std::string& path)
{
    Load(path);
}

GFX_Image::~GFX_Image() = default;

bool GFX_Image::Load(const std::string& path)
{
    std::unique_ptr<GFX_ImageSerializer> reader;
    switch (ImageTypeFromPath(path))
    {
    case TypeRGB:
        reader = std::make_unique<GFX_ImageSerializerRGB>();
        break;
    case TypeTGA:
        reader = std::make_unique<GFX_ImageSerializerTGA>();
        break;
    case TypeJPEG:
        reader = std::make_unique<GFX_ImageSerializerJPEG>();
        break;
    default:
        return false; // unknown, or BMP without a reader: keep what we had
    }
    pixels.reset();
    return reader->Load(path, pixels, bitsPerPixel, width, height);
}

int GFX_Image::ImageTypeFromPath(const std::string& path)
{
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return TypeUnknown;
    std::string suffix = path.substr(dot);
    for (char& c : suffix)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (suffix == ".BMP")
        return TypeBMP;
    if (suffix == ".RAW" || suffix == ".RGB")
        return TypeRGB;
    if (suffix == ".TGA")
        return TypeTGA;
    if (suffix == ".JPG")
        return TypeJPEG;
    return TypeUnknown;
}

size_t GFX_Image::GetByteCount() const
{
    if (!pixels)
        return 0;
    return size_t(width) * size_t(height) * (bitsPerPixel / 8u);
}

bool GFX_Image::IsOpaque() const
{
    if (!pixels)
        return false;
    const int channels = bitsPerPixel / 8;
    if (channels != 2 && channels != 4)
        return true;
    const size_t count = size_t(width) * size_t(height);
    for (size_t i = 0; i < count; ++i)
        if (pixels[i * channels + channels - 1] != 255)
            return false;
    return true;
}

bool GFX_Image::ScaleDown(int32_t maxSide)
{
    const int64_t channels = bitsPerPixel / 8;
    const int64_t longer = std::max(width, height);
    if (!pixels || channels < 1 || maxSide < 1 || longer <= maxSide)
        return false;
    const int64_t oldWidth = width;
    const int64_t oldHeight = height;
    const int64_t newWidth = std::max<int64_t>(1, (oldWidth * maxSide + longer / 2) / longer);
    const int64_t newHeight = std::max<int64_t>(1, (oldHeight * maxSide + longer / 2) / longer);
    std::unique_ptr<uint8_t[]> scaled(new (std::nothrow)
                                          uint8_t[size_t(newWidth * newHeight * channels)]);
    if (!scaled)
        return false;

    // The blocks tile the old picture: column x takes old columns [x·W/w, (x+1)·W/w), and as
    // w ≤ W none of them is empty. Rows likewise; rows stay bottom first.
    uint8_t* out = scaled.get();
    for (int64_t y = 0; y < newHeight; ++y)
    {
        const int64_t y0 = y * oldHeight / newHeight;
        const int64_t y1 = (y + 1) * oldHeight / newHeight;
        for (int64_t x = 0; x < newWidth; ++x)
        {
            const int64_t x0 = x * oldWidth / newWidth;
            const int64_t x1 = (x + 1) * oldWidth / newWidth;
            const uint64_t count = uint64_t((y1 - y0) * (x1 - x0));
            for (int64_t c = 0; c < channels; ++c)
            {
                uint64_t sum = 0;
                for (int64_t row = y0; row < y1; ++row)
                {
                    const uint8_t* in = pixels.get() + (row * oldWidth + x0) * channels + c;
                    for (int64_t column = x0; column < x1; ++column, in += channels)
                        sum += *in;
                }
                *out++ = uint8_t((sum + count / 2) / count);
            }
        }
    }
    pixels = std::move(scaled);
    width = int32_t(newWidth);
    height = int32_t(newHeight);
    return true;
}
