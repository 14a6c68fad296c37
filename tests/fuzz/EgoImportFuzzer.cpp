#include "server/SRV_Database.h"
#include "server/SRV_Names.h"
#include "server/SRV_NetworkMaker.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

// The importer of SNAP ego networks (`--import-ego`): each input is the file 107.edges,
// imported into a fresh database in memory. Beyond the sanitizers, an import either stores
// nothing at all (and says why) or stores exactly what it reports: the account, its friends,
// and the friendships among them.
namespace
{
constexpr int64_t Ego = 107;

std::filesystem::path& Folder()
{
    static std::filesystem::path folder;
    return folder;
}

void RemoveFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(Folder(), ignored);
}

const std::filesystem::path& EdgesFile()
{
    static const std::filesystem::path file = []
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "halvane-fuzz-ego-XXXXXX");
        if (!mkdtemp(pattern.data()))
            std::abort();
        Folder() = pattern;
        std::atexit(RemoveFolder);
        return Folder() / (std::to_string(Ego) + ".edges");
    }();
    return file;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::filesystem::path& path = EdgesFile();
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), std::streamsize(size));
        if (!file)
            std::abort();
    }

    SRV_Database database;
    std::string error;
    if (!database.Open(":memory:", error))
        std::abort();
    // One hashing round: the account's password is not what is fuzzed.
    SRV_NetworkMaker maker(database, SRV_Names::Builtin(), "halvane", 1);
    SRV_NetworkMaker::Result result;
    if (!maker.ImportEgo(path.string(), result, error))
    {
        if (error.empty() || database.CountPeople() != 0 || database.CountFriendships() != 0)
            std::abort(); // a failed import is rolled back whole and explained
        return 0;
    }

    const int64_t egoUid = SRV_NetworkMaker::EgoUidBase + Ego;
    SRV_Account account;
    if (result.accountUid != egoUid ||
        database.FriendsOf(egoUid).size() != size_t(result.friends) ||
        database.CountPeople() != result.friends + 1 ||
        database.CountFriendships() != result.friends + result.friendships ||
        !database.FindAccountByEmail(result.email, account) || account.uid != egoUid ||
        !account.demo)
        std::abort();
    return 0;
}
