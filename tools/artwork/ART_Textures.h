#pragma once

#include "tools/artwork/ART_Canvas.h"
#include "tools/artwork/ART_Typeface.h"

#include <memory>
#include <string>
#include <vector>

// The interface textures of Halvane, drawn from code so that they can be rebuilt and changed in
// one place. Every texture is white or light where the viewer tints it with a theme colour, and
// carries its shape in alpha; only the two logos keep colours of their own.

// Where Debian's fonts-dejavu-core puts its fonts.
constexpr const char* ART_DefaultFontDirectory = "/usr/share/fonts/truetype/dejavu";

// The typefaces the artwork uses, all from the DejaVu family.
struct ART_Fonts
{
    std::unique_ptr<ART_Typeface> mono;     // DejaVu Sans Mono: the bitmap font of the names
    std::unique_ptr<ART_Typeface> sans;     // DejaVu Sans
    std::unique_ptr<ART_Typeface> sansBold; // DejaVu Sans Bold: wordmarks, compass letters

    // Opens the three from `directory`; false with `error` naming the file that failed.
    bool Open(const std::string& directory, std::string& error);
};

struct ART_Texture
{
    std::string file; // name under data/config/
    std::string look; // one line on what it shows
    ART_Canvas canvas;
};

// Bitmap font layout: 16 × 16 cells, one per 8-bit code, row 0 at the top of the picture. The
// viewer samples only the left half of a cell and the lower 95 % of its height.
constexpr int ART_FontTextureSize = 512;
constexpr int ART_FontCells = 16;

// Draws every texture, in a fixed order.
std::vector<ART_Texture> ART_DrawTextures(const ART_Fonts& fonts);

// The program's icon, size × size pixels: the logo's globe mark on its own.
ART_Canvas ART_DrawIcon(int size);
// The sizes the icon is installed in (the desktop's hicolor theme).
constexpr int ART_IconSizes[] = {16, 24, 32, 48, 64, 128, 256};

// Draws every texture and writes it as `<directory>/<file>`; false with `error` set when a file
// cannot be written.
bool ART_WriteTextures(const ART_Fonts& fonts, const std::string& directory, std::string& error);
