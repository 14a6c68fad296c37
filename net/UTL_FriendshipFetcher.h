#pragma once

#include "net/UTL_SessionProgress.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class UTL_FacebookClient;

// The friendship batches asked one after another on a thread of its own, so that the window
// goes on drawing while the server answers: the fast way of the network session. Batches are
// the session's (whole rows of the pair triangle, past PairsPerBatch pairs each), asked in order,
// one request at a time; answered ones wait in a bounded queue for the main thread to take,
// and the thread waits while the queue is full. An answered batch keeps only the pairs that are
// friends, so the queue costs little, and it is long enough that a window drawing a frame a
// second or slower (a large circle on a software renderer) takes the ~4,500 batches of a
// 5,000-friend circle in a few frames, not in a frame per few dozen batches. The friendships
// held are bounded too, so that a server calling every pair friends cannot make it large. A
// failed batch ends the run.
//
// Threading: while a fetcher exists it alone uses the client it was given, on its thread; the
// main thread only calls Take and the destructor. The destructor stops the thread
// cooperatively: it sets the stop flag, which also aborts the transfer running, and joins.
class UTL_FriendshipFetcher
{
public:
    // One answered batch: its pairs, those of them that are friends, and the row the next batch
    // starts at; or why it failed.
    struct Batch
    {
        int pairs = 0;
        int nextRow = 0;
        bool last = false;
        std::vector<std::pair<std::string, std::string>> friends;
        bool failed = false;
        UTL_SessionProgress::Stage stage = UTL_SessionProgress::Stage::BatchesFailed;
        std::string reason;
    };

    static constexpr size_t MaxQueued = 4096;
    // Friendships held by the waiting batches (about 64 bytes each) past which no more are asked.
    static constexpr size_t MaxQueuedFriends = 250'000;

    // Starts asking from `row` of the friends `ids` with `client`, which it takes over until
    // it is destroyed; at most `maxQueued` answered batches wait, and no more are asked while
    // those waiting hold MaxQueuedFriends friendships.
    UTL_FriendshipFetcher(UTL_FacebookClient& client, std::vector<std::string> ids, int row,
                          size_t maxQueued = MaxQueued);
    ~UTL_FriendshipFetcher();

    UTL_FriendshipFetcher(const UTL_FriendshipFetcher&) = delete;
    UTL_FriendshipFetcher& operator=(const UTL_FriendshipFetcher&) = delete;

    // The oldest answered batch, if one is waiting.
    bool Take(Batch& batch);

    // The uid lists of the batch of whole rows from `row` (of `count` friends, uid `idAt`):
    // the batch closes after the row that takes it past `pairsPerBatch` pairs. Returns the
    // pairs collected (0: none left); `nextRow` is where the next batch starts, `last` whether
    // none will.
    using IdAt = std::function<const std::string&(int index)>;
    static int Collect(const IdAt& idAt, int count, int row, int pairsPerBatch, int& nextRow,
                       bool& last, std::string& firsts, std::string& seconds);
    // Asks friends.areFriends for the lists and reads the pairs that are friends into `batch`;
    // on failure sets its failed, stage and reason. Returns !batch.failed.
    static bool Ask(UTL_FacebookClient& client, const std::string& firsts,
                    const std::string& seconds, size_t maxAnswerBytes, Batch& batch);

private:
    void Run();

    UTL_FacebookClient& client;
    std::vector<std::string> ids;
    int row;
    size_t maxQueued;
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable roomFree;
    std::deque<Batch> queue;
    size_t queuedFriends = 0;
    std::thread thread;
};
