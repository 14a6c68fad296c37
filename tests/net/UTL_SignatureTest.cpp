#include "net/UTL_Signature.h"

#include "net/UTL_Md5.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

TEST(UTL_SignatureTest, SortsTheWholeStringsByteWiseThenAppendsTheSecret)
{
    // Byte order of whole strings: '1' (0x31) sorts before '=' (0x3d), so "uids1=" comes
    // before "uids="; an order by name alone would put "uids" first.
    const std::string expected = UTL_Md5().DigestString("a=2uids1=7uids=5z=1secret");
    EXPECT_EQ(UTL_SignCall(std::vector<std::string>{"z=1", "uids=5", "a=2", "uids1=7"}, "secret"),
              expected);
    EXPECT_EQ(UTL_SignCall(
                  std::map<std::string, std::string>{
                      {"uids", "5"}, {"uids1", "7"}, {"a", "2"}, {"z", "1"}},
                  "secret"),
              expected);
    EXPECT_NE(UTL_SignCall(std::vector<std::string>{"a=2"}, "secret"),
              UTL_SignCall(std::vector<std::string>{"a=2"}, "other"));
}

TEST(UTL_SignatureTest, NamedParametersLeaveTheSignatureItselfOut)
{
    const std::map<std::string, std::string> bare = {{"method", "m"}, {"v", "1.0"}};
    std::map<std::string, std::string> withSig = bare;
    withSig["sig"] = "0123";
    EXPECT_EQ(UTL_SignCall(withSig, "s"), UTL_SignCall(bare, "s"));
    EXPECT_EQ(UTL_SignCall(bare, "s"), UTL_Md5().DigestString("method=mv=1.0s"));
}
