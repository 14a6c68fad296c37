#include "sim/UTL_Selection.h"

#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Dock.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "scene/GFX_WidgetDockedFriend.h"
#include "sim/UTL_FriendCircle.h"

void UTL_Selection::Select(GFX_LocationHolder* newHolder, GFX_Friend* newPerson)
{
    for (auto& connection : circle.GetConnections())
        connection->SetHighlighted(false);
    for (auto& other : circle.GetHolders())
    {
        other->SetBillboardSize(GFX_LocationHolder::LabelSize, GFX_LocationHolder::LabelSize);
        other->SetSelected(false);
    }
    // A line finds its ends when it is first drawn, and only then can its ends light it up:
    // lines that arrived since the last frame find them now.
    for (auto& connection : circle.GetConnections())
        if (!connection->IsResolved())
            connection->FindHolders();
    if (newHolder)
    {
        newHolder->SetBillboardSize(GFX_LocationHolder::SelectedLabelSize,
                                    GFX_LocationHolder::SelectedLabelSize);
        newHolder->SetSelected(true);
        if (GFX_LocationHolderFriend* friendHolder = newHolder->AsFriendHolder())
            friendHolder->SetConnectionsHighlighted(true);
    }
    for (GFX_Dock* dock : circle.GetDocks())
    {
        if (!dock)
            continue;
        for (auto& item : dock->GetItems())
        {
            auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(item.get());
            item->SetSelected(newPerson && docked && docked->GetFriend() == newPerson);
        }
    }
    holder = newHolder;
    person = newPerson;
}

void UTL_Selection::Forget(const GFX_Friend* gone)
{
    if (person == gone)
        person = nullptr;
}
