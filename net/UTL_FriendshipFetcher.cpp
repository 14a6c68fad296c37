#include "net/UTL_FriendshipFetcher.h"

#include "net/UTL_AreFriendsAnswer.h"
#include "net/UTL_FacebookClient.h"
#include "net/UTL_NetworkSession.h"
#include "net/UTL_XmlAnswer.h"

#include <tinyxml.h>

#include <cstring>

UTL_FriendshipFetcher::UTL_FriendshipFetcher(UTL_FacebookClient& client,
                                             std::vector<std::string> ids, int row,
                                             size_t maxQueued)
    : client(client), ids(std::move(ids)), row(row), maxQueued(maxQueued)
{
    client.SetAbortFlag(&stop);
    thread = std::thread([this] { Run(); });
}

UTL_FriendshipFetcher::~UTL_FriendshipFetcher()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
    }
    roomFree.notify_all();
    thread.join();
    client.SetAbortFlag(nullptr);
}

bool UTL_FriendshipFetcher::Take(Batch& batch)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (queue.empty())
            return false;
        batch = std::move(queue.front());
        queue.pop_front();
        queuedFriends -= batch.friends.size();
    }
    roomFree.notify_one();
    return true;
}

void UTL_FriendshipFetcher::Run()
{
    const IdAt idAt = [this](int index) -> const std::string& { return ids[size_t(index)]; };
    bool last = false;
    while (!last && !stop)
    {
        Batch batch;
        std::string firsts, seconds;
        batch.pairs = Collect(idAt, int(ids.size()), row, UTL_NetworkSession::PairsPerBatch,
                              batch.nextRow, last, firsts, seconds);
        batch.last = last;
        if (batch.pairs > 0)
            Ask(client, firsts, seconds, UTL_NetworkSession::MaxAnswerBytes, batch);
        if (stop)
            break; // an aborted transfer is no failure of the server's
        row = batch.nextRow;
        last = last || batch.failed;
        std::unique_lock<std::mutex> lock(mutex);
        roomFree.wait(
            lock, [this]
            { return stop || (queue.size() < maxQueued && queuedFriends < MaxQueuedFriends); });
        if (stop)
            break;
        queuedFriends += batch.friends.size();
        queue.push_back(std::move(batch));
    }
}

int UTL_FriendshipFetcher::Collect(const IdAt& idAt, int count, int row, int pairsPerBatch,
                                   int& nextRow, bool& last, std::string& firsts,
                                   std::string& seconds)
{
    // Whole rows of the pair triangle: row j pairs friend j with every later friend.
    int pairs = 0;
    nextRow = count;
    last = true;
    for (int j = row; j < count - 1; ++j)
    {
        const std::string& rowId = idAt(j);
        for (int k = j + 1; k < count; ++k)
        {
            firsts += rowId;
            firsts += ',';
            seconds += idAt(k);
            seconds += ',';
            ++pairs;
        }
        if (pairs > pairsPerBatch)
        {
            nextRow = j + 1;
            last = false;
            break;
        }
    }
    if (pairs > 0)
    {
        firsts.pop_back();
        seconds.pop_back();
    }
    return pairs;
}

bool UTL_FriendshipFetcher::Ask(UTL_FacebookClient& client, const std::string& firsts,
                                const std::string& seconds, size_t maxAnswerBytes, Batch& batch)
{
    using Stage = UTL_SessionProgress::Stage;
    std::string answer;
    if (!client.CallMethod("facebook.friends.areFriends", {"uids1=" + firsts, "uids2=" + seconds},
                           answer, maxAnswerBytes))
    {
        batch.failed = true;
        batch.stage = Stage::BatchesFailed;
        batch.reason = "friends.areFriends failed (no answer, or one over 8 MiB)";
        return false;
    }
    // The answer as the server writes it is read without building a document; any other form,
    // an error answer among them, goes through TinyXML.
    if (UTL_AreFriendsAnswer::ReadPlain(answer, batch.friends))
        return true;
    TiXmlDocument doc;
    const TiXmlElement* results = UTL_XmlAnswer::Parse(answer, doc)
                                      ? doc.FirstChildElement("friends_areFriends_response")
                                      : nullptr;
    if (!results)
    {
        batch.failed = true;
        batch.stage =
            UTL_XmlAnswer::ErrorCode(doc) == "102" ? Stage::SessionLost : Stage::BatchesFailed;
        batch.reason = UTL_XmlAnswer::Unexpected("friends.areFriends", doc);
        return false;
    }
    // Most pairs are not friends: their answer is tested where it lies, and only friends' ids
    // become strings.
    for (const TiXmlElement* info = results->FirstChildElement("friend_info"); info;
         info = info->NextSiblingElement())
    {
        const char* areFriends = UTL_XmlAnswer::ChildTextOrNull(info, "are_friends");
        if (areFriends && std::strcmp(areFriends, "1") == 0)
            batch.friends.emplace_back(UTL_XmlAnswer::ChildText(info, "uid1"),
                                       UTL_XmlAnswer::ChildText(info, "uid2"));
    }
    return true;
}
