#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The four sizes of a profile picture, as named in users.getInfo.
enum class SRV_PictureSize
{
    Square, // pic_square: 50 × 50
    Small,  // pic_small: 50 wide
    Normal, // pic: 100 wide
    Big,    // pic_big: 200 wide
};

// Draws a person's profile picture: their initials in white on their own colour (a hue and
// shade taken from the uid, shaded top to bottom), lettered with a small built-in bitmap font
// scaled and anti-aliased to the picture, and encodes it as a baseline JPEG. The three portrait
// sizes are 3 : 4. Pure functions; safe from any thread.
class SRV_PictureMaker
{
public:
    struct Dimensions
    {
        int width;
        int height;
    };

    static Dimensions SizeOf(SRV_PictureSize size);
    // The file name of a size in picture addresses ("square", "small", "normal", "big").
    static const char* NameOf(SRV_PictureSize size);
    static bool FromName(const std::string& name, SRV_PictureSize& size);

    // Up to two capital letters: the first letters of the first and the last name (of the full
    // name's first and last words when those are missing); '?' for a letter outside A–Z.
    static std::string Initials(const std::string& firstName, const std::string& lastName,
                                const std::string& name);
    // The person's colour, 8-bit RGB.
    static void ColourOf(int64_t uid, uint8_t rgb[3]);

    // The picture as 8-bit RGB rows, top row first.
    static std::vector<uint8_t> Render(int64_t uid, const std::string& initials, int width,
                                       int height);
    // `rgb` (width × height × 3 bytes) as JPEG; empty when encoding fails.
    static std::string EncodeJpeg(const std::vector<uint8_t>& rgb, int width, int height,
                                  int quality);

    // Render and encode in one step.
    static std::string MakeJpeg(int64_t uid, const std::string& initials, SRV_PictureSize size);
};
