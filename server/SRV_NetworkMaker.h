#pragma once

#include <cstdint>
#include <string>

class SRV_Database;
class SRV_Names;

// Fills the database with people to show: a generated sample network, or a real anonymised ego
// network from a SNAP "N.edges" file. Each run is one transaction, so a failure half-way (a
// malformed line, a full disk) leaves the database as it was. People are named from the name
// lists; accounts get the demo password, stored hashed. Runs on one thread, before serving.
class SRV_NetworkMaker
{
public:
    struct Result
    {
        int64_t accountUid = 0;
        std::string email;
        int64_t friends = 0;
        int64_t friendships = 0; // among the friends, not counting the account's own
    };

    // Uids of imported ego networks: this base plus the node id of the file, so that the same
    // node imported from two files is one person.
    static constexpr int64_t EgoUidBase = 1'000'000'000;
    static constexpr int64_t MaxNodeId = 999'999'999;
    // Bounds of a generated network.
    static constexpr int MaxSampleFriends = 100'000;

    SRV_NetworkMaker(SRV_Database& database, const SRV_Names& names, const std::string& password,
                     int passwordIterations);

    // An account with `friendCount` friends in several communities: dense friendships inside a
    // community, sparse ones between them. The same seed makes the same network.
    bool MakeSample(int friendCount, uint64_t seed, Result& result, std::string& error);

    // Ego N of the file `path` (named "N.edges", one "a b" friendship a line) becomes an account,
    // every node a friend of it, every line a friendship. Lines may end in CRLF; blank lines and
    // lines starting with '#' are skipped.
    bool ImportEgo(const std::string& path, Result& result, std::string& error);

private:
    // The account of a generated or imported network: a login made from its name, unique.
    bool AddAccount(int64_t uid, const std::string& first, const std::string& last,
                    std::string& email);
    std::string UniqueEmail(const std::string& first, const std::string& last);

    SRV_Database& database;
    const SRV_Names& names;
    std::string password;
    int passwordIterations;
};
