#include "server/SRV_Database.h"

#include <sqlite3.h>

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace
{
constexpr const char* Schema = R"sql(
CREATE TABLE IF NOT EXISTS applications(
    api_key TEXT PRIMARY KEY,
    secret TEXT NOT NULL,
    name TEXT NOT NULL DEFAULT '');
CREATE TABLE IF NOT EXISTS people(
    uid INTEGER PRIMARY KEY,
    name TEXT NOT NULL,
    first_name TEXT NOT NULL DEFAULT '',
    last_name TEXT NOT NULL DEFAULT '',
    picture INTEGER NOT NULL DEFAULT 1,
    status TEXT NOT NULL DEFAULT '',
    status_time INTEGER NOT NULL DEFAULT 0,
    email TEXT UNIQUE COLLATE NOCASE,
    password_hash TEXT,
    demo INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS friendships(
    uid1 INTEGER NOT NULL,
    uid2 INTEGER NOT NULL,
    PRIMARY KEY(uid1, uid2),
    CHECK(uid1 < uid2)) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS friendships_by_uid2 ON friendships(uid2, uid1);
CREATE TABLE IF NOT EXISTS auth_tokens(
    token TEXT PRIMARY KEY,
    api_key TEXT NOT NULL,
    uid INTEGER NOT NULL DEFAULT 0,
    expires INTEGER NOT NULL,
    shown INTEGER NOT NULL DEFAULT 0);
CREATE TABLE IF NOT EXISTS sessions(
    session_key TEXT PRIMARY KEY,
    api_key TEXT NOT NULL,
    uid INTEGER NOT NULL,
    secret TEXT NOT NULL,
    expires INTEGER NOT NULL,
    last_call_id TEXT NOT NULL DEFAULT '');
)sql";

// Indexes over columns that older databases may lack; made once those columns are there.
constexpr const char* TokenIndexes = R"sql(
CREATE INDEX IF NOT EXISTS auth_tokens_by_expiry ON auth_tokens(expires);
CREATE INDEX IF NOT EXISTS auth_tokens_by_eviction ON auth_tokens(shown, expires);
)sql";

// Cached statements, one per call site.
enum StatementId
{
    AddApplicationSql,
    FindApplicationSql,
    AddPersonSql,
    AddFriendshipSql,
    CountPeopleSql,
    CountFriendshipsSql,
    FindPersonSql,
    PersonExistsSql,
    EmailTakenSql,
    SetLoginSql,
    FindAccountSql,
    FriendsOfSql,
    AreFriendsSql,
    PeopleBetweenSql,
    FriendsUpToSql,
    ListAccountsSql,
    AddTokenSql,
    FindTokenSql,
    AuthorizeTokenSql,
    MarkTokenShownSql,
    DeleteTokenSql,
    PruneExpiredTokensSql,
    CountTokensSql,
    PruneExtraTokensSql,
    AddSessionSql,
    FindSessionSql,
    SetLastCallIdSql,
    PruneSessionsSql,
    StatementCount
};

std::string ColumnText(sqlite3_stmt* statement, int column)
{
    const auto* text = sqlite3_column_text(statement, column);
    return text ? std::string(reinterpret_cast<const char*>(text),
                              size_t(sqlite3_column_bytes(statement, column)))
                : std::string();
}
} // namespace

// One prepared statement, owned by the database's cache.
class SRV_Database::Statement
{
public:
    explicit Statement(sqlite3_stmt* statement) : statement(statement) {}
    ~Statement() { sqlite3_finalize(statement); }
    sqlite3_stmt* const statement;
};

