#include "sim/UTL_FriendCircle.h"

#include "gfx/GFX_HalvaneCamera.h"
#include "scene/GFX_Connection.h"
#include "scene/GFX_ConnectionFriends.h"
#include "scene/GFX_Dock.h"
#include "scene/GFX_Friend.h"
#include "scene/GFX_Globe.h"
#include "scene/GFX_LocationHolderFriend.h"
#include "scene/GFX_WidgetDockedFriend.h"

#include <algorithm>

UTL_FriendCircle::UTL_FriendCircle(GFX_SceneOwner* owner) : owner(owner) {}

UTL_FriendCircle::~UTL_FriendCircle()
{
    // The locators and the docks point at the people: they let go first.
    holdersById.clear();
    holders.clear();
    friends.clear();
    connections.clear();
    self.reset();
}

void UTL_FriendCircle::Attach(GFX_Dock* newSelfDock, GFX_Dock* newFriendsDock,
                              GFX_HalvaneCamera* newCamera)
{
    selfDock = newSelfDock;
    friendsDock = newFriendsDock;
    camera = newCamera;
}

void UTL_FriendCircle::SetOnRemoving(std::function<void(const GFX_Friend*)> handler)
{
    onRemoving = std::move(handler);
}

void UTL_FriendCircle::AddDocked(GFX_Dock* dock, GFX_Friend* person, bool selected)
{
    if (!dock)
        return;
    auto item = std::make_unique<GFX_WidgetDockedFriend>(owner);
    item->SetSelected(selected);
    item->SetFriend(person);
    dock->AddItem(std::move(item));
}

void UTL_FriendCircle::LetGoOfSelf()
{
    if (selfDock)
    {
        std::vector<const GFX_WidgetDocked*> stale;
        for (auto& item : selfDock->GetItems())
        {
            auto* docked = dynamic_cast<GFX_WidgetDockedFriend*>(item.get());
            if (docked && docked->GetFriend() == self.get())
                stale.push_back(item.get());
        }
        for (const GFX_WidgetDocked* item : stale)
            selfDock->RemoveItem(item);
    }
    for (auto& holder : holders)
    {
        GFX_LocationHolderFriend* friendHolder = holder->AsFriendHolder();
        if (friendHolder && friendHolder->ShowsFriend(self.get()))
            friendHolder->SetFriend(nullptr);
    }
    IndexHolders();
    if (onRemoving)
        onRemoving(self.get());
}

void UTL_FriendCircle::SetPersonColors(std::unordered_map<std::string, GFX_Vector3> colors)
{
    personColors = std::move(colors);
    for (auto& line : connections)
        line->SetDotColor(LineColor(line->GetId1(), line->GetId2()));
    // The balls take their colours with the people the layout puts on them.
    layoutPending = true;
}

std::optional<GFX_Vector3> UTL_FriendCircle::LineColor(const std::string& id1,
                                                       const std::string& id2) const
{
    const auto first = personColors.find(id1);
    const auto second = personColors.find(id2);
    if (first == personColors.end() || second == personColors.end() ||
        first->second.x != second->second.x || first->second.y != second->second.y ||
        first->second.z != second->second.z)
        return std::nullopt;
    return first->second;
}

void UTL_FriendCircle::Clear()
{
    // The lines and locators point at the people and the docked items show them: all of them
    // let go before the people are deleted.
    for (GFX_Dock* dock : {selfDock, friendsDock})
    {
        if (!dock)
            continue;
        std::vector<const GFX_WidgetDocked*> stale;
        for (const auto& item : dock->GetItems())
            if (dynamic_cast<const GFX_WidgetDockedFriend*>(item.get()))
                stale.push_back(item.get());
        for (const GFX_WidgetDocked* item : stale)
            dock->RemoveItem(item);
    }
    connections.clear();
    holdersById.clear();
    holders.clear();
    layoutPending = false;
    facingPending = false;
    personColors.clear();
    personPlaces.clear();
    glideFrom.clear();
    glide.Stop();
    regions.clear();
    if (onRemoving)
    {
        if (self)
            onRemoving(self.get());
        for (const auto& person : friends)
            onRemoving(person.get());
    }
    friends.clear();
    self.reset();
    ++changes;
}

void UTL_FriendCircle::SetSelf(const std::string& id, const std::string& name,
                               const std::string& picture, const std::string& squarePicture)
{
    // A second user record replaces the first: its docked item and any locator showing it must
    // let go before the old record is deleted.
    if (self)
        LetGoOfSelf();
    self = GFX_Friend::FromRecord(owner, id, name, picture, squarePicture);
    AddDocked(selfDock, self.get(), true);
    ++changes;
}

