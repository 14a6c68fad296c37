#pragma once

#include <cstdint>
#include <string>

class SRV_Database;
class SRV_Names;

// Fills the database with people to show: a generated sample network, a real anonymised ego
// network from a SNAP "N.edges" file, or the circle of any graph file the graph library reads.
// Each run is one transaction, so a failure half-way (a malformed line, a full disk) leaves the
// database as it was. People the file does not name are named from the name lists; accounts get
// the demo password, stored hashed. Runs on one thread, before serving.
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
    // Uids of people from other graph files, whose ids are names of that file alone: this base
    // plus a hash of the file's name (without folder and extension) and the node's id below
    // GraphUidRange, so that importing a file again finds the same people.
    static constexpr int64_t GraphUidBase = 1'000'000'000'000'000;
    static constexpr int64_t GraphUidRange = 100'000'000'000'000;
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

    // The graph file `path` in any format the graph library reads (a SNAP "N.edges" file as
    // ImportEgo does): its user becomes an account, every other node a friend of it, the file's
    // friendships friendships. The user is the node `self` when given, else the one the file
    // names (the SNAP ego, a saved graph's own), else the best-connected node. Names come from
    // the file where it has them.
    bool ImportGraph(const std::string& path, const std::string& self, Result& result,
                     std::string& error);

private:
    bool Import(const std::string& path, bool snap, const std::string& self, Result& result,
                std::string& error);
    // The account of a generated or imported network: a login made from its name, unique.
    bool AddAccount(int64_t uid, const std::string& first, const std::string& last,
                    std::string& email);
    std::string UniqueEmail(const std::string& first, const std::string& last);

    SRV_Database& database;
    const SRV_Names& names;
    std::string password;
    int passwordIterations;
};