// One use of a cached statement: starts unbound, and is reset when the use ends, so that no read
// stays open between operations. Binding chains on a temporary (`Prepared(...).Bind(...)`).
class SRV_Database::Cursor
{
public:
    explicit Cursor(sqlite3_stmt* statement) : statement(statement)
    {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
    Cursor(Cursor&& other) noexcept : statement(other.statement) { other.statement = nullptr; }
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;
    ~Cursor()
    {
        if (statement)
            sqlite3_reset(statement);
    }

    Cursor&& Bind(int index, int64_t value) &&
    {
        sqlite3_bind_int64(statement, index, value);
        return std::move(*this);
    }
    Cursor&& Bind(int index, const std::string& value) &&
    {
        sqlite3_bind_text(statement, index, value.data(), int(value.size()), SQLITE_TRANSIENT);
        return std::move(*this);
    }
    Cursor&& BindNull(int index) &&
    {
        sqlite3_bind_null(statement, index);
        return std::move(*this);
    }
    // True while a row is available.
    bool Row() { return sqlite3_step(statement) == SQLITE_ROW; }
    // Runs a statement that returns no rows; true when it completed.
    bool Done() { return sqlite3_step(statement) == SQLITE_DONE; }
    int64_t Int(int column) const { return sqlite3_column_int64(statement, column); }
    std::string Text(int column) const { return ColumnText(statement, column); }

private:
    sqlite3_stmt* statement;
};

SRV_Database::SRV_Database() = default;

SRV_Database::~SRV_Database()
{
    statements.clear();
    if (db)
        sqlite3_close(db);
}

bool SRV_Database::Open(const std::string& path, std::string& error)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (db)
    {
        error = "database already open";
        return false;
    }
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
    {
        error = "cannot open database " + path + ": " + (db ? sqlite3_errmsg(db) : "out of memory");
        sqlite3_close(db);
        db = nullptr;
        return false;
    }
    // Another process (a second server, --list-accounts) may hold the file for a moment.
    sqlite3_busy_timeout(db, 5000);
    if (!Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", &error) ||
        !Exec(Schema, &error) || !AddTokenShownColumn(error) || !Exec(TokenIndexes, &error))
    {
        error = "cannot use database " + path + ": " + error;
        statements.clear();
        sqlite3_close(db);
        db = nullptr;
        return false;
    }
    statements.resize(StatementCount);
    return true;
}

bool SRV_Database::AddTokenShownColumn(std::string& error)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db,
                           "SELECT 1 FROM pragma_table_info('auth_tokens') WHERE name = 'shown'",
                           -1, &statement, nullptr) != SQLITE_OK)
    {
        error = sqlite3_errmsg(db);
        return false;
    }
    const bool present = sqlite3_step(statement) == SQLITE_ROW;
    sqlite3_finalize(statement);
    return present ||
           Exec("ALTER TABLE auth_tokens ADD COLUMN shown INTEGER NOT NULL DEFAULT 0", &error);
}

bool SRV_Database::Exec(const char* sql, std::string* error)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    if (error)
        *error = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
}

SRV_Database::Cursor SRV_Database::Prepared(int index, const char* sql)
{
    std::unique_ptr<Statement>& slot = statements[size_t(index)];
    if (!slot)
    {
        sqlite3_stmt* statement = nullptr;
        // The statements are fixed text over the schema created in Open: preparing fails only
        // when the connection is unusable, which is a programming error.
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("SRV_Database: cannot prepare: ") +
                                     sqlite3_errmsg(db));
        slot = std::make_unique<Statement>(statement);
    }
    return Cursor(slot->statement);
}

bool SRV_Database::Transaction(const std::function<bool()>& work, std::string& error)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    if (!Exec("BEGIN IMMEDIATE", &error))
        return false;
    bool ok = false;
    try
    {
        ok = work();
    }
    catch (const std::exception& e)
    {
        error = e.what();
        ok = false;
    }
    if (ok && Exec("COMMIT", &error))
        return true;
    Exec("ROLLBACK");
    if (error.empty())
        error = "rolled back";
    return false;
}

void SRV_Database::Reading(const std::function<void()>& work)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    const bool begun = sqlite3_get_autocommit(db) && Exec("BEGIN");
    try
    {
        work();
    }
    catch (...)
    {
        if (begun)
            Exec("ROLLBACK");
        throw;
    }
    if (begun && !Exec("COMMIT"))
        Exec("ROLLBACK");
}

bool SRV_Database::AddApplication(const std::string& apiKey, const std::string& secret,
                                  const std::string& name)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(AddApplicationSql,
                    "INSERT OR IGNORE INTO applications(api_key, secret, name) VALUES(?, ?, ?)")
        .Bind(1, apiKey)
        .Bind(2, secret)
        .Bind(3, name)
        .Done();
}

bool SRV_Database::FindApplicationSecret(const std::string& apiKey, std::string& secret)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Cursor s = Prepared(FindApplicationSql, "SELECT secret FROM applications WHERE api_key = ?")
                   .Bind(1, apiKey);
    if (!s.Row())
        return false;
    secret = s.Text(0);
    return true;
}

