#include "server/SRV_NetworkMaker.h"

#include "graph/UTL_GraphReader.h"
#include "graph/UTL_GraphWriter.h"
#include "graph/UTL_SocialGraph.h"
#include "server/SRV_Database.h"
#include "server/SRV_Names.h"
#include "server/SRV_PasswordHash.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <unordered_set>
#include <vector>

namespace
{
constexpr const char* Statuses[] = {
    "is back from the mountains.",
    "is looking for a good book.",
    "can't believe it's Monday again.",
    "made bread. It is mostly edible.",
    "is at the beach!",
    "is learning the guitar, slowly.",
    "has a new job!",
    "is moving house this weekend.",
    "wonders where the summer went.",
    "is running a half marathon on Sunday.",
    "just saw the best concert ever.",
    "is cooking for twelve tonight.",
    "is on the night train to Vienna.",
    "found the cat. She was in the laundry basket.",
    "is painting the kitchen yellow.",
    "is happy.",
};

// A stable hash of a uid for per-person choices that must not change between imports.
uint64_t Hash(int64_t uid)
{
    uint64_t x = uint64_t(uid) + 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

// Most people show a picture; a few have none and a few hide theirs, so that every way a
// profile picture can be missing occurs.
SRV_PictureState PictureFor(uint64_t draw)
{
    const unsigned percent = unsigned(draw % 100);
    if (percent < 6)
        return SRV_PictureState::None;
    if (percent < 10)
        return SRV_PictureState::Hidden;
    return SRV_PictureState::Shown;
}

int64_t Now()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

SRV_Person MakePerson(int64_t uid, const std::string& first, const std::string& last, uint64_t draw)
{
    SRV_Person person;
    person.uid = uid;
    person.firstName = first;
    person.lastName = last;
    person.name = last.empty() ? first : first + " " + last;
    person.picture = PictureFor(draw);
    // About a third have said something in the last month.
    if ((draw >> 8) % 3 == 0)
    {
        person.status = Statuses[(draw >> 16) % std::size(Statuses)];
        person.statusTime = Now() - int64_t((draw >> 24) % (30 * 24 * 3600));
    }
    return person;
}

// A stable hash of a graph file's name and a node id of it.
uint64_t Hash(const std::string& stem, const std::string& id)
{
    uint64_t h = 0xcbf29ce484222325ull; // 64-bit FNV-1a
    for (const std::string* part : {&stem, &id})
    {
        for (unsigned char c : *part)
            h = (h ^ c) * 0x100000001b3ull;
        h = (h ^ 0xffu) * 0x100000001b3ull; // ends each part, so "ab"+"c" differs from "a"+"bc"
    }
    return Hash(int64_t(h));
}

// A name from a file as first and last name: the first word, and the rest.
void SplitName(const std::string& name, std::string& first, std::string& last)
{
    const size_t gap = name.find(' ');
    first = name.substr(0, gap);
    last = gap == std::string::npos ? std::string() : name.substr(name.find_first_not_of(' ', gap));
}
} // namespace

SRV_NetworkMaker::SRV_NetworkMaker(SRV_Database& database, const SRV_Names& names,
                                   const std::string& password, int passwordIterations)
    : database(database), names(names), password(password), passwordIterations(passwordIterations)
{
}

std::string SRV_NetworkMaker::UniqueEmail(const std::string& first, const std::string& last)
{
    auto plain = [](const std::string& name)
    {
        std::string out;
        for (unsigned char c : name)
            if (std::isalnum(c))
                out += char(std::tolower(c));
        return out.empty() ? std::string("friend") : out;
    };
    const std::string stem = last.empty() ? plain(first) : plain(first) + "." + plain(last);
    std::string email = stem + "@example.com";
    for (int suffix = 2; database.EmailTaken(email); ++suffix)
        email = stem + std::to_string(suffix) + "@example.com";
    return email;
}

bool SRV_NetworkMaker::AddAccount(int64_t uid, const std::string& first, const std::string& last,
                                  std::string& email)
{
    SRV_Person existing;
    if (database.FindPerson(uid, existing) && !existing.email.empty())
    {
        email = existing.email;
        return true;
    }
    email = UniqueEmail(first, last);
    const std::string hash = SRV_PasswordHash::Make(password, passwordIterations);
    SRV_Person person = MakePerson(uid, first, last, Hash(uid));
    person.picture = SRV_PictureState::Shown; // the user always sees themselves
    person.email = email;
    person.passwordHash = hash;
    person.demo = true;
    return database.AddPerson(person) && database.SetLoginIfNone(uid, email, hash, true);
}

bool SRV_NetworkMaker::MakeSample(int friendCount, uint64_t seed, Result& result,
                                  std::string& error)
{
    if (friendCount < 0 || friendCount > MaxSampleFriends)
    {
        error = "the sample size must be between 0 and " + std::to_string(MaxSampleFriends);
        return false;
    }
    std::mt19937_64 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);

    // Distinct nine-digit uids, the first for the account.
    std::vector<int64_t> uids;
    std::unordered_set<int64_t> taken;
    std::uniform_int_distribution<int64_t> uidRange(100'000'000, 999'999'999);
    while (int(uids.size()) < friendCount + 1)
    {
        const int64_t uid = uidRange(random);
        if (taken.insert(uid).second && !database.PersonExists(uid))
            uids.push_back(uid);
    }

