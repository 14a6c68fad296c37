#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// How a person's profile picture shows in users.getInfo: an address, an empty field, or a field
// marked nil (hidden by the person's privacy settings).
enum class SRV_PictureState
{
    None = 0,
    Shown = 1,
    Hidden = 2,
};

// What friends.areFriends says of a pair: unknown when either of the two is nobody.
enum class SRV_PairState : uint8_t
{
    Unknown,
    Strangers,
    Friends,
};

struct SRV_Person
{
    int64_t uid = 0;
    std::string name;
    std::string firstName;
    std::string lastName;
    SRV_PictureState picture = SRV_PictureState::Shown;
    std::string status;     // empty: no status
    int64_t statusTime = 0; // Unix seconds
    // Login of an account; people without one cannot log in.
    std::string email;
    std::string passwordHash;
    bool demo = false; // generated or imported: listed on the login page
};

struct SRV_Account
{
    int64_t uid = 0;
    std::string email;
    std::string name;
    int64_t friendCount = 0;
    bool demo = false;
    std::string passwordHash;
};

struct SRV_Token
{
    std::string apiKey;
    int64_t uid = 0; // 0 until a person has logged in with the token
    int64_t expires = 0;
    int64_t shown = 0; // Unix seconds its login page was last shown or logged in on; 0: never
};

struct SRV_Session
{
    std::string sessionKey;
    std::string apiKey;
    int64_t uid = 0;
    std::string secret;
    int64_t expires = 0;
    std::string lastCallId; // empty before the first call of the session
};

// The stand-in network's storage: people, friendships, registered applications, auth tokens and
// sessions, in one SQLite file. Every operation is atomic and may be called from any request
// thread: one connection, serialised by a (recursive) lock so that work inside `Transaction`
// may call the other operations. Friendships are undirected and stored once, smaller uid first.
class SRV_Database
{
public:
    SRV_Database();
    ~SRV_Database();

    SRV_Database(const SRV_Database&) = delete;
    SRV_Database& operator=(const SRV_Database&) = delete;

    // Opens (creating if needed) the database at `path`; ":memory:" gives a private one.
    bool Open(const std::string& path, std::string& error);

    // Runs `work` in one transaction: committed when it returns true, rolled back when it returns
    // false or throws. Other threads wait meanwhile.
    bool Transaction(const std::function<bool()>& work, std::string& error);

    // Applications.
    bool AddApplication(const std::string& apiKey, const std::string& secret,
                        const std::string& name);
    bool FindApplicationSecret(const std::string& apiKey, std::string& secret);

    // People and friendships. AddPerson leaves an existing person with the same uid as it is and
    // reports success; AddFriendship ignores a friendship that exists and a person befriending
    // themselves.
    bool AddPerson(const SRV_Person& person);
    bool AddFriendship(int64_t uid1, int64_t uid2);
    int64_t CountPeople();
    int64_t CountFriendships();
    bool FindPerson(int64_t uid, SRV_Person& person);
    bool PersonExists(int64_t uid);
    bool EmailTaken(const std::string& email);
    // Gives the person `uid` a login unless they already have one.
    bool SetLoginIfNone(int64_t uid, const std::string& email, const std::string& passwordHash,
                        bool demo);
    // The person whose login is `email` (compared without regard to case).
    bool FindAccountByEmail(const std::string& email, SRV_Account& account);
    // The friends of `uid` in ascending uid order.
    std::vector<int64_t> FriendsOf(int64_t uid);
    bool AreFriends(int64_t uid1, int64_t uid2);
    // The state of each pair (first[i], second[i]), in one read transaction. The pairs of a
    // uid that comes up often in `first` (a row of the viewer's pair triangle) are answered from
    // its friend list, read once; people are found in one walk along the table where they lie
    // close together. Both lists must be of equal length.
    std::vector<SRV_PairState> PairStates(const std::vector<int64_t>& first,
                                          const std::vector<int64_t>& second);
    // Every person with a login, most friends first (then by uid).
    std::vector<SRV_Account> ListAccounts();

    // Auth tokens.
    bool AddToken(const std::string& token, const std::string& apiKey, int64_t expires);
    bool FindToken(const std::string& token, SRV_Token& found);
    bool AuthorizeToken(const std::string& token, int64_t uid);
    // Notes that the token's login page is open at `now`.
    bool MarkTokenShown(const std::string& token, int64_t now);
    bool DeleteToken(const std::string& token);
    // Deletes tokens expired at `now`, then, while more than `keep` are left, those whose login
    // page nobody opened, oldest first, and only then the ones opened longest ago.
    void PruneTokens(int64_t now, int64_t keep);

    // Sessions.
    bool AddSession(const SRV_Session& session);
    bool FindSession(const std::string& sessionKey, SRV_Session& session);
    bool SetLastCallId(const std::string& sessionKey, const std::string& callId);
    void PruneSessions(int64_t now);

    // Runs `work` under the lock in one read transaction, so that a batch of lookups opens the
    // file for reading once rather than once per statement (within a transaction, just runs it).
    void Reading(const std::function<void()>& work);

    // Runs `work` while holding the lock, for a read-modify-write that must not interleave with
    // another request's (a session's call_id check).
    template <class Work> auto Locked(Work&& work)
    {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        return work();
    }

private:
    class Statement;
    class Cursor;

    bool Exec(const char* sql, std::string* error = nullptr);
    // Databases made before tokens recorded their login page lack the column.
    bool AddTokenShownColumn(std::string& error);
    Cursor Prepared(int index, const char* sql);
    // Marks which of `uids` (ascending, distinct) are people.
    std::vector<bool> FindPeople(const std::vector<int64_t>& uids);
    // The friends of `uid`, ascending, when there are at most `limit`; false when more.
    bool FriendsUpTo(int64_t uid, size_t limit, std::vector<int64_t>& friends);

    std::recursive_mutex mutex;
    sqlite3* db = nullptr;
    std::vector<std::unique_ptr<Statement>> statements; // cached by call site
};