bool SRV_Database::AddPerson(const SRV_Person& person)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Cursor s = Prepared(AddPersonSql,
                        "INSERT INTO people(uid, name, first_name, last_name, picture, status, "
                        "status_time, email, password_hash, demo) "
                        "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON CONFLICT(uid) DO NOTHING")
                   .Bind(1, person.uid)
                   .Bind(2, person.name)
                   .Bind(3, person.firstName)
                   .Bind(4, person.lastName)
                   .Bind(5, int64_t(person.picture))
                   .Bind(6, person.status)
                   .Bind(7, person.statusTime)
                   .Bind(10, int64_t(person.demo ? 1 : 0));
    if (person.email.empty())
        return std::move(s).BindNull(8).BindNull(9).Done();
    return std::move(s).Bind(8, person.email).Bind(9, person.passwordHash).Done();
}

bool SRV_Database::AddFriendship(int64_t uid1, int64_t uid2)
{
    if (uid1 == uid2)
        return true;
    if (uid1 > uid2)
        std::swap(uid1, uid2);
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(AddFriendshipSql, "INSERT OR IGNORE INTO friendships(uid1, uid2) VALUES(?, ?)")
        .Bind(1, uid1)
        .Bind(2, uid2)
        .Done();
}

int64_t SRV_Database::CountPeople()
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Cursor s = Prepared(CountPeopleSql, "SELECT COUNT(*) FROM people");
    return s.Row() ? s.Int(0) : 0;
}

int64_t SRV_Database::CountFriendships()
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Cursor s = Prepared(CountFriendshipsSql, "SELECT COUNT(*) FROM friendships");
    return s.Row() ? s.Int(0) : 0;
}

bool SRV_Database::FindPerson(int64_t uid, SRV_Person& person)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Cursor s = Prepared(FindPersonSql,
                        "SELECT uid, name, first_name, last_name, picture, status, status_time, "
                        "COALESCE(email, ''), COALESCE(password_hash, ''), demo "
                        "FROM people WHERE uid = ?")
                   .Bind(1, uid);
    if (!s.Row())
        return false;
    person.uid = s.Int(0);
    person.name = s.Text(1);
    person.firstName = s.Text(2);
    person.lastName = s.Text(3);
    const int64_t picture = s.Int(4);
    person.picture = picture == 0   ? SRV_PictureState::None
                     : picture == 2 ? SRV_PictureState::Hidden
                                    : SRV_PictureState::Shown;
    person.status = s.Text(5);
    person.statusTime = s.Int(6);
    person.email = s.Text(7);
    person.passwordHash = s.Text(8);
    person.demo = s.Int(9) != 0;
    return true;
}

bool SRV_Database::PersonExists(int64_t uid)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(PersonExistsSql, "SELECT 1 FROM people WHERE uid = ?").Bind(1, uid).Row();
}

bool SRV_Database::EmailTaken(const std::string& email)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(EmailTakenSql, "SELECT 1 FROM people WHERE email = ?").Bind(1, email).Row();
}

bool SRV_Database::SetLoginIfNone(int64_t uid, const std::string& email,
                                  const std::string& passwordHash, bool demo)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(SetLoginSql, "UPDATE people SET email = ?, password_hash = ?, demo = ? "
                                 "WHERE uid = ? AND email IS NULL")
        .Bind(1, email)
        .Bind(2, passwordHash)
        .Bind(3, int64_t(demo ? 1 : 0))
        .Bind(4, uid)
        .Done();
}

bool SRV_Database::FindAccountByEmail(const std::string& email, SRV_Account& account)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Cursor s =
        Prepared(FindAccountSql, "SELECT uid, email, name, demo, COALESCE(password_hash, '') "
                                 "FROM people WHERE email = ?")
            .Bind(1, email);
    if (!s.Row())
        return false;
    account.uid = s.Int(0);
    account.email = s.Text(1);
    account.name = s.Text(2);
    account.demo = s.Int(3) != 0;
    account.passwordHash = s.Text(4);
    return true;
}

std::vector<int64_t> SRV_Database::FriendsOf(int64_t uid)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Cursor s = Prepared(FriendsOfSql, "SELECT uid2 AS friend FROM friendships WHERE uid1 = ?1 "
                                      "UNION ALL SELECT uid1 FROM friendships WHERE uid2 = ?1 "
                                      "ORDER BY friend")
                   .Bind(1, uid);
    std::vector<int64_t> friends;
    while (s.Row())
        friends.push_back(s.Int(0));
    return friends;
}

bool SRV_Database::AreFriends(int64_t uid1, int64_t uid2)
{
    if (uid1 > uid2)
        std::swap(uid1, uid2);
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(AreFriendsSql, "SELECT 1 FROM friendships WHERE uid1 = ? AND uid2 = ?")
        .Bind(1, uid1)
        .Bind(2, uid2)
        .Row();
}

