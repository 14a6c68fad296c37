#pragma once

#include "tools/artwork/ART_Canvas.h"

#include <string>

// Writes a canvas as an 8-bit RGBA PNG; false when the file cannot be written.
bool ART_WritePng(const std::string& path, const ART_Canvas& canvas);
