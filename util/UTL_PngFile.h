#pragma once

#include <cstdint>
#include <string>

// Writes width × height straight RGBA bytes as an 8-bit RGBA PNG. The rows run top first, or
// bottom first (as GL reads them) with `bottomUp`. False with `error` set when the file cannot
// be written or encoded.
bool UTL_WritePng(const std::string& path, int width, int height, const uint8_t* rgba,
                  bool bottomUp, std::string& error);
