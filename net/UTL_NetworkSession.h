#pragma once

#include "net/UTL_FacebookClient.h"
#include "net/UTL_FriendshipFetcher.h"
#include "net/UTL_SessionProgress.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class UTL_FriendReceiver;

// The viewer's side of the social network: the login (a client, its auth token and the login
// address), and, once the user has closed the login dialog, the friends and the friendships
// among them, handed to a receiver (the scene controller).
//
// Friends load with friends.get, then users.getInfo for the user and every friend, asked in
// calls of at most UsersPerCall uids. The network allows 5,000 friends; a circle offered with
// more than MaxFriends is cut to its first MaxFriends, so that a broken or hostile server cannot
// make the viewer hold and draw millions of people. A name is cut to UTL_TextBound's bound as it
// arrives, for the same reason; a uid cannot be cut without naming someone else, so a person
// whose uid is longer than MaxUidBytes is left out. What was cut or left out is told to the
// event sink, once per load and answer.
// Friendships are asked for in batches of whole rows of the pair triangle, about 800 pairs each,
// one batch every 500 frames, so that a large circle arrives gradually without blocking the
// window for long. The view counts frames with OnFrame. With fast batches on, the same batches
// are asked back to back, in order and one request at a time, on a thread of their own (see
// UTL_FriendshipFetcher), and OnFrame hands the answered ones to the receiver until BatchBudget
// of the frame is spent: the window goes on drawing however long the server takes, and the
// answered batches that wait are bounded (see UTL_FriendshipFetcher).
//
// GetProgress tells where the login and the queries stand, for the status bar.
//
// Main thread only: every call blocks until the server answers or its time-out passes. While the
// fast batches run, their thread has the client; every operation that uses the client stops
// that thread first (cooperatively: the transfer running is aborted and the thread joined).
class UTL_NetworkSession
{
public:
    // The application's identity and the two endpoints.
    struct Endpoints
    {
        std::string apiKey;
        std::string appSecret;
        std::string serverUrl; // host[:port]/restserver.php, no scheme
        std::string loginPage; // http://host[:port]/login.php
    };

    // The built-in endpoints, or those of a server at `hostAndPort` ("127.0.0.1:8765").
    static Endpoints BuiltIn();
    static Endpoints ForServer(const std::string& hostAndPort);

    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // Receives one line for the event log (no newline), e.g. when a circle was cut.
    using EventSink = std::function<void(const std::string& line)>;

    UTL_NetworkSession(const Endpoints& endpoints, UTL_FriendReceiver* receiver);
    ~UTL_NetworkSession();

    UTL_NetworkSession(const UTL_NetworkSession&) = delete;
    UTL_NetworkSession& operator=(const UTL_NetworkSession&) = delete;

    // Replaces the client with a new one and asks it for an auth token; on success the login
    // address is stored. Returns whether it succeeded.
    bool StartLogin();
    // The login address, starting the login first when there is none. After a failed start the
    // next attempt waits LoginRetryInterval: the shell asks on every frame, and a dead server
    // must not receive a token request per frame.
    std::string GetLoginUrl();

    // The user closed the login dialog: fetch the session and the friends. Returns what
    // LoadFriends returned.
    bool OnLoginClosed();
    // Fetches the session and the friends and hands them to the receiver. On failure, GetFailure
    // says which step failed; the receiver keeps whatever it was handed before.
    bool LoadFriends();
    // One batch of friendship pairs.
    bool QueryFriendships();
    // Counts a frame; runs the next friendship batch when one is due. Returns whether it ran one.
    bool OnFrame();

