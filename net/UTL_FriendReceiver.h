#pragma once

#include <string>

// What the network session hands the friend queries' results to: the main scene's friend
// circle. People arrive as four strings (uid, name, picture and square-picture addresses, empty
// when the answer lacked them); friendships as pairs of uids.
//
// Called on the main thread between frames.
class UTL_FriendReceiver
{
public:
    virtual ~UTL_FriendReceiver() = default;

    virtual void SetSelf(const std::string& id, const std::string& name, const std::string& picture,
                         const std::string& squarePicture) = 0;
    virtual void AddFriend(const std::string& id, const std::string& name,
                           const std::string& picture, const std::string& squarePicture) = 0;
    // Asks for every locator to be spread over the globe again, after each new friend; the
    // receiver may run the layout later, once for many calls.
    virtual void LayoutFriends() = 0;
    // Joins the user to every friend.
    virtual void ConnectSelf() = 0;
    virtual void ConnectFriends(const std::string& id1, const std::string& id2, float dimAlpha,
                                bool highlighted) = 0;
    // The friends received so far, the user not counted, in arrival order.
    virtual int GetFriendCount() const = 0;
    virtual const std::string& GetFriendId(int index) const = 0;
};
