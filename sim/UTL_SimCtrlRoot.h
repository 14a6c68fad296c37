#pragma once

#include "gfx/GFX_HalvaneCamera.h"
#include "gfx/GFX_Vector3.h"
#include "gfx/OGL_Wrapper.h"

#include <cstdint>
#include <memory>

// The scene controller the GL view drives. The view creates one controller once its context
// exists, calls Initialize once with the client size, then Step once per frame with the client
// size and the seconds since the previous frame, and forwards every mouse and key event as it
// arrives. Events only record state; the next Step acts on them.
//
// Units: client pixels with the origin at the bottom-left corner (the view flips y), degrees
// for the camera, seconds for time. `buttons` is the low four bits of the mouse-flag word:
// bit 0 left held, bit 1 right held, bit 2 Shift held, bit 3 Ctrl held. Key codes are the
// classic virtual-key codes 0…255.
//
// Threading: every operation runs on the GL thread with the view's context current, except
// the destructor, which the view runs with its context current again so that textures can go.
// The base creates no threads; a concrete controller may own workers of its own.
class UTL_SimCtrlRoot
{
public:
    enum MouseButtonBits
    {
        LeftButtonBit = 1,
        RightButtonBit = 2,
        ShiftBit = 4,
        ControlBit = 8,
    };

    UTL_SimCtrlRoot() = default;
    virtual ~UTL_SimCtrlRoot() = default;

    UTL_SimCtrlRoot(const UTL_SimCtrlRoot&) = delete;
    UTL_SimCtrlRoot& operator=(const UTL_SimCtrlRoot&) = delete;

    // Sets up the GL state every scene shares (lighting from +y, culling, depth test, colour
    // material, 2-D texturing, smooth shading, the clear colour and the viewport) and creates
    // the camera. Called exactly once, with the context current.
    virtual void Initialize(int width, int height);
    // Renders one frame. The base runs BeginFrame and counts the frame; concrete controllers
    // draw more.
    virtual void Step(int width, int height, float seconds);
    virtual void OnMouseMove(int x, int y, int unused1, int unused2, int buttons);
    virtual void OnMouseDown(int x, int y, int buttons);
    virtual void OnMouseUp(int x, int y, int buttons);
    virtual void OnMouseDoubleClick(int x, int y, int buttons);
    virtual void OnKeyDown(int key, int repeatCount);
    virtual void OnKeyUp(int key, int repeatCount);
    // The wheel turned by `delta` eighths of a degree (120 a notch, positive away from the
    // user) with the pointer at (x, y). The base ignores it.
    virtual void OnMouseWheel(int x, int y, int delta);
    // The pointer has left the view. The base ignores it.
    virtual void OnMouseLeave() {}
    // Every key held comes up, as when the view loses the keyboard focus and would never hear
    // the releases.
    void ReleaseKeys();

    // Whether the key is held; false for codes above 255.
    bool IsKeyDown(unsigned key) const { return key < KeyCount && keyState[key] != 0; }

    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetFrameCount() const { return frameCount; }
    int GetMouseX() const { return mouseX; }
    int GetMouseY() const { return mouseY; }
    int GetLastMouseX() const { return lastMouseX; }
    int GetLastMouseY() const { return lastMouseY; }
    GFX_HalvaneCamera* GetCamera() const { return camera.get(); }
    OGL_Wrapper* GetGlWrapper() const { return glWrapper.get(); }
    const GFX_Vector3& GetEyePosition() const { return eyePosition; }
    const GFX_Vector3& GetClearColor() const { return clearColor; }
    float GetFieldOfView() const { return fieldOfView; }
    float GetNearPlane() const { return nearPlane; }
    float GetFarPlane() const { return farPlane; }

    static constexpr unsigned KeyCount = 256;

protected:
    // Replaces the camera with a new one configured for a small scene around the origin.
    // Concrete controllers reconfigure it after the base Initialize returns.
    virtual void CreateCamera();
    // The common start of a frame: refresh the size, set the viewport, clear to the clear
    // colour, load the perspective projection (aspect 1 for a view without pixels) and the
    // camera's view, and shine the directional light from the eye's direction. The frame is not
    // counted: Step does that once it has drawn.
    void BeginFrame(int width, int height);

    int width = 0;
    int height = 0;
    int frameCount = 0;
    int lastMouseX = 0;
    int lastMouseY = 0;
    int mouseX = 0;
    int mouseY = 0;
    std::unique_ptr<GFX_HalvaneCamera> camera;
    GFX_Vector3 eyePosition{0.0f, 1000.0f, 0.0f};
    GFX_Vector3 clearColor{0.0f, 0.0f, 0.0f};
    float fieldOfView = 45.0f;
    float nearPlane = 1.0f;
    float farPlane = 300.0f;
    std::unique_ptr<OGL_Wrapper> glWrapper;
    uint8_t keyState[KeyCount] = {};
};
