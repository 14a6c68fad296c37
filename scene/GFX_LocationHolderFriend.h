#pragma once

#include "scene/GFX_LocationHolder.h"
#include "scene/GFX_Text.h"

#include <cstddef>
#include <string>
#include <vector>

class GFX_ConnectionFriends;
class GFX_Friend;
class OGL_TextureFoto;

// A locator that shows a friend: the friend's picture on the label, and the name under it when
// the locator is picked or the friend has no picture of their own (the id for someone without
// a name). A name the bitmap font cannot write whole is written in shaped type instead, made
// at the size it shows on screen; the owner's drawing ways can ask for one way always. It also
// keeps the friendship lines that found it as one of their ends, so the owner can highlight a
// picked friend's lines at once.
//
// It points at the friend and the lines without owning them; both must outlive it or be
// dropped with it. GL thread only, except the layout arithmetic.
class GFX_LocationHolderFriend : public GFX_LocationHolder
{
public:
    explicit GFX_LocationHolderFriend(GFX_SceneOwner* owner);
    ~GFX_LocationHolderFriend() override;

    // The base label, then the picture (10 units in front of the label) and the name (20 units
    // in front). Leaves texturing enabled, lighting on and blending off when it drew a name
    // (the text renderer's state), else as the base and the picture leave them.
    void DrawLabel() override;
    // The same three handed to the batch; the small square picture may move into the batch's
    // atlas, the large one of a picked friend keeps its own texture.
    void AddLabel(GFX_LabelBatch& batch) override;
    GFX_LocationHolderFriend* AsFriendHolder() override { return this; }

    void SetFriend(GFX_Friend* value) { shown = value; }
    GFX_Friend* GetFriend() const { return shown; }
    bool ShowsFriend(const GFX_Friend* person) const { return shown == person; }

    // Registers a line that ends here (each line registers once per end).
    void AddConnection(GFX_ConnectionFriends* connection) { connections.push_back(connection); }
    // Highlights or dims every line that ends here.
    void SetConnectionsHighlighted(bool highlighted);
    const std::vector<GFX_ConnectionFriends*>& GetConnections() const { return connections; }

    // The share of the label's width and height a picture of pictureWidth × pictureHeight
    // texels fills: at most 0.9 × 0.9, or 0.9 × 0.675 when selected to leave room for the name,
    // shrunk along one side to keep the picture's proportions. Sizes of 0 (a picture not
    // decoded yet, or one that failed) give the full share.
    struct PictureShare
    {
        float width;
        float height;
    };
    static PictureShare FitPicture(bool selected, float pictureWidth, float pictureHeight);

    // Where a name of `characters` glyphs goes on a label of labelWidth × labelHeight centred
    // at `centre` with the given axes: glyphs 0.9·width / characters wide, but never wider than
    // half their height of 0.1375·labelHeight; the line centred across the label and around
    // the height 0.4125·labelHeight below its centre, 20 units in front of it.
    struct NameLayout
    {
        GFX_Vector3 origin; // bottom-left corner of the first glyph
        float glyphWidth;
        float glyphHeight;
    };
    static NameLayout LayoutName(size_t characters, const GFX_Vector3& centre,
                                 const GFX_Vector3& up, const GFX_Vector3& right, float labelWidth,
                                 float labelHeight);

    // How many glyphs of a name fit on a label of labelWidth × labelHeight: as many as 0.9 of its
    // width holds at MinGlyphShare of a cell's proportions. Narrower ones could not be read.
    static size_t MaxNameGlyphs(float labelWidth, float labelHeight);
    // `name` when it has at most `glyphs` characters (bytes, one glyph each); otherwise as many
    // of its first characters as fit in `glyphs` with "...", written to `scratch`. Never splits
    // a UTF-8 sequence. What a label writes, however long the name: a name's length is bounded
    // where it enters, but not by what fits on a label.
    static const char* FitName(const std::string& name, size_t glyphs, std::string& scratch);
    // The narrowest glyph, as a share of a cell's proportions (half the glyph height).
    static constexpr float MinGlyphShare = 0.25f;

    // A name in shaped type takes the bitmap glyphs' height as its em and at most the same
    // width, 0.9 of the label's; a longer one shrinks to NameMinScale of that before it is cut.
    // Its box is centred where the bitmap line is, 20 units in front of the label: the corners
    // of the box, bottom-left, bottom-right, top-right, top-left.
    static void LayoutLine(const GFX_Text::ShapedLine& line, const GFX_Vector3& centre,
                           const GFX_Vector3& up, const GFX_Vector3& right, float labelHeight,
                           GFX_Vector3 corners[4]);
    static float NameEm(float labelHeight);
    static float NameMaxWidth(float labelWidth, float labelHeight);
    static constexpr float NameMinScale = 0.65f;

    // How far in front of the label the picture and the name float.
    static constexpr float PictureLift = 10.0f;
    static constexpr float NameLift = 20.0f;

private:
    // The picture a label shows and where: `texture` null while it is on its way or when it
    // has nothing to draw.
    struct PictureQuad
    {
        OGL_TextureFoto* texture = nullptr;
        GFX_Vector3 corners[4];
        bool real = false;
        bool square = false;
        bool hasPhoto = false;
    };
    PictureQuad PlacePicture(const GFX_Vector3& centre) const;
    GFX_Vector3 LabelCentre() const;
    // The colour of the name and of a placeholder picture, as selected, lit or faded.
    GFX_Vector3 TextColor() const;
    // A friend with a picture of their own is recognised by it; the name shows when picked, or
    // when all there is to see is the placeholder.
    bool ShowsName(const PictureQuad& picture) const
    {
        return IsSelected() || !picture.hasPhoto || !picture.real;
    }
    void DrawName(const GFX_Vector3& centre);
    // Whether the owner's ways of drawing write this name in shaped type.
    bool ShapesName(const std::string& name) const;
    // Makes the name ready in shaped type at its size in `view` and finds its corners; false
    // when it must go in the bitmap font after all.
    bool PrepareLine(GFX_Text& font, const std::string& name, const GFX_Text::ScreenView& view,
                     const GFX_Vector3& centre, GFX_Text::ShapedLine& line,
                     GFX_Vector3 corners[4]) const;

    GFX_Friend* shown = nullptr;
    std::vector<GFX_ConnectionFriends*> connections;
};
