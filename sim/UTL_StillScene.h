#pragma once

#include "gfx/GFX_Vector3.h"
#include "gfx/OGL_FrameCopy.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class GFX_HalvaneCamera;
class UTL_FriendCircle;
struct GFX_DrawPaths;

// A running digest of everything one globe pass draws from: the frame's matrices and size, the
// theme and fog, every locator's place, label side, size and pictures, every line's ends and
// highlight. Two frames whose digests agree draw the same globe pass. Each value is mixed in as
// whole 64-bit words, so a digest over a hundred thousand lines stays a small share of a frame.
class UTL_SceneDigest
{
public:
    void Add(uint64_t value);
    void Add(int value) { Add(static_cast<uint64_t>(static_cast<int64_t>(value))); }
    void Add(bool value) { Add(static_cast<uint64_t>(value ? 1 : 0)); }
    void Add(float value);
    void Add(const void* pointer)
    {
        Add(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(pointer)));
    }
    void Add(const GFX_Vector3& value);
    void Add(const std::string& text);
    void Add(const std::optional<GFX_Vector3>& value);
    // Every locator (place, label side and size, selection, colour, the person and their
    // pictures' paths) and every line (ends, highlight, alpha, colour) of the circle.
    void AddCircle(UTL_FriendCircle& circle);
    // The camera's eye, target and up, and the window's size: where the view looks from.
    void AddCamera(const GFX_HalvaneCamera& camera, int width, int height);
    // Every switch of the ways of drawing.
    void AddDrawPaths(const GFX_DrawPaths& paths);
    // Any plain bytes (a theme, a matrix), with their count.
    void AddBytes(const void* bytes, size_t count);

    uint64_t Value() const { return state; }

private:
    uint64_t state = 0x243F6A8885A308D3ull;
};

// Keeps the last globe pass in a texture and tells when a frame may show it again instead of
// drawing the globe anew. A frame digests what its globe pass draws from before the pass
// (`before`) and after it (`after`): a pass that changed nothing it read (no label still sliding,
// no line just resolved, no picture arrived meanwhile) and that drew what the frame before it
// drew is kept; the next frame whose `before` equals it shows the copy. Copying only once a frame
// repeated its predecessor keeps a turning globe from paying for a copy every frame.
//
// Only the colour buffer is kept (OGL_FrameCopy): the interface pass that follows draws without
// the depth test. Sizes are window pixels. GL thread only for DrawOrShow, Keep and ReleaseGL; the
// decisions need no GL.
class UTL_StillScene
{
public:
    // One frame's globe pass: drawn by `draw`, or, when `reuse` allows it and `digest` (what the
    // pass would draw from, asked before and after drawing) says nothing changed, shown from the
    // copy. True when the copy was shown.
    bool DrawOrShow(bool reuse, int width, int height, const std::function<uint64_t()>& digest,
                    const std::function<void()>& draw);

    // Whether a frame whose globe pass would draw from `before` may show the kept pass.
    bool CanShow(uint64_t before) const { return kept && before == keptDigest; }
    // A frame showed the kept pass.
    void Showed(uint64_t before)
    {
        lastDigest = before;
        ++shown;
    }
    // A frame drew its globe pass; true when that pass is worth keeping (call Keep then).
    bool Drew(uint64_t before, uint64_t after);
    // Nothing kept is valid any more (the way of drawing changed, or the window is empty).
    void Forget();

    // Copies the colour buffer's width × height pixels, the pass just drawn.
    void Keep(int width, int height, uint64_t digest);
    // Releases the copy's texture; context current.
    void ReleaseGL();

    bool IsKept() const { return kept; }
    // Whether the last DrawOrShow digested its pass (it reused or may reuse the copy), and the
    // digest of what that pass drew from.
    bool HasDigest() const { return lastValid; }
    uint64_t GetDigest() const { return lastDigest; }
    // Frames that showed the copy so far.
    long long CountShown() const { return shown; }

private:
    bool kept = false;
    uint64_t keptDigest = 0;
    uint64_t lastDigest = 0;
    bool lastValid = false;
    long long shown = 0;
    OGL_FrameCopy copy;
};