    // Communities of uneven size: a handful for a small circle, a few dozen for a large one.
    const int communityCount =
        std::clamp(int(std::lround(std::sqrt(double(friendCount)) / 2.5)), 1, 40);
    std::vector<double> weights(static_cast<size_t>(communityCount));
    std::lognormal_distribution<double> spread(0.0, 0.6);
    for (double& w : weights)
        w = spread(random);
    std::discrete_distribution<int> pickCommunity(weights.begin(), weights.end());
    std::vector<std::vector<int64_t>> communities(static_cast<size_t>(communityCount));
    for (int i = 1; i <= friendCount; ++i)
        communities[size_t(pickCommunity(random))].push_back(uids[size_t(i)]);

    auto work = [&]() -> bool
    {
        const std::string first = names.First(random()), last = names.Last(random());
        if (!AddAccount(uids[0], first, last, result.email))
            return false;
        for (int i = 1; i <= friendCount; ++i)
        {
            const int64_t uid = uids[size_t(i)];
            if (!database.AddPerson(
                    MakePerson(uid, names.First(random()), names.Last(random()), random())) ||
                !database.AddFriendship(uids[0], uid))
                return false;
        }

        int64_t friendships = 0;
        // Inside a community everyone has about 36 friends (or half the community, if smaller).
        for (const auto& members : communities)
        {
            if (members.size() < 2)
                continue;
            const double p = std::min(0.5, 36.0 / double(members.size() - 1));
            for (size_t a = 0; a < members.size(); ++a)
                for (size_t b = a + 1; b < members.size(); ++b)
                    if (unit(random) < p)
                    {
                        if (!database.AddFriendship(members[a], members[b]))
                            return false;
                        ++friendships;
                    }
        }
        // Between communities each person adds two friendships on average.
        if (communityCount > 1)
            for (size_t c = 0; c < communities.size(); ++c)
                for (int64_t uid : communities[c])
                {
                    std::poisson_distribution<int> count(2.0);
                    for (int k = count(random); k > 0; --k)
                    {
                        const size_t other = size_t(pickCommunity(random));
                        if (other == c || communities[other].empty())
                            continue;
                        const auto& members = communities[other];
                        std::uniform_int_distribution<size_t> member(0, members.size() - 1);
                        const int64_t friendUid = members[member(random)];
                        if (!database.AreFriends(uid, friendUid))
                        {
                            if (!database.AddFriendship(uid, friendUid))
                                return false;
                            ++friendships;
                        }
                    }
                }
        result.accountUid = uids[0];
        result.friends = friendCount;
        result.friendships = friendships;
        return true;
    };
    return database.Transaction(work, error);
}

bool SRV_NetworkMaker::ImportEgo(const std::string& path, Result& result, std::string& error)
{
    return Import(path, true, std::string(), result, error);
}

bool SRV_NetworkMaker::ImportGraph(const std::string& path, const std::string& self, Result& result,
                                   std::string& error)
{
    return Import(path, UTL_GraphReader::FormatOf(path) == UTL_GraphReader::Format::Snap, self,
                  result, error);
}

bool SRV_NetworkMaker::Import(const std::string& path, bool snap, const std::string& self,
                              Result& result, std::string& error)
{
    UTL_GraphReader reader;
    if (snap)
        reader.SetFormat(UTL_GraphReader::Format::Snap);
    reader.SetSelf(self);
    reader.SetCircles(false); // the network has no circles to keep them in
    UTL_SocialGraph graph;
    if (!reader.Read(path, graph, error))
        return false;
    if (!graph.HasUser())
        graph.SetUser(graph.BestConnected());
    if (!graph.HasUser())
    {
        error = path + ": holds nobody";
        return false;
    }

    // SNAP node ids are the data set's own, shared by its files; other files' ids are theirs.
    std::vector<int64_t> uids(graph.NodeCount());
    if (snap)
        for (size_t i = 0; i < uids.size(); ++i)
            uids[i] = EgoUidBase + std::stoll(graph.Node(i).id);
    else
    {
        const std::string stem = std::filesystem::path(path).stem().string();
        std::unordered_set<int64_t> taken;
        for (size_t i = 0; i < uids.size(); ++i)
        {
            int64_t offset = int64_t(Hash(stem, graph.Node(i).id) % uint64_t(GraphUidRange));
            while (!taken.insert(GraphUidBase + offset).second)
                offset = (offset + 1) % GraphUidRange;
            uids[i] = GraphUidBase + offset;
        }
    }
    // The file's name for a person, else one from the name lists.
    auto namesOf = [&](size_t node, std::string& first, std::string& last)
    {
        const uint64_t hash = Hash(uids[node]);
        if (graph.Node(node).name.empty())
        {
            first = names.First(hash);
            last = names.Last(hash >> 1);
        }
        else // as text the REST answers' XML can hold
            SplitName(UTL_GraphWriter::Clean(graph.Node(node).name), first, last);
    };

    auto work = [&]() -> bool
    {
        const int64_t userUid = uids[graph.User()];
        std::string first, last;
        namesOf(graph.User(), first, last);
        if (!AddAccount(userUid, first, last, result.email))
        {
            error = path + ": cannot store the account";
            return false;
        }
        int64_t friends = 0;
        for (size_t node : graph.Friends())
        {
            const int64_t uid = uids[node];
            namesOf(node, first, last);
            if (!database.AddPerson(MakePerson(uid, first, last, Hash(uid))) ||
                !database.AddFriendship(userUid, uid))
            {
                error = path + ": cannot store a person";
                return false;
            }
            ++friends;
        }
        int64_t friendships = 0;
        for (const auto& [a, b] : graph.Friendships())
            if (!database.AreFriends(uids[a], uids[b]))
            {
                if (!database.AddFriendship(uids[a], uids[b]))
                {
                    error = path + ": cannot store a friendship";
                    return false;
                }
                ++friendships;
            }
        result.accountUid = userUid;
        result.friends = friends;
        result.friendships = friendships;
        return true;
    };
    return database.Transaction(work, error);
}
