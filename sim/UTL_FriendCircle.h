#pragma once

#include "gfx/GFX_Vector3.h"
#include "graph/UTL_SphereVector.h"
#include "net/UTL_FriendReceiver.h"
#include "sim/UTL_LayoutGlide.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class GFX_Connection;
class GFX_ConnectionFriends;
class GFX_Dock;
class GFX_Friend;
class GFX_HalvaneCamera;
class GFX_LocationHolder;
class GFX_LocationHolderFriend;
class GFX_SceneOwner;

// The people of the main scene and where they stand: the user and the friends as they arrive,
// a locator for each on the globe, the friendship lines between them, and an index from user id
// to locator. Each person also gets an item in the user's dock or the friends' dock, once the
// docks exist. The network session hands its results here.
//
// Locators are laid out on the golden-angle spiral, the user first, lazily: LayoutFriends only
// marks the layout due, and the next look at the locators runs it, so that a circle of
// thousands arriving friend by friend is laid out once rather than once per friend. The layout
// LayoutFriends asks for turns the camera, when there is one, to face the user's locator.
// People given places of their own (an arrangement by friendships) stand there instead of on
// the spiral, and a layout may glide the locators from where they stood (Advance, per frame).
// The patches such an arrangement forms are the circle's regions, each with its name.
//
// The circle is the scene's model: GFX_CirclePass draws it. The scene objects reach the
// controller through `owner`, which must outlive the circle. No GL: the objects it makes create
// their GL names when first drawn.
class UTL_FriendCircle : public UTL_FriendReceiver
{
public:
    using Holders = std::vector<std::unique_ptr<GFX_LocationHolder>>;
    using Connections = std::vector<std::unique_ptr<GFX_ConnectionFriends>>;
    using Places = std::unordered_map<std::string, UTL_SpherePlace>;

    // A group's patch of the globe and the name it carries there: its centre, how many people
    // it holds, and its colour.
    struct Region
    {
        std::string name;
        UTL_SpherePlace centre;
        size_t size = 0;
        GFX_Vector3 color;
    };

    explicit UTL_FriendCircle(GFX_SceneOwner* owner);
    ~UTL_FriendCircle() override;

    UTL_FriendCircle(const UTL_FriendCircle&) = delete;
    UTL_FriendCircle& operator=(const UTL_FriendCircle&) = delete;

    // The docks that list the people, and the camera the layout turns; any may be null.
    void Attach(GFX_Dock* selfDock, GFX_Dock* friendsDock, GFX_HalvaneCamera* camera);
    // Called with a person about to be deleted (a user record replaced by another).
    void SetOnRemoving(std::function<void(const GFX_Friend*)> handler);

    void SetSelf(const std::string& id, const std::string& name, const std::string& picture,
                 const std::string& squarePicture) override;
    void AddFriend(const std::string& id, const std::string& name, const std::string& picture,
                   const std::string& squarePicture) override;
    void LayoutFriends() override;
    void ConnectSelf() override;
    void ConnectFriends(const std::string& id1, const std::string& id2, float dimAlpha,
                        bool highlighted) override;
    int GetFriendCount() const override { return static_cast<int>(friends.size()); }
    const std::string& GetFriendId(int index) const override;

    // Colours of people by id (a community's colour): each one's ball, and the lines between two
    // people of the same colour, take it; everyone else keeps the colours of their places. An
    // empty map gives the colours of places back. Kept until Clear.
    void SetPersonColors(std::unordered_map<std::string, GFX_Vector3> colors);
    const std::unordered_map<std::string, GFX_Vector3>& GetPersonColors() const
    {
        return personColors;
    }

    // Places of people by id, from the next layout on; everyone else stands on the spiral. An
    // empty map puts everyone back on it. Kept until Clear.
    void SetPersonPlaces(Places places);
    // At the next layout the locators of these people start from these places and glide to
    // their own over UTL_LayoutGlide::Seconds instead of jumping there.
    void GlideFrom(Places places);
    // Runs a layout that is due, then moves the glide on by `seconds`: once a frame.
    void Advance(float seconds);
    bool IsGliding() const { return glide.IsActive(); }
    // Where each person's locator stands now, by id; lays out first.
    Places PlacesById();

