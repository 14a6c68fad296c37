#pragma once

#include "scene/GFX_Friend.h"
#include "scene/GFX_LocationHolderFriend.h"

#include <string>

// The holder look-up as a plain walk over a holder list, in order: the first friend holder whose
// friend has the id id1 becomes holder1, otherwise one whose friend has id2 becomes holder2; the
// walk stops once both were set. Outputs not found keep what the caller put there. `holders` is
// any range of pointers (plain or owning) to holders. The reference the controller's indexed
// look-up is held to, and the look-up of the tests' own scene owner.
template <typename Holders>
void WalkForFriendHolders(const Holders& holders, const std::string& id1, const std::string& id2,
                          GFX_LocationHolder*& holder1, GFX_LocationHolder*& holder2)
{
    bool found1 = false;
    bool found2 = false;
    for (const auto& holder : holders)
    {
        GFX_LocationHolderFriend* friendHolder = holder ? holder->AsFriendHolder() : nullptr;
        if (!friendHolder || !friendHolder->GetFriend())
            continue;
        const std::string& id = friendHolder->GetFriend()->GetId();
        if (id == id1)
        {
            holder1 = &*holder;
            found1 = true;
        }
        else if (id == id2)
        {
            holder2 = &*holder;
            found2 = true;
        }
        if (found1 && found2)
            return;
    }
}
