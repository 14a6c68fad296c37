#include "net/UTL_NetworkSession.h"

#include "net/UTL_FacebookConfig.h"
#include "net/UTL_FriendReceiver.h"
#include "net/UTL_XmlAnswer.h"

#include <tinyxml.h>

#include <algorithm>
#include <vector>

namespace
{
const TiXmlElement* ParseRoot(const std::string& answer, TiXmlDocument& doc, const char* root)
{
    return UTL_XmlAnswer::Parse(answer, doc) ? doc.FirstChildElement(root) : nullptr;
}

// Why an answer of `method` lacked what it should hold: the server's own error when it sent one.
// The text comes from the network and ends up on a terminal, so it is cut short and keeps only
// printable characters.
std::string UnexpectedAnswer(const char* method, const TiXmlDocument& doc)
{
    const TiXmlElement* error = doc.FirstChildElement("error_response");
    if (!error)
        return std::string(method) + " answered without its result";
    std::string said = "error " + UTL_XmlAnswer::ChildText(error, "error_code") + ": " +
                       UTL_XmlAnswer::ChildText(error, "error_msg");
    if (said.size() > 200)
        said.resize(200);
    for (char& c : said)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return std::string(method) + " failed with " + said;
}

// The server no longer knows the session the call was signed with.
bool SessionInvalid(const TiXmlDocument& doc)
{
    const TiXmlElement* error = doc.FirstChildElement("error_response");
    return error && UTL_XmlAnswer::ChildText(error, "error_code") == "102";
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
    progress = UTL_SessionProgress();
    if (!client->Init())
    {
        progress.stage = UTL_SessionProgress::Stage::ServerUnreachable;
        progress.reason = endpoints.serverUrl.substr(0, endpoints.serverUrl.find('/'));
        return false;
    }
    loginUrl = client->MakeLoginUrl(endpoints.loginPage);
    return true;
}

void UTL_NetworkSession::StopBatches()
{
    moreBatches = false;
    progress.stage = UTL_SessionProgress::Stage::Stopped;
}

void UTL_NetworkSession::Restart()
{
    client.reset();
    loginUrl.clear();
    haveFailedStart = false;
    friendsRequested = false;
    moreBatches = false;
    resumeRow = 0;
    failure.clear();
    progress = UTL_SessionProgress();
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

bool UTL_NetworkSession::OnLoginClosed()
{
    friendsRequested = true;
    return LoadFriends();
}

bool UTL_NetworkSession::Fail(const std::string& why, UTL_SessionProgress::Stage stage)
{
    failure = why;
    progress = UTL_SessionProgress();
    progress.stage = stage;
    progress.friends = receiver ? receiver->GetFriendCount() : 0;
    progress.reason = why;
    return false;
}

bool UTL_NetworkSession::EndBatches(UTL_SessionProgress::Stage stage, const std::string& why)
{
    moreBatches = false;
    progress.stage = stage;
    progress.reason = why;
    return false;
}

void UTL_NetworkSession::Report(const std::string& line) const
{
    if (eventSink)
        eventSink(line);
}

bool UTL_NetworkSession::LoadFriends()
{
    failure.clear();
    if (!client || !friendsRequested || !receiver)
        return Fail("not logged in");
    if (!client->GetSession())
    {
        friendsRequested = false;
        return Fail("no session (the login was not completed)",
                    UTL_SessionProgress::Stage::LoginRefused);
    }

    std::string answer;
    if (!client->CallMethod("facebook.friends.get", {}, answer, MaxAnswerBytes))
        return Fail("friends.get failed (no answer, or one over 8 MiB)");
    std::vector<std::string> ids{client->GetUid()};
    size_t offered = 0;
    {
        TiXmlDocument friendsDoc;
        const TiXmlElement* friendList = ParseRoot(answer, friendsDoc, "friends_get_response");
        if (!friendList)
            return Fail(UnexpectedAnswer("friends.get", friendsDoc));
        for (const TiXmlElement* uid = friendList->FirstChildElement("uid"); uid;
             uid = uid->NextSiblingElement("uid"))
        {
            if (++offered > MaxFriends)
                continue; // counted only, for the report
            const char* text = uid->GetText();
            ids.emplace_back(text ? text : "");
        }
    }
    answer = std::string();
    if (offered > MaxFriends)
        Report("friends offered: " + std::to_string(offered) + ", taking the first " +
               std::to_string(MaxFriends));

    // The user's uid first, then the friends', in calls of at most UsersPerCall uids. A server
    // that answers with more people than it was asked for cannot get past MaxFriends either.
    size_t taken = 0;
    size_t refused = 0;
    for (size_t first = 0; first < ids.size(); first += UsersPerCall)
    {
        const size_t last = std::min(ids.size(), first + UsersPerCall);
        std::string list = ids[first];
        for (size_t i = first + 1; i < last; ++i)
        {
            list += ',';
            list += ids[i];
        }
        answer.clear();
        if (!client->CallMethod(
                "facebook.users.getInfo",
                {"uids=" + list, "fields=name,status,pic,pic_big,pic_small,pic_square"}, answer,
                MaxAnswerBytes))
            return Fail("users.getInfo failed (no answer, or one over 8 MiB)");
        TiXmlDocument usersDoc;
        const TiXmlElement* users = ParseRoot(answer, usersDoc, "users_getInfo_response");
        if (!users)
            return Fail(UnexpectedAnswer("users.getInfo", usersDoc));

        for (const TiXmlElement* user = users->FirstChildElement("user"); user;
             user = user->NextSiblingElement())
        {
            const std::string uid = UTL_XmlAnswer::ChildText(user, "uid");
            const bool isSelf = uid == client->GetUid();
            if (!isSelf && taken >= MaxFriends)
            {
                ++refused;
                continue;
            }
            const std::string name = UTL_XmlAnswer::ChildText(user, "name");
            const std::string picture = UTL_XmlAnswer::ChildText(user, "pic");
            const std::string squarePicture = UTL_XmlAnswer::ChildText(user, "pic_square");
            // The layout follows the user's record too, so that a user without friends still
            // stands on the globe.
            if (isSelf)
                receiver->SetSelf(uid, name, picture, squarePicture);
            else
            {
                receiver->AddFriend(uid, name, picture, squarePicture);
                ++taken;
            }
            receiver->LayoutFriends();
        }
    }
    if (refused > 0)
        Report("users.getInfo offered " + std::to_string(refused) + " more people than the " +
               std::to_string(MaxFriends) + " friends taken");
    receiver->ConnectSelf();

    resumeRow = 0;
    frameCounter = FirstBatchCounter;
    moreBatches = true;
    const int count = receiver->GetFriendCount();
    progress = UTL_SessionProgress();
    progress.stage = UTL_SessionProgress::Stage::LoadingFriendships;
    progress.friends = count;
    progress.pairs = uint64_t(count) * uint64_t(std::max(count - 1, 0)) / 2;
    return true;
}

bool UTL_NetworkSession::QueryFriendships()
{
    moreBatches = false;
    if (!client || !receiver)
        return false;
    // Nothing left to ask, or nothing at all: every friendship there is is known.
    const auto allKnown = [this]
    {
        if (progress.stage == UTL_SessionProgress::Stage::LoadingFriendships)
            progress.stage = UTL_SessionProgress::Stage::AllKnown;
        return false;
    };
    const int count = receiver->GetFriendCount();
    if (count < 2)
        return allKnown();

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
        return allKnown();
    firsts.pop_back();
    seconds.pop_back();

    // A batch that fails ends the friendship queries: nothing is retried.
    std::string answer;
    TiXmlDocument doc;
    if (!client->CallMethod("facebook.friends.areFriends", {"uids1=" + firsts, "uids2=" + seconds},
                            answer, MaxAnswerBytes))
        return EndBatches(UTL_SessionProgress::Stage::BatchesFailed,
                          "friends.areFriends failed (no answer, or one over 8 MiB)");
    const TiXmlElement* results = ParseRoot(answer, doc, "friends_areFriends_response");
    if (!results)
        return EndBatches(SessionInvalid(doc) ? UTL_SessionProgress::Stage::SessionLost
                                              : UTL_SessionProgress::Stage::BatchesFailed,
                          UnexpectedAnswer("friends.areFriends", doc));
    for (const TiXmlElement* info = results->FirstChildElement("friend_info"); info;
         info = info->NextSiblingElement())
    {
        if (UTL_XmlAnswer::ChildText(info, "are_friends") == "1")
        {
            receiver->ConnectFriends(UTL_XmlAnswer::ChildText(info, "uid1"),
                                     UTL_XmlAnswer::ChildText(info, "uid2"), 0.4f, false);
            ++progress.found;
        }
    }
    progress.pairsAsked += uint64_t(pairs);
    if (!moreBatches)
        allKnown();
    return true;
}

bool UTL_NetworkSession::OnFrame()
{
    ++frameCounter;
    if (!moreBatches)
        return false;
    if (!fastBatches)
    {
        if (frameCounter <= FramesBetweenBatches)
            return false;
        QueryFriendships();
        return true;
    }
    // At least one batch a frame, however slow the server; then more while the budget lasts.
    const auto start = clock();
    do
        QueryFriendships();
    while (moreBatches && clock() - start < BatchBudget);
    return true;
}
