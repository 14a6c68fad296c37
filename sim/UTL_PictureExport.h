#pragma once

#include <cstdint>
#include <string>
#include <vector>

class UTL_SimCtrlHalvane;

// A picture of the main scene as the window shows it, at the window's size or larger: the
// controller draws one frame into an offscreen framebuffer of the asked size (so a larger
// picture is drawn at that size, not scaled up), which is read back. GL thread only, with the
// controller's context current; the framebuffer bound before is bound again afterwards.
namespace UTL_PictureExport
{
// The largest side a picture may have.
constexpr int MaxSide = 8192;

// The largest side this context can draw offscreen: MaxSide, or less where the GL's
// renderbuffers or viewport are smaller; 0 without framebuffer objects.
int MaxSideSupported();

// An RGBA picture, top row first, every pixel opaque.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Draws one frame of the controller at width × height into `picture`. The frame is one more
// frame of the scene: motions advance by the shortest frame time. False with `error` set when
// the size is out of range or the GL cannot draw it; then nothing was drawn.
bool Render(UTL_SimCtrlHalvane& controller, int width, int height, Picture& picture,
            std::string& error);
} // namespace UTL_PictureExport
