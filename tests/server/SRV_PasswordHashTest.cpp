#include "server/SRV_PasswordHash.h"

#include "server/SRV_Random.h"
#include "server/SRV_Sha256.h"

#include <gtest/gtest.h>

namespace
{
std::string HexOf(const std::string& bytes)
{
    return SRV_Hex::Encode(bytes);
}
} // namespace

TEST(SRV_PasswordHashTest, Sha256AndHmacMatchPublishedVectors)
{
    // FIPS 180-2 examples, including the two-block padding case and a long message.
    EXPECT_EQ(HexOf(SRV_Sha256::Digest("")),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(HexOf(SRV_Sha256::Digest("abc")),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(HexOf(SRV_Sha256::Digest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    EXPECT_EQ(HexOf(SRV_Sha256::Digest(std::string(1000000, 'a'))),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // RFC 4231 cases 2 and 6 (a key longer than the block is hashed first).
    EXPECT_EQ(HexOf(SRV_Sha256::Hmac("Jefe", "what do ya want for nothing?")),
              "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    EXPECT_EQ(HexOf(SRV_Sha256::Hmac(std::string(131, '\xaa'),
                                     "Test Using Larger Than Block-Size Key - Hash Key First")),
              "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

TEST(SRV_PasswordHashTest, Pbkdf2MatchesRfc7914)
{
    // 64 bytes span two SHA-256 blocks of output, so the block counter is exercised.
    EXPECT_EQ(HexOf(SRV_PasswordHash::Pbkdf2("passwd", "salt", 1, 64)),
              "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
              "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783");
    EXPECT_EQ(HexOf(SRV_PasswordHash::Pbkdf2("Password", "NaCl", 80000, 64)),
              "4ddcd8f60b98be21830cee5ef22701f9641a4418d04c0414aeff08876b34ab56"
              "a1d425a1225833549adb841b51c9b3176a272bdebba1d078478f62b397f33c8d");
}

TEST(SRV_PasswordHashTest, StoredHashIsSaltedAndVerifiesOnlyItsPassword)
{
    const std::string a = SRV_PasswordHash::Make("halvane", 50);
    const std::string b = SRV_PasswordHash::Make("halvane", 50);
    EXPECT_NE(a, b) << "each hash has its own salt";
    EXPECT_EQ(a.find("halvane"), std::string::npos);
    EXPECT_TRUE(SRV_PasswordHash::Verify("halvane", a));
    EXPECT_TRUE(SRV_PasswordHash::Verify("halvane", b));
    EXPECT_FALSE(SRV_PasswordHash::Verify("Halvane", a));
    EXPECT_FALSE(SRV_PasswordHash::Verify("", a));
}

TEST(SRV_PasswordHashTest, MalformedStoredHashesNeverVerify)
{
    const std::string good = SRV_PasswordHash::Make("pw", 10);
    const std::string salt = good.substr(good.find('$', 14) + 1, 32);
    const std::string rows[] = {
        "",
        "pw",
        "md5$10$" + salt + "$00",
        "pbkdf2-sha256$$" + salt + "$00",
        "pbkdf2-sha256$0$" + salt + "$00",
        "pbkdf2-sha256$-5$" + salt + "$00",
        "pbkdf2-sha256$999999999$" + salt + "$00", // would take minutes
        "pbkdf2-sha256$10$zz$00",
        "pbkdf2-sha256$10$" + salt + "$",
        "pbkdf2-sha256$10$" + salt + "$0",
        "pbkdf2-sha256$10$" + salt + "$" + std::string(1000, 'a'),
    };
    for (const std::string& stored : rows)
    {
        SCOPED_TRACE(stored);
        EXPECT_FALSE(SRV_PasswordHash::Verify("pw", stored));
    }
}
