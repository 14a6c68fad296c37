#pragma once

#include "tools/artwork/ART_Canvas.h"
#include "tools/artwork/ART_Textures.h"

#include <string>
#include <vector>

// A contact sheet for judging the artwork: for every theme of a themes file, a mock-up of the
// viewer's window at true scale — a globe of locators with labels, pictures, names and
// connection dots under the fog, the dial with its globe, the rotation buttons, the top bar, the
// logos and both docks — drawn with the textures as the viewer samples, tints and blends them;
// then every texture on its own over a checkerboard.
ART_Canvas ART_DrawContactSheet(const std::vector<ART_Texture>& textures, const ART_Fonts& fonts,
                                const std::string& themesPath);
