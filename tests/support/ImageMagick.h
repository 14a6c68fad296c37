#pragma once

#include <string>

// ImageMagick's convert, used by the picture tests as an independent encoder and decoder: it
// writes the reference files and decodes them into raw bytes to compare with our readers.
// Arguments are passed to the shell as written, so paths must be quoted by the caller (Quote).
namespace ImageMagick
{
// Whether convert can be run at all.
bool Available();
// Runs `convert <arguments>`; true when it exits with status 0.
bool Convert(const std::string& arguments);
// What `convert <arguments>` writes to its standard output (binary); empty on failure.
std::string ConvertOutput(const std::string& arguments);
// `text` in single quotes for the shell.
std::string Quote(const std::string& text);
} // namespace ImageMagick
