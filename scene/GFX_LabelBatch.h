#pragma once

#include "gfx/GFX_QuadArray.h"
#include "gfx/GFX_Vector3.h"
#include "scene/GFX_Text.h"

#include <GL/gl.h>

#include <map>
#include <tuple>
#include <vector>

class GFX_Billboard;
class OGL_Texture2D;
class OGL_TextureAtlas;
class OGL_TextureFoto;

// The locator labels of one frame gathered by texture and drawn in a handful of calls: every
// label background with one bind of the label texture, the pictures with one bind per atlas
// page or picture texture (opaque ones first, then the tinted placeholders), and every name
// with one bind of the font, or of each atlas page its shaped line lies in. Each part is drawn with
// the state the holders draw it with one by one; the depth test keeps what is in front where labels
// overlap.
//
// Pictures handed over for the atlas move into it when first added, which lets their decoded
// pixels go. GL thread only.
class GFX_LabelBatch
{
public:
    // Null: every picture keeps its own texture.
    void SetAtlas(OGL_TextureAtlas* value) { atlas = value; }

    // The label's quad with its colour, alpha and texture coordinates. A label of alpha below 1
    // (fading in or out) is blended, after the opaque ones.
    void AddLabel(const GFX_Billboard& label);
    // A picture on the corners bottom-left, bottom-right, top-right, top-left, in `tint`: a real
    // one opaque (white shows it as it is), a placeholder blended; either blended at `alpha`
    // below 1. With `intoAtlas` a picture that has its pixels moves into the atlas. Pictures
    // without anything to draw are left out.
    void AddPicture(OGL_TextureFoto& texture, const GFX_Vector3 corners[4], bool real,
                    const GFX_Vector3& tint, bool intoAtlas, float alpha = 1.0f);
    // A name as GFX_Text::DrawText3D writes it.
    void AddName(const char* text, const GFX_Vector3& origin, const GFX_Vector3& right,
                 const GFX_Vector3& up, float glyphWidth, float glyphHeight,
                 const GFX_Vector3& color, float alpha = 1.0f);
    // A name as GFX_Text::DrawLine3D writes it.
    void AddLine(const GFX_Text::ShapedLine& line, const GFX_Vector3 corners[4],
                 const GFX_Vector3& color, float alpha = 1.0f);
    // The view the labels are gathered in, to size shaped names by; read from GL when first
    // asked for after Draw or Clear.
    const GFX_Text::ScreenView& GetScreenView();

    // Draws everything gathered and empties the batch. Either texture may be null (the step
    // draws without binding, as the holders do). Leaves texturing on, lighting on and blending
    // off.
    void Draw(OGL_Texture2D* labelTexture, GFX_Text* font);
    void Clear();

    // The binds the last Draw made, for tests and benchmarks.
    int CountBinds() const { return binds; }

private:
    struct PictureGroup
    {
        OGL_TextureFoto* texture;
        // Drawn opaque: a real picture at full alpha.
        bool opaque;
        GFX_QuadArray quads;
    };

    OGL_TextureAtlas* atlas = nullptr;
    GFX_QuadArray labels;
    GFX_QuadArray fadingLabels;
    GFX_QuadArray names;
    // Shaped names by atlas page.
    std::vector<std::pair<GLuint, GFX_QuadArray>> lines;
    GFX_Text::ScreenView view{};
    bool viewRead = false;
    std::vector<PictureGroup> pictures;
    // (atlas page, own texture, opaque) → index in `pictures`.
    std::map<std::tuple<GLuint, const OGL_TextureFoto*, bool>, size_t> groupOf;
    int binds = 0;
};
