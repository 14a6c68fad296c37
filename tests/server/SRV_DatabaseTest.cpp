#include "server/SRV_Database.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

// A database file written before tokens recorded when their login page was shown opens, keeps
// its tokens and takes the new column.
TEST(SRV_DatabaseTest, OpensAFileWhoseTokensLackTheShownColumn)
{
    TempDir dir;
    const std::string path = dir.File("old.db");
    sqlite3* old = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &old), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(old,
                     "CREATE TABLE auth_tokens(token TEXT PRIMARY KEY, api_key TEXT NOT NULL, "
                     "uid INTEGER NOT NULL DEFAULT 0, expires INTEGER NOT NULL);"
                     "INSERT INTO auth_tokens VALUES('feed', 'key', 0, 2000);",
                     nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(old);

    for (int opening = 0; opening < 2; ++opening)
    {
        SCOPED_TRACE(opening == 0 ? "first opening" : "second opening");
        SRV_Database database;
        std::string error;
        ASSERT_TRUE(database.Open(path, error)) << error;
        SRV_Token token;
        ASSERT_TRUE(database.FindToken("feed", token));
        EXPECT_EQ(token.apiKey, "key");
        EXPECT_EQ(token.expires, 2000);
        EXPECT_TRUE(database.MarkTokenShown("feed", 1000 + opening));
        ASSERT_TRUE(database.FindToken("feed", token));
        EXPECT_EQ(token.shown, 1000 + opening);
        EXPECT_TRUE(database.AddToken("new" + std::to_string(opening), "key", 3000));
    }
    SRV_Database database;
    std::string error;
    ASSERT_TRUE(database.Open(path, error)) << error;
    database.PruneTokens(1500, 1);
    SRV_Token token;
    EXPECT_TRUE(database.FindToken("feed", token)) << "the one shown stays";
    EXPECT_FALSE(database.FindToken("new0", token));
    EXPECT_FALSE(database.FindToken("new1", token));
    database.PruneTokens(2000, 1);
    EXPECT_FALSE(database.FindToken("feed", token)) << "until it expires";
}
