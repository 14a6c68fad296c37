#pragma once

#include "gfx/GFX_Theme.h"
#include "scene/GFX_InterfaceElement.h"
#include "scene/GFX_Rect.h"

#include <memory>
#include <string>

class OGL_Texture2D;

// The point of the view an anchored widget is placed from.
enum class GFX_Anchor
{
    TopLeft = 0,
    TopRight = 1,
    BottomLeft = 2,
    BottomRight = 3,
    MiddleLeft = 4,
    MiddleRight = 5,
    TopCentre = 6,
    BottomCentre = 7,
    Centre = 8,
};

// The anchor point in a view of `screenSize` (width, height); (0, 0) without a size.
void GFX_AnchorPoint(GFX_Anchor anchor, const float* screenSize, float& ax, float& ay);

// An anchored element of the in-scene interface: a textured quad whose bottom-left corner sits
// at (x, y) from one of nine points of the view, so that it keeps its place when the window is
// resized. It reads the view size through a pointer to the controller's pair of floats, which
// must outlive it (or be null: then it is placed from (0, 0)).
//
// It speaks the interface's event protocol (see GFX_InterfaceElement); here the handlers do
// nothing. GL thread only; Draw, LoadTexture and the destructor need no more than that.
class GFX_Widget : public GFX_InterfaceElement
{
public:
    GFX_Widget(const float* screenSize, float x, float y, float width, float height,
               GFX_Anchor anchor, const GFX_ColorRGBA& color);
    ~GFX_Widget() override;

    GFX_Widget(const GFX_Widget&) = delete;
    GFX_Widget& operator=(const GFX_Widget&) = delete;

    void Update(float seconds) override;
    // The quad over GetRect in `color`, with the texture; see GFX_OverlayQuads for the GL state.
    void Draw() override;
    bool MouseMove(float x, float y) override;
    bool MouseDown(float x, float y) override;
    bool MouseUp(float x, float y) override;
    void ReleaseGL() override;

    // Replaces the texture with one made from the picture at `path`, repeating at its edges.
    // An unreadable file leaves a texture without a picture, and the widget draws untextured.
    // Returns whether the picture could be read.
    bool LoadTexture(const std::string& path);

    // The widget's rectangle in the view as it is now. Left and bottom are nudged in by
    // 0.0001 pixel, so that a widget placed on a whole pixel does not also cover the pixel
    // before it.
    GFX_Rect GetRect() const;
    // Edges included.
    bool Contains(float px, float py) const;

    const GFX_ColorRGBA& GetColor() const { return color; }
    void SetColor(const GFX_ColorRGBA& value) { color = value; }
    GFX_Anchor GetAnchor() const { return anchor; }
    float GetWidth() const { return width; }
    float GetHeight() const { return height; }
    const OGL_Texture2D* GetTexture() const { return texture.get(); }

protected:
    // The anchor point in the current view.
    void AnchorPoint(float& ax, float& ay) const;

    const float* screenSize;
    std::unique_ptr<OGL_Texture2D> texture;
    GFX_ColorRGBA color;
    GFX_Anchor anchor;
    float x;
    float y;
    float width;
    float height;
};
