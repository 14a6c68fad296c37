#pragma once

#include <string>

// Writes the current GL read buffer (width × height, RGBA) to a PNG file, top row first as PNG
// wants it. Returns false and fills `error` when the file cannot be written.
bool WriteFramebufferPng(const std::string& path, int width, int height, std::string& error);
