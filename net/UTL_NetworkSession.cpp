#include "net/UTL_NetworkSession.h"

#include "net/UTL_FacebookConfig.h"
#include "net/UTL_FriendReceiver.h"
#include "net/UTL_XmlAnswer.h"
#include "util/UTL_TextBound.h"

#include <tinyxml.h>

#include <algorithm>
#include <cstring>
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

UTL_NetworkSession::~UTL_NetworkSession()
{
    StopFetcher(); // before the client it uses
}

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
    StopFetcher();
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
    StopFetcher();
    moreBatches = false;
    progress.stage = UTL_SessionProgress::Stage::Stopped;
}

void UTL_NetworkSession::Restart()
{
    StopFetcher();
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

bool UTL_NetworkSession::IsLongUid(const char* uid)
{
    return uid && strnlen(uid, MaxUidBytes + 1) > MaxUidBytes;
}

void UTL_NetworkSession::ReportLongUids(const char* method, size_t count) const
{
    if (count > 0)
        Report(std::string(method) + ": uids longer than " + std::to_string(MaxUidBytes) +
               " bytes left out: " + std::to_string(count));
}

bool UTL_NetworkSession::LoadFriends()
{
    StopFetcher();
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
    size_t longUids = 0;
    {
        TiXmlDocument friendsDoc;
        const TiXmlElement* friendList = ParseRoot(answer, friendsDoc, "friends_get_response");
        if (!friendList)
            return Fail(UTL_XmlAnswer::Unexpected("friends.get", friendsDoc));
        for (const TiXmlElement* uid = friendList->FirstChildElement("uid"); uid;
             uid = uid->NextSiblingElement("uid"))
        {
            const char* text = uid->GetText();
            if (IsLongUid(text))
            {
                ++longUids;
                continue;
            }
            if (++offered > MaxFriends)
                continue; // counted only, for the report
            ids.emplace_back(text ? text : "");
        }
    }
    answer = std::string();
    ReportLongUids("friends.get", longUids);
    if (offered > MaxFriends)
        Report("friends offered: " + std::to_string(offered) + ", taking the first " +
               std::to_string(MaxFriends));

    // The user's uid first, then the friends', in calls of at most UsersPerCall uids. A server
    // that answers with more people than it was asked for cannot get past MaxFriends either.
    size_t taken = 0;
    size_t refused = 0;
    size_t namesCut = 0;
    longUids = 0;
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
            return Fail(UTL_XmlAnswer::Unexpected("users.getInfo", usersDoc));

        for (const TiXmlElement* user = users->FirstChildElement("user"); user;
             user = user->NextSiblingElement())
        {
            const char* uidText = UTL_XmlAnswer::ChildTextOrNull(user, "uid");
            if (IsLongUid(uidText))
            {
                ++longUids;
                continue;
            }
            const std::string uid = uidText ? uidText : "";
            const bool isSelf = uid == client->GetUid();
            if (!isSelf && taken >= MaxFriends)
            {
                ++refused;
                continue;
            }
            // Bounded before anything keeps it: the scene, the docks and the search index
            // hold a name for as long as the circle is shown.
            const char* fullName = UTL_XmlAnswer::ChildTextOrNull(user, "name");
            bool nameCut = false;
            const std::string name = UTL_TextBound::Cut(fullName ? fullName : "",
                                                        UTL_TextBound::MaxCharacters, &nameCut);
            namesCut += nameCut ? 1 : 0;
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
    ReportLongUids("users.getInfo", longUids);
    if (namesCut > 0)
        Report("users.getInfo: names longer than " + std::to_string(UTL_TextBound::MaxCharacters) +
               " characters cut: " + std::to_string(namesCut));
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
    StopFetcher();
    moreBatches = false;
    if (!client || !receiver)
        return false;
    const int count = receiver->GetFriendCount();
    std::string firsts, seconds;
    int nextRow = 0;
    bool last = true;
    const int pairs = UTL_FriendshipFetcher::Collect(
        [this](int index) -> const std::string& { return receiver->GetFriendId(index); }, count,
        resumeRow, PairsPerBatch, nextRow, last, firsts, seconds);
    if (pairs == 0)
    {
        // Nothing left to ask, or nothing at all: every friendship there is is known.
        if (progress.stage == UTL_SessionProgress::Stage::LoadingFriendships)
            progress.stage = UTL_SessionProgress::Stage::AllKnown;
        return false;
    }
    if (!last)
    {
        resumeRow = nextRow;
        frameCounter = 0;
        moreBatches = true;
    }

    // A batch that fails ends the friendship queries: nothing is retried.
    UTL_FriendshipFetcher::Batch batch;
    batch.pairs = pairs;
    batch.nextRow = nextRow;
    batch.last = last;
    UTL_FriendshipFetcher::Ask(*client, firsts, seconds, MaxAnswerBytes, batch);
    return Apply(batch);
}

bool UTL_NetworkSession::Apply(const UTL_FriendshipFetcher::Batch& batch)
{
    if (batch.failed)
        return EndBatches(batch.stage, batch.reason);
    for (const auto& [first, second] : batch.friends)
        receiver->ConnectFriends(first, second, 0.4f, false);
    progress.found += batch.friends.size();
    progress.pairsAsked += uint64_t(batch.pairs);
    resumeRow = batch.nextRow;
    if (batch.last)
    {
        moreBatches = false;
        if (progress.stage == UTL_SessionProgress::Stage::LoadingFriendships)
            progress.stage = UTL_SessionProgress::Stage::AllKnown;
    }
    return true;
}

void UTL_NetworkSession::StopFetcher()
{
    // Batches answered but not taken are dropped; the resume row is that of the last one taken.
    fetcher.reset();
}

void UTL_NetworkSession::StartFetcher()
{
    std::vector<std::string> ids;
    ids.reserve(size_t(receiver->GetFriendCount()));
    for (int i = 0; i < receiver->GetFriendCount(); ++i)
        ids.push_back(receiver->GetFriendId(i));
    fetcher = std::make_unique<UTL_FriendshipFetcher>(*client, std::move(ids), resumeRow);
}

void UTL_NetworkSession::SetFastBatches(bool value)
{
    fastBatches = value;
    if (!value && fetcher)
    {
        StopFetcher();
        frameCounter = 0; // the paced way goes on from the last batch taken
    }
    // Asked from now on rather than from the next frame: a large circle's frame may take a
    // second on a software renderer.
    if (value && !fetcher && moreBatches && client && receiver)
        StartFetcher();
}

bool UTL_NetworkSession::OnFrame()
{
    ++frameCounter;
    if (!moreBatches)
        return false;
    if (!client || !receiver)
        return false;
    if (!fastBatches)
    {
        if (frameCounter <= FramesBetweenBatches)
            return false;
        QueryFriendships();
        return true;
    }
    // The batches are asked on the fetcher's thread; the frame takes the answered ones while
    // its budget lasts.
    if (!fetcher)
        StartFetcher();
    const auto start = clock();
    bool took = false;
    UTL_FriendshipFetcher::Batch batch;
    while (moreBatches && fetcher->Take(batch))
    {
        took = true;
        Apply(batch);
        if (clock() - start >= BatchBudget)
            break;
    }
    if (!moreBatches)
        StopFetcher();
    return took;
}
