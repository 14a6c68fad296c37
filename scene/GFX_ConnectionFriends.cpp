#include "scene/GFX_ConnectionFriends.h"

#include "scene/GFX_Billboard.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "scene/GFX_SceneOwner.h"

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

bool GFX_ConnectionFriends::AddToRibbons(GFX_DotRibbons& ribbons)
{
    if (!Prepare())
        return true;
    return GFX_Connection::AddToRibbons(ribbons);
}