void UTL_FriendCircle::AddFriend(const std::string& id, const std::string& name,
                                 const std::string& picture, const std::string& squarePicture)
{
    friends.push_back(GFX_Friend::FromRecord(owner, id, name, picture, squarePicture));
    AddDocked(friendsDock, friends.back().get(), false);
    ++changes;
}

void UTL_FriendCircle::LayoutFriends()
{
    layoutPending = true;
    facingPending = true;
}

void UTL_FriendCircle::SetPersonPlaces(Places places)
{
    personPlaces = std::move(places);
    layoutPending = true;
}

void UTL_FriendCircle::GlideFrom(Places places)
{
    glideFrom = std::move(places);
    layoutPending = true;
}

UTL_FriendCircle::Places UTL_FriendCircle::PlacesById()
{
    Places places;
    for (const auto& holder : GetHolders())
    {
        const GFX_LocationHolderFriend* friendHolder = holder->AsFriendHolder();
        if (friendHolder && friendHolder->GetFriend())
            places[friendHolder->GetFriend()->GetId()] = {holder->GetLongitude(),
                                                          holder->GetLatitude()};
    }
    return places;
}

void UTL_FriendCircle::Place()
{
    if (!layoutPending)
        return;
    layoutPending = false;
    const bool facing = facingPending;
    facingPending = false;
    const int count = static_cast<int>(friends.size()) + (self ? 1 : 0);
    std::vector<GFX_GlobePoint> points;
    GFX_Globe::SpiralPoints(count, points);
    const size_t existing = holders.size();
    while (static_cast<int>(holders.size()) < count)
        holders.push_back(std::make_unique<GFX_LocationHolderFriend>(owner));

    // A layout asked for while a glide runs ends it where it is going; one that asks for a glide
    // starts from where each locator was.
    glide.Stop();
    const bool gliding = !glideFrom.empty();
    std::vector<UTL_SpherePlace> starts, ends;
    for (int i = 0; i < count; ++i)
    {
        GFX_LocationHolder& holder = *holders[i];
        const bool isSelf = self && i == 0;
        GFX_Friend* person = isSelf ? self.get() : friends[i - (self ? 1 : 0)].get();
        const float size =
            isSelf ? GFX_LocationHolder::SelectedLabelSize : GFX_LocationHolder::LabelSize;
        if (GFX_LocationHolderFriend* friendHolder = holder.AsFriendHolder())
            friendHolder->SetFriend(person);
        const auto color = personColors.find(person->GetId());
        holder.SetBallColor(color == personColors.end() ? std::nullopt
                                                        : std::optional(color->second));
        const auto placed = personPlaces.find(person->GetId());
        const UTL_SpherePlace place = placed == personPlaces.end()
                                          ? UTL_SpherePlace{points[i].longitude, points[i].latitude}
                                          : placed->second;
        UTL_SpherePlace shown = place;
        if (gliding)
        {
            const auto start = glideFrom.find(person->GetId());
            if (start != glideFrom.end())
                shown = start->second;
            starts.push_back(shown);
            ends.push_back(place);
        }
        holder.SetLongitude(shown.longitude);
        holder.SetLatitude(shown.latitude);
        // New places or colours alone leave the selection as it is.
        if (facing || size_t(i) >= existing)
        {
            holder.SetBillboardSize(size, size);
            holder.SetBallSize(GFX_LocationHolder::LayoutBallSize);
            holder.SetSelected(isSelf);
        }
        holder.Update();
        if (isSelf && camera && facing)
        {
            camera->SetHeading(place.longitude + 0.5f);
            camera->SetPitch(place.latitude);
        }
    }
    glideFrom.clear();
    if (gliding)
        glide.Start(std::move(starts), std::move(ends));
    IndexHolders();
}

void UTL_FriendCircle::Advance(float seconds)
{
    Place();
    if (!glide.IsActive())
        return;
    glide.Advance(seconds);
    for (size_t i = 0; i < glide.Size() && i < holders.size(); ++i)
    {
        const UTL_SpherePlace place = glide.PlaceOf(i);
        holders[i]->SetLongitude(place.longitude);
        holders[i]->SetLatitude(place.latitude);
        holders[i]->Update();
    }
}

