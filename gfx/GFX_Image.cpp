#include "gfx/GFX_Image.h"

#include "gfx/GFX_ImageSerializer.h"

#include <cctype>

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