    UTL_FacebookClient* GetClient() const { return client.get(); }
    bool AreFriendsRequested() const { return friendsRequested; }
    int GetResumeRow() const { return resumeRow; }
    uint32_t GetFrameCounter() const { return frameCounter; }
    bool HasMoreBatches() const { return moreBatches; }
    // Asks for no more friendship batches: the circle they were for is no longer shown.
    void StopBatches();
    // Forgets the login and the circle's progress, so that the next GetLoginUrl starts a new
    // login with a new client.
    void Restart();
    // Batches back to back within BatchBudget of each frame instead of one every 500 frames;
    // turned on while batches are due, they are asked from then on. Turned off while they run,
    // the paced batches go on after the last batch taken.
    void SetFastBatches(bool value);
    bool IsFastBatches() const { return fastBatches; }
    const UTL_SessionProgress& GetProgress() const { return progress; }
    // Why the last LoadFriends failed, e.g. "users.getInfo failed with error 2: Service
    // temporarily unavailable"; empty after a success.
    const std::string& GetFailure() const { return failure; }

    void SetEventSink(EventSink value) { eventSink = std::move(value); }

    // The clock the retry interval is measured with (tests replace it).
    void SetClock(Clock value) { clock = std::move(value); }
    // Time-outs for the clients made from now on (tests use short ones).
    void SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds total);

    static constexpr std::chrono::seconds LoginRetryInterval{3};
    // A batch closes after the row that brings it past this many pairs.
    static constexpr int PairsPerBatch = 800;
    // Frames between batches, and where the counter starts after the friends arrive.
    static constexpr uint32_t FramesBetweenBatches = 500;
    static constexpr uint32_t FirstBatchCounter = 450;
    // The time of a frame the fast batches may take, measured with the session's clock.
    static constexpr std::chrono::milliseconds BatchBudget{15};
    // The most friends taken from one circle, and the most uids asked in one users.getInfo.
    static constexpr size_t MaxFriends = 10000;
    static constexpr size_t UsersPerCall = 1000;
    // The longest answer the friend queries read, about 25 times what the largest real one
    // (10,000 friends' uids, or 1,000 people's records) takes: parsed, an answer costs many
    // times its size, and one of tens of megabytes would cost the viewer gigabytes.
    static constexpr size_t MaxAnswerBytes = size_t(8) << 20;
    // The longest uid taken. The network's uids are numbers of at most 20 digits; each one is
    // kept with its person and repeated in every friendship batch that asks about them.
    static constexpr size_t MaxUidBytes = 256;

private:
    // Records why loading failed and returns false.
    bool Fail(const std::string& why,
              UTL_SessionProgress::Stage stage = UTL_SessionProgress::Stage::FriendsFailed);
    // Hands an answered batch to the receiver and counts it; returns false for a failed one.
    bool Apply(const UTL_FriendshipFetcher::Batch& batch);
    // Starts asking the batches from the resume row on a thread of their own.
    void StartFetcher();
    void StopFetcher();
    // Ends the batches at `stage` with `why`; returns false.
    bool EndBatches(UTL_SessionProgress::Stage stage, const std::string& why);
    void Report(const std::string& line) const;
    static bool IsLongUid(const char* uid);
    void ReportLongUids(const char* method, size_t count) const;

    Endpoints endpoints;
    UTL_FriendReceiver* receiver;
    std::unique_ptr<UTL_FacebookClient> client;
    // Declared after the client, so that it stops before the client goes.
    std::unique_ptr<UTL_FriendshipFetcher> fetcher;
    std::string loginUrl;
    bool friendsRequested = false;
    int resumeRow = 0;
    uint32_t frameCounter = 0;
    bool moreBatches = false;
    bool fastBatches = false;
    std::string failure;
    UTL_SessionProgress progress;
    EventSink eventSink;
    Clock clock = [] { return std::chrono::steady_clock::now(); };
    bool haveFailedStart = false;
    std::chrono::steady_clock::time_point lastFailedStart;
    std::chrono::milliseconds connectTimeout = UTL_FacebookClient::DefaultConnectTimeout;
    std::chrono::milliseconds totalTimeout = UTL_FacebookClient::DefaultTotalTimeout;
};