void UTL_FriendCircle::IndexHolders()
{
    holdersById.clear();
    for (size_t i = 0; i < holders.size(); ++i)
    {
        GFX_LocationHolderFriend* friendHolder = holders[i]->AsFriendHolder();
        if (friendHolder && friendHolder->GetFriend())
            holdersById[friendHolder->GetFriend()->GetId()].push_back(static_cast<int>(i));
    }
}

void UTL_FriendCircle::ConnectSelf()
{
    if (!self)
        return;
    for (auto& person : friends)
        ConnectFriends(self->GetId(), person->GetId(), GFX_ConnectionFriends::SelfDimAlpha, true);
}

void UTL_FriendCircle::ConnectFriends(const std::string& id1, const std::string& id2,
                                      float dimAlpha, bool highlighted)
{
    auto connection = std::make_unique<GFX_ConnectionFriends>(owner);
    connection->SetIds(id1, id2);
    connection->SetDimAlpha(dimAlpha);
    connection->SetHighlighted(highlighted);
    if (!personColors.empty())
        connection->SetDotColor(LineColor(id1, id2));
    connections.push_back(std::move(connection));
    ++changes;
}

const std::string& UTL_FriendCircle::GetFriendId(int index) const
{
    static const std::string none;
    return index >= 0 && index < static_cast<int>(friends.size()) ? friends[index]->GetId() : none;
}

void UTL_FriendCircle::FindFriendHolders(const std::string& id1, const std::string& id2,
                                         GFX_LocationHolder*& holder1, GFX_LocationHolder*& holder2)
{
    Place();
    // The walk's outcome in two look-ups instead of a walk per line and frame. With the same id
    // twice (a broken answer may list a person twice) the walk settles on the last locator of
    // one id before the first of the other.
    static const std::vector<int> none;
    auto positions = [this](const std::string& id) -> const std::vector<int>&
    {
        auto found = holdersById.find(id);
        return found == holdersById.end() ? none : found->second;
    };
    // The last of `list` before position `end`.
    auto lastBefore = [](const std::vector<int>& list, int end)
    { return *(std::lower_bound(list.begin(), list.end(), end) - 1); };

    const std::vector<int>& first = positions(id1);
    const std::vector<int>& second = id2 == id1 ? none : positions(id2);
    if (first.empty() || second.empty())
    {
        // The walk never stops early: the last locator of the id found wins.
        if (!first.empty())
            holder1 = holders[first.back()].get();
        if (!second.empty())
            holder2 = holders[second.back()].get();
        return;
    }
    if (first.front() < second.front())
    {
        holder1 = holders[lastBefore(first, second.front())].get();
        holder2 = holders[second.front()].get();
    }
    else
    {
        holder1 = holders[first.front()].get();
        holder2 = holders[lastBefore(second, first.front())].get();
    }
}

GFX_LocationHolderFriend* UTL_FriendCircle::HolderOf(const GFX_Friend* person)
{
    GFX_LocationHolderFriend* found = nullptr;
    for (auto& holder : GetHolders())
    {
        GFX_LocationHolderFriend* friendHolder = holder->AsFriendHolder();
        if (friendHolder && friendHolder->ShowsFriend(person))
            found = friendHolder;
    }
    return found;
}

int UTL_FriendCircle::CountFriendsOf(const GFX_Friend* person) const
{
    if (!person)
        return 0;
    if (person == self.get())
        return GetFriendCount();
    const std::string& id = person->GetId();
    const std::string* selfId = self ? &self->GetId() : nullptr;
    int count = 0;
    for (const auto& connection : connections)
    {
        const std::string& a = connection->GetId1();
        const std::string& b = connection->GetId2();
        if (a == b || (a != id && b != id))
            continue;
        if (selfId && (a == *selfId || b == *selfId))
            continue;
        ++count;
    }
    return count;
}

long long UTL_FriendCircle::CountDots() const
{
    long long dots = 0;
    for (const auto& connection : connections)
    {
        if (!connection->IsResolved())
            continue;
        const float length = connection->GetHolder2()
                                 ->GetPosition()
                                 .Minus(connection->GetHolder1()->GetPosition())
                                 .Length();
        const int intervals = GFX_Connection::DotIntervals(length);
        if (intervals >= 2)
            dots += intervals - 1;
    }
    return dots;
}

void UTL_FriendCircle::SetBillboardAxes(const GFX_Vector3& up, const GFX_Vector3& right)
{
    screenUp = up;
    screenRight = right;
    for (auto& holder : holders)
        holder->SetBillboardAxes(up, right);
    for (auto& connection : connections)
        connection->SetBillboardAxes(up, right);
}
