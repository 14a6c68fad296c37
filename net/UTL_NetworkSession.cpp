#include "net/UTL_NetworkSession.h"

#include "net/UTL_FacebookConfig.h"
#include "net/UTL_FriendReceiver.h"
#include "net/UTL_XmlAnswer.h"

#include <tinyxml.h>

#include <vector>

namespace
{
const TiXmlElement* ParseRoot(const std::string& answer, TiXmlDocument& doc, const char* root)
{
    return UTL_XmlAnswer::Parse(answer, doc) ? doc.FirstChildElement(root) : nullptr;
}
} // namespace

UTL_NetworkSession::Endpoints UTL_NetworkSession::BuiltIn()
{
    return {UTL_FacebookConfig::ApiKey, UTL_FacebookConfig::AppSecret,
            UTL_FacebookConfig::ServerUrl, UTL_FacebookConfig::LoginPage};
}

UTL_NetworkSession::Endpoints UTL_NetworkSession::ForServer(const std::string& hostAndPort)
{
    return {UTL_FacebookConfig::ApiKey, UTL_FacebookConfig::AppSecret,
            hostAndPort + UTL_FacebookConfig::RestPath,
            "http://" + hostAndPort + UTL_FacebookConfig::LoginPath};
}

UTL_NetworkSession::UTL_NetworkSession(const Endpoints& endpoints, UTL_FriendReceiver* receiver)
    : endpoints(endpoints), receiver(receiver)
{
}

UTL_NetworkSession::~UTL_NetworkSession() = default;

void UTL_NetworkSession::SetTimeouts(std::chrono::milliseconds connect,
                                     std::chrono::milliseconds total)
{
    connectTimeout = connect;
    totalTimeout = total;
    if (client)
        client->SetTimeouts(connect, total);
}

bool UTL_NetworkSession::StartLogin()
{
    loginUrl.clear();
    client = std::make_unique<UTL_FacebookClient>(endpoints.apiKey, endpoints.appSecret,
                                                  endpoints.serverUrl);
    client->SetTimeouts(connectTimeout, totalTimeout);
    if (!client->Init())
        return false;
    loginUrl = client->MakeLoginUrl(endpoints.loginPage);
    return true;
}

std::string UTL_NetworkSession::GetLoginUrl()
{
    if (!loginUrl.empty())
        return loginUrl;
    const auto now = clock();
    if (haveFailedStart && now - lastFailedStart < LoginRetryInterval)
        return loginUrl;
    if (!StartLogin())
    {
        haveFailedStart = true;
        lastFailedStart = now;
    }
    return loginUrl;
}

void UTL_NetworkSession::OnLoginClosed()
{
    friendsRequested = true;
    LoadFriends();
}

bool UTL_NetworkSession::LoadFriends()
{
    if (!client || !friendsRequested || !receiver)
        return false;
    if (!client->GetSession())
    {
        friendsRequested = false;
        return false;
    }

    std::string answer;
    if (!client->CallMethod("facebook.friends.get", {}, answer))
        return false;
    TiXmlDocument friendsDoc;
    const TiXmlElement* friendList = ParseRoot(answer, friendsDoc, "friends_get_response");
    if (!friendList)
        return false;

    std::string ids = client->GetUid();
    for (const TiXmlElement* uid = friendList->FirstChildElement("uid"); uid;
         uid = uid->NextSiblingElement("uid"))
    {
        const char* text = uid->GetText();
        ids += ',';
        ids += text ? text : "";
    }

    answer.clear();
    if (!client->CallMethod("facebook.users.getInfo",
                            {"uids=" + ids, "fields=name,status,pic,pic_big,pic_small,pic_square"},
                            answer))
        return false;
    TiXmlDocument usersDoc;
    const TiXmlElement* users = ParseRoot(answer, usersDoc, "users_getInfo_response");
    if (!users)
        return false;

    for (const TiXmlElement* user = users->FirstChildElement("user"); user;
         user = user->NextSiblingElement())
    {
        const std::string uid = UTL_XmlAnswer::ChildText(user, "uid");
        const std::string name = UTL_XmlAnswer::ChildText(user, "name");
        const std::string picture = UTL_XmlAnswer::ChildText(user, "pic");
        const std::string squarePicture = UTL_XmlAnswer::ChildText(user, "pic_square");
        // The layout follows the user's record too, so that a user without friends still
        // stands on the globe.
        if (uid == client->GetUid())
            receiver->SetSelf(uid, name, picture, squarePicture);
        else
            receiver->AddFriend(uid, name, picture, squarePicture);
        receiver->LayoutFriends();
    }
    receiver->ConnectSelf();

    resumeRow = 0;
    frameCounter = FirstBatchCounter;
    moreBatches = true;
    return true;
}

bool UTL_NetworkSession::QueryFriendships()
{
    moreBatches = false;
    if (!client || !receiver)
        return false;
    const int count = receiver->GetFriendCount();
    if (count < 2)
        return false;

    // Whole rows of the pair triangle: row j pairs friend j with every later friend.
    std::string firsts, seconds;
    int pairs = 0;
    for (int j = resumeRow; j < count - 1; ++j)
    {
        const std::string& rowId = receiver->GetFriendId(j);
        for (int k = j + 1; k < count; ++k)
        {
            firsts += rowId;
            firsts += ',';
            seconds += receiver->GetFriendId(k);
            seconds += ',';
            ++pairs;
        }
        if (pairs > PairsPerBatch)
        {
            resumeRow = j + 1;
            frameCounter = 0;
            moreBatches = true;
            break;
        }
    }
    if (pairs == 0)
        return false;
    firsts.pop_back();
    seconds.pop_back();

    // A batch that fails ends the friendship queries: nothing is retried.
    std::string answer;
    TiXmlDocument doc;
    const TiXmlElement* results = nullptr;
    if (client->CallMethod("facebook.friends.areFriends", {"uids1=" + firsts, "uids2=" + seconds},
                           answer))
        results = ParseRoot(answer, doc, "friends_areFriends_response");
    if (!results)
    {
        moreBatches = false;
        return false;
    }
    for (const TiXmlElement* info = results->FirstChildElement("friend_info"); info;
         info = info->NextSiblingElement())
    {
        if (UTL_XmlAnswer::ChildText(info, "are_friends") == "1")
            receiver->ConnectFriends(UTL_XmlAnswer::ChildText(info, "uid1"),
                                     UTL_XmlAnswer::ChildText(info, "uid2"), 0.4f, false);
    }
    return true;
}

bool UTL_NetworkSession::OnFrame()
{
    ++frameCounter;
    if (frameCounter <= FramesBetweenBatches || !moreBatches)
        return false;
    QueryFriendships();
    return true;
}