    // The regions named on the globe; kept until Clear.
    void SetRegions(std::vector<Region> value) { regions = std::move(value); }
    const std::vector<Region>& GetRegions() const { return regions; }

    // Empties the circle: the people, their docked items, locators, lines, places and regions.
    // Each person is reported to the removal handler before it goes. The docks and camera stay
    // attached.
    void Clear();

    // Runs a layout that is due (asked for, or new colours or places).
    void Place();
    // The locators, laid out.
    const Holders& GetHolders()
    {
        Place();
        return holders;
    }
    // The outcome of walking the locators in order, where each one of id1 becomes holder1, else
    // each one of id2 becomes holder2, until both were set; outputs not found keep what the
    // caller put there. Lays out first.
    void FindFriendHolders(const std::string& id1, const std::string& id2,
                           GFX_LocationHolder*& holder1, GFX_LocationHolder*& holder2);
    // The last locator showing the person, or null.
    GFX_LocationHolderFriend* HolderOf(const GFX_Friend* person);

    GFX_Friend* GetSelf() const { return self.get(); }
    const std::vector<std::unique_ptr<GFX_Friend>>& GetFriends() const { return friends; }
    const Connections& GetConnections() const { return connections; }
    // The user's dock, then the friends' dock.
    std::array<GFX_Dock*, 2> GetDocks() const { return {selfDock, friendsDock}; }
    // How many friends a person has in this circle: for the user, every friend; for a friend,
    // the other friends a known friendship joins them to (the line to the user not counted).
    int CountFriendsOf(const GFX_Friend* person) const;
    // How many times the people or the lines changed (one added, the circle emptied): whoever
    // keeps something made from the circle knows from this when to make it again.
    uint64_t GetChangeCount() const { return changes; }
    // Dots a frame draws, over every line whose ends are known.
    long long CountDots() const;

    // Gives every locator and line the screen's axes in the world, locators first.
    void SetBillboardAxes(const GFX_Vector3& up, const GFX_Vector3& right);
    // The screen's axes in the world as last set.
    const GFX_Vector3& GetScreenUp() const { return screenUp; }
    const GFX_Vector3& GetScreenRight() const { return screenRight; }

private:
    // The colour of the line between id1 and id2: that of both ends, when they share one.
    std::optional<GFX_Vector3> LineColor(const std::string& id1, const std::string& id2) const;
    // Rebuilds holdersById from the friends the locators show now.
    void IndexHolders();
    // Takes the user record's docked item and locators away from it.
    void LetGoOfSelf();
    void AddDocked(GFX_Dock* dock, GFX_Friend* person, bool selected);

    GFX_SceneOwner* owner;
    GFX_Dock* selfDock = nullptr;
    GFX_Dock* friendsDock = nullptr;
    GFX_HalvaneCamera* camera = nullptr;
    std::function<void(const GFX_Friend*)> onRemoving;
    std::unique_ptr<GFX_Friend> self;
    std::vector<std::unique_ptr<GFX_Friend>> friends;
    Holders holders;
    Connections connections;
    // The positions in `holders` of the friend locators showing each id, in list order: lines
    // look their ends up here instead of walking every locator.
    std::unordered_map<std::string, std::vector<int>> holdersById;
    std::unordered_map<std::string, GFX_Vector3> personColors;
    Places personPlaces;
    Places glideFrom;
    UTL_LayoutGlide glide;
    std::vector<Region> regions;
    bool layoutPending = false;
    // The pending layout is one LayoutFriends asked for, which faces the camera to the user.
    bool facingPending = false;
    uint64_t changes = 0;
    GFX_Vector3 screenUp{0, 1, 0};
    GFX_Vector3 screenRight{1, 0, 0};
};
