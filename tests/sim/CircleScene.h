#pragma once

#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Dock.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "scene/GFX_WidgetDockedFriend.h"
#include "sim/UTL_FriendCircle.h"

#include "support/TestSceneOwner.h"

#include <string>

// A friend circle with its two docks and no GL, as the main scene wires it: the scene objects'
// owner looks locators up in the circle.
class CircleScene
{
public:
    CircleScene()
    {
        owner.circle = &circle;
        circle.Attach(&selfDock, &friendsDock, nullptr);
    }

    // The user "0" and friends "1" … "count", laid out, the user joined to each.
    void AddPeople(int count)
    {
        circle.SetSelf("0", "User", "", "");
        for (int i = 1; i <= count; ++i)
            circle.AddFriend(std::to_string(i), "Friend " + std::to_string(i), "", "");
        circle.LayoutFriends();
        circle.ConnectSelf();
    }
    // Lets every line look its ends up, as its first draw would.
    void ResolveLines()
    {
        for (const auto& line : circle.GetConnections())
            line->FindHolders();
    }
    GFX_LocationHolderFriend& Holder(size_t index)
    {
        return *circle.GetHolders().at(index)->AsFriendHolder();
    }
    static GFX_Friend* DockedFriend(const GFX_Dock& dock, size_t index)
    {
        return static_cast<GFX_WidgetDockedFriend&>(*dock.GetItems().at(index)).GetFriend();
    }

    struct Owner : TestSceneOwner
    {
        void FindFriendHolders(const std::string& id1, const std::string& id2,
                               GFX_LocationHolder*& holder1, GFX_LocationHolder*& holder2) override
        {
            circle->FindFriendHolders(id1, id2, holder1, holder2);
        }
        UTL_FriendCircle* circle = nullptr;
    };

    // The docks go before the circle: their items point at its people.
    Owner owner;
    UTL_FriendCircle circle{&owner};
    GFX_Dock selfDock{&owner};
    GFX_Dock friendsDock{&owner};
};
