#include "scene/GFX_LocationHolderFriend.h"

#include "gfx/GFX_Image.h"
#include "gfx/GFX_Theme.h"
#include "gfx/OGL_TextureFoto.h"
#include "scene/GFX_Billboard.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_DrawPaths.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_LabelBatch.h"
#include "scene/GFX_SceneOwner.h"
#include "scene/GFX_Text.h"

#include <GL/gl.h>
#include <algorithm>
#include <cstring>

namespace
{
// The share of the label a picture may fill; less height when the name goes below it.
constexpr float PictureShareMax = 0.9f;
constexpr float PictureShareHeightSelected = 0.675f;
// The share of the label's width a name may take.
constexpr float NameShareWidth = 0.9f;
// Glyph height as a share of the label: the band between 0.7 and 0.95 of the label's height,
// scaled to 0.55 of it.
constexpr float NameShareHeight = (0.95f - 0.7f) * 0.55f;
// The middle of the name line, below the label's centre, in label half-heights.
constexpr float NameLineDepth = 0.825f;
} // namespace

GFX_LocationHolderFriend::GFX_LocationHolderFriend(GFX_SceneOwner* owner)
    : GFX_LocationHolder(owner)
{
}

GFX_LocationHolderFriend::~GFX_LocationHolderFriend() = default;

void GFX_LocationHolderFriend::SetConnectionsHighlighted(bool highlighted)
{
    for (GFX_ConnectionFriends* connection : connections)
        connection->SetHighlighted(highlighted);
}

GFX_LocationHolderFriend::PictureShare
GFX_LocationHolderFriend::FitPicture(bool selected, float pictureWidth, float pictureHeight)
{
    PictureShare share{PictureShareMax, selected ? PictureShareHeightSelected : PictureShareMax};
    if (pictureWidth <= 0.0f || pictureHeight <= 0.0f)
        return share;
    const float widthAtFullHeight = share.height * pictureWidth / pictureHeight;
    if (widthAtFullHeight <= share.width + 0.0001f)
        share.width = widthAtFullHeight; // the height binds
    else
        share.height = share.width * pictureHeight / pictureWidth; // the width binds
    return share;
}

GFX_LocationHolderFriend::NameLayout
GFX_LocationHolderFriend::LayoutName(size_t characters, const GFX_Vector3& centre,
                                     const GFX_Vector3& up, const GFX_Vector3& right,
                                     float labelWidth, float labelHeight)
{
    const float count = static_cast<float>(characters);
    NameLayout layout;
    layout.glyphHeight = NameShareHeight * labelHeight;
    const float halfHeight = layout.glyphHeight * 0.5f;
    // Glyphs never get wider than a cell's proportions; an empty name needs no width at all.
    layout.glyphWidth = characters > 0 ? NameShareWidth * labelWidth / count : halfHeight;
    if (halfHeight < layout.glyphWidth)
        layout.glyphWidth = halfHeight;

    const GFX_Vector3 towardsViewer = right.Cross(up);
    layout.origin = centre.Minus(up.Times(NameLineDepth * labelHeight * 0.5f))
                        .Sub(up.Times(halfHeight))
                        .Sub(right.Times(count * layout.glyphWidth * 0.5f))
                        .Add(towardsViewer.Times(NameLift));
    return layout;
}

size_t GFX_LocationHolderFriend::MaxNameGlyphs(float labelWidth, float labelHeight)
{
    const float narrowest = MinGlyphShare * NameShareHeight * labelHeight * 0.5f;
    if (!(narrowest > 0.0f) || !(labelWidth > 0.0f))
        return 0;
    // Within what a size_t holds, for a label of any proportions.
    return static_cast<size_t>(std::min(NameShareWidth * labelWidth / narrowest, 1e9f));
}

const char* GFX_LocationHolderFriend::FitName(const std::string& name, size_t glyphs,
                                              std::string& scratch)
{
    if (name.size() <= glyphs)
        return name.c_str();
    static constexpr char Dots[] = "...";
    const size_t dots = std::min(glyphs, sizeof Dots - 1);
    size_t kept = glyphs - dots;
    while (kept > 0 && (static_cast<unsigned char>(name[kept]) & 0xC0) == 0x80)
        --kept;
    scratch.assign(name, 0, kept);
    scratch.append(Dots, dots);
    return scratch.c_str();
}

