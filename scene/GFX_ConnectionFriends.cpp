#include "scene/GFX_ConnectionFriends.h"

#include "scene/GFX_Billboard.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "scene/GFX_SceneOwner.h"

#include <algorithm>
#include <cmath>

namespace
{
// A background at least this luminous is light: the selection is darkened on it.
constexpr float LightBackground = 0.25f;
// How far the selection's colour goes towards white on a dark background, and what share of it
// stays on a light one.
constexpr float Lighten = 0.8f;
constexpr float Darken = 0.15f;
} // namespace

GFX_ConnectionFriends::GFX_ConnectionFriends(GFX_SceneOwner* owner) : GFX_Connection(owner) {}

GFX_ConnectionFriends::~GFX_ConnectionFriends() = default;

void GFX_ConnectionFriends::FindHolders()
{
    if (!owner)
        return;
    GFX_LocationHolder* found1 = nullptr;
    GFX_LocationHolder* found2 = nullptr;
    owner->FindFriendHolders(id1, id2, found1, found2);
    GFX_LocationHolderFriend* friend1 = found1 ? found1->AsFriendHolder() : nullptr;
    GFX_LocationHolderFriend* friend2 = found2 ? found2->AsFriendHolder() : nullptr;
    // Register once with each end, however many frames the other end takes to appear.
    if (friend1 && friend1 != holder1)
        friend1->AddConnection(this);
    if (friend2 && friend2 != holder2)
        friend2->AddConnection(this);
    holder1 = friend1;
    holder2 = friend2;
}

bool GFX_ConnectionFriends::Prepare()
{
    // Resolved lines skip the look-up: with a hundred thousand lines, per-frame id compares
    // would cost more than the dots.
    if ((!holder1 || !holder2) && owner)
        FindHolders();
    if (!holder1 || !holder2)
        return false;

    start = holder1->GetPosition();
    end = holder2->GetPosition();
    brightColor =
        IsDrawnBright() ? std::optional(SelectedDotColor(owner->GetTheme())) : std::nullopt;
    if (emphasis == GFX_Emphasis::Faded)
    {
        billboard->SetAlpha((highlighted ? 1.0f : dimAlpha) * GFX_FadedRowShare);
        billboard->SetSize(DotSize, DotSize);
    }
    else if (highlighted || emphasis == GFX_Emphasis::Lit)
    {
        billboard->SetAlpha(1.0f);
        billboard->SetSize(HighlightedDotSize, HighlightedDotSize);
    }
    else
    {
        billboard->SetAlpha(dimAlpha);
        billboard->SetSize(DotSize, DotSize);
    }
    return true;
}

void GFX_ConnectionFriends::Draw()
{
    if (Prepare())
        EmitDots();
}

bool GFX_ConnectionFriends::IsDrawnBright() const
{
    return highlighted && emphasis != GFX_Emphasis::Faded && owner &&
           owner->GetDrawPaths().brightSelection;
}

const std::optional<GFX_Vector3>& GFX_ConnectionFriends::ShownColor() const
{
    return brightColor ? brightColor : dotColor;
}

GFX_Vector3 GFX_ConnectionFriends::SelectedDotColor(const GFX_Theme& theme)
{
    // How light the background is, in the eye's terms (the relative luminance of its sRGB
    // colour): the dim rows blend towards it, so the selection goes the other way.
    const GFX_Vector3& background = theme.BackgroundColor;
    float linear[3];
    for (int i = 0; i < 3; ++i)
    {
        const float c = std::clamp(background[i], 0.0f, 1.0f);
        linear[i] = c <= 0.04045f ? c / 12.92f : std::pow((c + 0.055f) / 1.055f, 2.4f);
    }
    const float luminance = 0.2126f * linear[0] + 0.7152f * linear[1] + 0.0722f * linear[2];
    const GFX_Vector3& accent = theme.ConnectionColor;
    if (luminance < LightBackground)
        return accent.Plus(GFX_Vector3(1.0f, 1.0f, 1.0f).Minus(accent).Scale(Lighten));
    return accent.Times(Darken);
}

bool GFX_ConnectionFriends::AddToRibbons(GFX_DotRibbons& ribbons)
{
    if (!Prepare())
        return true;
    return GFX_Connection::AddToRibbons(ribbons);
}
