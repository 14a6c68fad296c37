#pragma once

// An element of the in-scene interface as the controller's interface pass drives it: Update once
// per frame, Draw in the pass's pixel projection, and the mouse in view pixels (origin
// bottom-left, y up). A true result from a mouse handler means the element consumed the event.
// The widgets and the docks speak it, so that the pass keeps them in one list. GL thread only.
class GFX_InterfaceElement
{
public:
    virtual ~GFX_InterfaceElement() = default;

    virtual void Update(float seconds) = 0;
    virtual void Draw() = 0;
    virtual bool MouseMove(float x, float y) = 0;
    virtual bool MouseDown(float x, float y) = 0;
    virtual bool MouseUp(float x, float y) = 0;
    // Releases the GL names the element owns, with the context current, before the context goes.
    virtual void ReleaseGL() {}
};