GFX_Vector3 GFX_LocationHolderFriend::TextColor() const
{
    const GFX_Theme& theme = Theme();
    return Shade(ShowsSelected() ? theme.LocatorTextColorSel : theme.LocatorTextColor);
}

GFX_Vector3 GFX_LocationHolderFriend::LabelCentre() const
{
    return billboard->GetCorner(0)
        .Plus(billboard->GetCorner(1))
        .Add(billboard->GetCorner(2))
        .Add(billboard->GetCorner(3))
        .Scale(0.25f);
}

void GFX_LocationHolderFriend::DrawLabel()
{
    GFX_LocationHolder::DrawLabel();
    if (!shown || !billboard || !IsLabelShown())
        return;

    const GFX_Vector3 centre = LabelCentre();
    const PictureQuad picture = PlacePicture(centre);
    const float alpha = GetLabelShown();
    if (picture.texture)
    {
        if (picture.real && alpha >= 1.0f)
        {
            glColor3fv(Shade(GFX_Vector3(1.0f, 1.0f, 1.0f)).Data());
            glDisable(GL_BLEND);
        }
        else
        {
            const GFX_Vector3 tint =
                picture.real ? Shade(GFX_Vector3(1.0f, 1.0f, 1.0f)) : TextColor();
            glColor4f(tint.x, tint.y, tint.z, alpha);
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        }
        picture.texture->DrawQuad(picture.corners[0], picture.corners[1], picture.corners[2],
                                  picture.corners[3]);
    }
    if (ShowsName(picture))
        DrawName(centre);
}

void GFX_LocationHolderFriend::AddLabel(GFX_LabelBatch& batch)
{
    GFX_LocationHolder::AddLabel(batch);
    if (!shown || !billboard || !IsLabelShown())
        return;

    const GFX_Vector3 centre = LabelCentre();
    const PictureQuad picture = PlacePicture(centre);
    const GFX_Vector3 textColor = TextColor();
    const float alpha = GetLabelShown();
    if (picture.texture)
        batch.AddPicture(*picture.texture, picture.corners, picture.real,
                         picture.real ? Shade(GFX_Vector3(1.0f, 1.0f, 1.0f)) : textColor,
                         picture.square && picture.real, alpha);
    if (!ShowsName(picture) || !(owner && owner->GetFont()))
        return;
    const std::string& shownName = shown->GetShownName();
    if (ShapesName(shownName))
    {
        GFX_Text::ShapedLine line;
        GFX_Vector3 corners[4];
        if (PrepareLine(*owner->GetFont(), shownName, batch.GetScreenView(), centre, line, corners))
        {
            batch.AddLine(line, corners, textColor, alpha);
            return;
        }
    }
    std::string fitted;
    const char* name =
        FitName(shownName, MaxNameGlyphs(billboard->GetWidth(), billboard->GetHeight()), fitted);
    const NameLayout layout =
        LayoutName(std::strlen(name), centre, billboard->GetUp(), billboard->GetRight(),
                   billboard->GetWidth(), billboard->GetHeight());
    batch.AddName(name, layout.origin, billboard->GetRight(), billboard->GetUp(), layout.glyphWidth,
                  layout.glyphHeight, textColor, alpha);
}