std::vector<bool> SRV_Database::FindPeople(const std::vector<int64_t>& uids)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    std::vector<bool> found(uids.size(), false);
    if (uids.empty())
        return found;
    // A walk along the people between the first uid and the last costs a small fraction of a
    // look-up per person passed; it goes on while it passes fewer than a few people per uid
    // asked, and the uids beyond where it stopped are looked up one by one.
    size_t next = 0;
    {
        Cursor walk = Prepared(PeopleBetweenSql, "SELECT uid FROM people WHERE uid BETWEEN ? AND ? "
                                                 "ORDER BY uid")
                          .Bind(1, uids.front())
                          .Bind(2, uids.back());
        size_t budget = 8 * uids.size() + 64;
        bool more = true;
        while (next < uids.size() && budget > 0 && (more = walk.Row()))
        {
            --budget;
            const int64_t uid = walk.Int(0);
            while (next < uids.size() && uids[next] < uid)
                ++next; // nobody
            if (next < uids.size() && uids[next] == uid)
                found[next++] = true;
        }
        if (!more)
            return found; // the walk passed the last uid: the rest are nobody
    }
    for (; next < uids.size(); ++next)
        found[next] = PersonExists(uids[next]);
    return found;
}

bool SRV_Database::FriendsUpTo(int64_t uid, size_t limit, std::vector<int64_t>& friends)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    friends.clear();
    Cursor s = Prepared(FriendsUpToSql, "SELECT uid2 FROM friendships WHERE uid1 = ?1 "
                                        "UNION ALL SELECT uid1 FROM friendships WHERE uid2 = ?1 "
                                        "LIMIT ?2")
                   .Bind(1, uid)
                   .Bind(2, int64_t(limit) + 1);
    while (s.Row())
    {
        if (friends.size() == limit)
            return false;
        friends.push_back(s.Int(0));
    }
    std::sort(friends.begin(), friends.end());
    return true;
}

std::vector<SRV_PairState> SRV_Database::PairStates(const std::vector<int64_t>& first,
                                                    const std::vector<int64_t>& second)
{
    // A uid's friend list is read when it has at least this many pairs, and only while it is
    // no longer than this many friends per pair: never much dearer than looking the pairs up.
    constexpr size_t PairsForList = 16;
    constexpr size_t FriendsPerPair = 32;

    std::vector<SRV_PairState> states(first.size(), SRV_PairState::Unknown);
    if (first.size() != second.size())
        return states;
    Reading(
        [&]
        {
            std::vector<int64_t> uids(first);
            uids.insert(uids.end(), second.begin(), second.end());
            std::sort(uids.begin(), uids.end());
            uids.erase(std::unique(uids.begin(), uids.end()), uids.end());
            const std::vector<bool> people = FindPeople(uids);
            auto isPerson = [&](int64_t uid) {
                return people[size_t(std::lower_bound(uids.begin(), uids.end(), uid) -
                                     uids.begin())];
            };

            struct Row
            {
                size_t pairs = 0;
                bool read = false;
                bool listed = false;
                std::vector<int64_t> friends;
            };
            std::unordered_map<int64_t, Row> rows;
            for (int64_t uid : first)
                ++rows[uid].pairs;
            // A row's pairs come one after another: its look-ups are made once for the run.
            Row* row = nullptr;
            bool rowIsPerson = false;
            for (size_t i = 0; i < first.size(); ++i)
            {
                if (i == 0 || first[i] != first[i - 1])
                {
                    row = &rows[first[i]];
                    rowIsPerson = isPerson(first[i]);
                }
                if (!rowIsPerson || !isPerson(second[i]))
                    continue;
                if (!row->read && row->pairs >= PairsForList)
                    row->listed = FriendsUpTo(first[i], row->pairs * FriendsPerPair, row->friends);
                row->read = true;
                const bool friends = row->listed ? std::binary_search(row->friends.begin(),
                                                                      row->friends.end(), second[i])
                                                 : AreFriends(first[i], second[i]);
                states[i] = friends ? SRV_PairState::Friends : SRV_PairState::Strangers;
            }
        });
    return states;
}

