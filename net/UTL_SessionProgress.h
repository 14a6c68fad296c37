#pragma once

#include <cstdint>
#include <string>

// What the network session knows so far, for the status bar: where the login and the friend
// queries stand, how many friends arrived, and how many of the pairs among them have been asked
// and found to be friends. Plain counts, so that the shell and its tests read them without a
// server or GL.
struct UTL_SessionProgress
{
    enum class Stage
    {
        LoggingIn,          // waiting for the user to log in and close the login dialog
        ServerUnreachable,  // no auth token: the server did not answer (reason: the server)
        LoginRefused,       // no session for the token: refused, or closed before logging in
        FriendsFailed,      // friends.get or users.getInfo failed (reason: why)
        LoadingFriendships, // the friends are in, friendship batches are still to come
        AllKnown,           // every pair has been asked
        BatchesFailed,      // a batch failed and, as batches are never retried, ended them
        SessionLost,        // the server no longer knows the session
        Stopped,            // the circle was replaced by one from a file
    };

    Stage stage = Stage::LoggingIn;
    int friends = 0;
    uint64_t pairs = 0;      // all pairs of friends, n (n - 1) / 2
    uint64_t pairsAsked = 0; // pairs whose answer has arrived
    uint64_t found = 0;      // of those, the friendships
    std::string reason;

    bool operator==(const UTL_SessionProgress& other) const;
    bool operator!=(const UTL_SessionProgress& other) const { return !(*this == other); }

    // Whether the stage is one the user has to act on (log in again, start the server).
    bool IsFailure() const;
    // How far the friendships are, 0…100, while they load; -1 at every other stage.
    int Percent() const;
    // One line in plain words, e.g. "747 friends · friendships 12,400 of 30,025 pairs asked ·
    // 1,206 found"; empty once the circle came from a file.
    std::string Describe() const;

    // "30,025": digits grouped by three with commas.
    static std::string Thousands(uint64_t value);
};