GFX_LocationHolderFriend::PictureQuad
GFX_LocationHolderFriend::PlacePicture(const GFX_Vector3& centre) const
{
    // The large picture for the picked friend, the small square one otherwise; either slot
    // stands in for the other when empty.
    PictureQuad quad;
    GFX_Foto* photo = nullptr;
    if (IsSelected())
    {
        photo = shown->GetPicture();
        quad.real = shown->HasPicture();
    }
    if (!photo)
    {
        photo = shown->GetSquarePicture();
        quad.real = shown->HasSquarePicture();
        quad.square = photo != nullptr;
    }
    if (!photo)
    {
        photo = shown->GetPicture();
        quad.real = shown->HasPicture();
    }
    quad.hasPhoto = photo != nullptr;
    if (!photo)
        return quad;

    // One request per frame: the texture is null while the picture is on its way, and has no
    // picture when it could not be fetched or decoded. Neither draws anything, rather than a
    // quad with whatever texture happens to be bound.
    OGL_TextureFoto* texture = photo->GetTexture();
    if (!texture || !texture->HasPicture())
        return quad;
    quad.texture = texture;

    const PictureShare share = FitPicture(IsSelected(), static_cast<float>(texture->GetWidth()),
                                          static_cast<float>(texture->GetHeight()));
    const GFX_Vector3& up = billboard->GetUp();
    const GFX_Vector3& right = billboard->GetRight();
    const GFX_Vector3 halfRight = right.Times(0.5f * share.width * billboard->GetWidth());
    const GFX_Vector3 halfUp = up.Times(0.5f * share.height * billboard->GetHeight());
    const GFX_Vector3 lifted = centre.Plus(billboard->GetNormal().Scale(PictureLift));
    quad.corners[0] = lifted.Minus(halfRight).Sub(halfUp);
    quad.corners[1] = lifted.Plus(halfRight).Sub(halfUp);
    quad.corners[2] = lifted.Plus(halfRight).Add(halfUp);
    quad.corners[3] = lifted.Minus(halfRight).Add(halfUp);
    return quad;
}

float GFX_LocationHolderFriend::NameEm(float labelHeight)
{
    return NameShareHeight * labelHeight;
}

float GFX_LocationHolderFriend::NameMaxWidth(float labelWidth, float labelHeight)
{
    return NameShareWidth * labelWidth / NameEm(labelHeight);
}

void GFX_LocationHolderFriend::LayoutLine(const GFX_Text::ShapedLine& line,
                                          const GFX_Vector3& centre, const GFX_Vector3& up,
                                          const GFX_Vector3& right, float labelHeight,
                                          GFX_Vector3 corners[4])
{
    const float em = NameEm(labelHeight);
    const GFX_Vector3 origin = centre.Minus(up.Times(NameLineDepth * labelHeight * 0.5f))
                                   .Sub(up.Times(line.height * em * 0.5f))
                                   .Sub(right.Times(line.width * em * 0.5f))
                                   .Add(right.Cross(up).Times(NameLift));
    GFX_Text::LineCorners(line, origin, right, up, em, corners);
}

bool GFX_LocationHolderFriend::ShapesName(const std::string& name) const
{
    const GFX_DrawPaths paths = owner ? owner->GetDrawPaths() : GFX_DrawPaths();
    return paths.ShapesName(GFX_Text::DrawsWhole(name));
}

bool GFX_LocationHolderFriend::PrepareLine(GFX_Text& font, const std::string& name,
                                           const GFX_Text::ScreenView& view,
                                           const GFX_Vector3& centre, GFX_Text::ShapedLine& line,
                                           GFX_Vector3 corners[4]) const
{
    const float width = billboard->GetWidth();
    const float height = billboard->GetHeight();
    const GFX_Vector3& up = billboard->GetUp();
    const float emPixels = view.Pixels(centre, up.Times(NameEm(height)));
    if (!font.PrepareLine(name, emPixels, NameMaxWidth(width, height), NameMinScale, line))
        return false;
    LayoutLine(line, centre, up, billboard->GetRight(), height, corners);
    return true;
}

void GFX_LocationHolderFriend::DrawName(const GFX_Vector3& centre)
{
    GFX_Text* font = owner ? owner->GetFont() : nullptr;
    if (!font)
        return;
    const GFX_Vector3 color = TextColor();
    const std::string& shownName = shown->GetShownName();
    if (ShapesName(shownName))
    {
        GFX_Text::ShapedLine line;
        GFX_Vector3 corners[4];
        if (PrepareLine(*font, shownName, GFX_Text::ScreenView::Current(), centre, line, corners))
        {
            font->DrawLine3D(line, corners, color, GetLabelShown());
            return;
        }
    }
    std::string fitted;
    const char* name =
        FitName(shownName, MaxNameGlyphs(billboard->GetWidth(), billboard->GetHeight()), fitted);
    const NameLayout layout =
        LayoutName(std::strlen(name), centre, billboard->GetUp(), billboard->GetRight(),
                   billboard->GetWidth(), billboard->GetHeight());
    font->Bind();
    font->DrawText3D(layout.origin, billboard->GetRight(), billboard->GetUp(), layout.glyphWidth,
                     layout.glyphHeight, name, color, GetLabelShown());
}