std::vector<SRV_Account> SRV_Database::ListAccounts()
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Cursor s = Prepared(ListAccountsSql,
                        "SELECT p.uid, p.email, p.name, p.demo, COALESCE(p.password_hash, ''), "
                        "(SELECT COUNT(*) FROM friendships f WHERE f.uid1 = p.uid) + "
                        "(SELECT COUNT(*) FROM friendships f WHERE f.uid2 = p.uid) AS friends "
                        "FROM people p WHERE p.email IS NOT NULL ORDER BY friends DESC, p.uid");
    std::vector<SRV_Account> accounts;
    while (s.Row())
    {
        SRV_Account account;
        account.uid = s.Int(0);
        account.email = s.Text(1);
        account.name = s.Text(2);
        account.demo = s.Int(3) != 0;
        account.passwordHash = s.Text(4);
        account.friendCount = s.Int(5);
        accounts.push_back(std::move(account));
    }
    return accounts;
}

bool SRV_Database::AddToken(const std::string& token, const std::string& apiKey, int64_t expires)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(AddTokenSql,
                    "INSERT INTO auth_tokens(token, api_key, uid, expires) VALUES(?, ?, 0, ?)")
        .Bind(1, token)
        .Bind(2, apiKey)
        .Bind(3, expires)
        .Done();
}

bool SRV_Database::FindToken(const std::string& token, SRV_Token& found)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Cursor s = Prepared(FindTokenSql,
                        "SELECT api_key, uid, expires, shown FROM auth_tokens WHERE token = ?")
                   .Bind(1, token);
    if (!s.Row())
        return false;
    found.apiKey = s.Text(0);
    found.uid = s.Int(1);
    found.expires = s.Int(2);
    found.shown = s.Int(3);
    return true;
}

bool SRV_Database::AuthorizeToken(const std::string& token, int64_t uid)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(AuthorizeTokenSql, "UPDATE auth_tokens SET uid = ? WHERE token = ?")
        .Bind(1, uid)
        .Bind(2, token)
        .Done();
}

bool SRV_Database::MarkTokenShown(const std::string& token, int64_t now)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(MarkTokenShownSql, "UPDATE auth_tokens SET shown = ? WHERE token = ?")
        .Bind(1, now)
        .Bind(2, token)
        .Done();
}

bool SRV_Database::DeleteToken(const std::string& token)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(DeleteTokenSql, "DELETE FROM auth_tokens WHERE token = ?")
        .Bind(1, token)
        .Done();
}

void SRV_Database::PruneTokens(int64_t now, int64_t keep)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    // The expired and the extra tokens are found through their indexes, not by sorting the
    // table, so that a call stays cheap however many tokens wait.
    Prepared(PruneExpiredTokensSql, "DELETE FROM auth_tokens WHERE expires <= ?")
        .Bind(1, now)
        .Done();
    Cursor count = Prepared(CountTokensSql, "SELECT COUNT(*) FROM auth_tokens");
    const int64_t extra = count.Row() ? count.Int(0) - std::max<int64_t>(0, keep) : 0;
    if (extra <= 0)
        return;
    Prepared(PruneExtraTokensSql,
             "DELETE FROM auth_tokens WHERE token IN (SELECT token FROM auth_tokens "
             "ORDER BY shown, expires LIMIT ?)")
        .Bind(1, extra)
        .Done();
}

bool SRV_Database::AddSession(const SRV_Session& session)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(
               AddSessionSql,
               "INSERT INTO sessions(session_key, api_key, uid, secret, expires, last_call_id) "
               "VALUES(?, ?, ?, ?, ?, ?)")
        .Bind(1, session.sessionKey)
        .Bind(2, session.apiKey)
        .Bind(3, session.uid)
        .Bind(4, session.secret)
        .Bind(5, session.expires)
        .Bind(6, session.lastCallId)
        .Done();
}

bool SRV_Database::FindSession(const std::string& sessionKey, SRV_Session& session)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Cursor s = Prepared(FindSessionSql, "SELECT api_key, uid, secret, expires, last_call_id "
                                        "FROM sessions WHERE session_key = ?")
                   .Bind(1, sessionKey);
    if (!s.Row())
        return false;
    session.sessionKey = sessionKey;
    session.apiKey = s.Text(0);
    session.uid = s.Int(1);
    session.secret = s.Text(2);
    session.expires = s.Int(3);
    session.lastCallId = s.Text(4);
    return true;
}

bool SRV_Database::SetLastCallId(const std::string& sessionKey, const std::string& callId)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    return Prepared(SetLastCallIdSql, "UPDATE sessions SET last_call_id = ? WHERE session_key = ?")
        .Bind(1, callId)
        .Bind(2, sessionKey)
        .Done();
}

void SRV_Database::PruneSessions(int64_t now)
{
    std::lock_guard<std::recursive_mutex> lock(mutex);
    Prepared(PruneSessionsSql, "DELETE FROM sessions WHERE expires <= ?").Bind(1, now).Done();
}
