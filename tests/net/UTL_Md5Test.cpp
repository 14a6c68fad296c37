#include "net/UTL_Md5.h"

#include <gtest/gtest.h>

#include <string>

TEST(UTL_Md5Test, MatchesTheTestSuiteOfRfc1321)
{
    const struct
    {
        const char* text;
        const char* digest;
    } rows[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    UTL_Md5 md5;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(md5.DigestString(row.text), row.digest);
    }
}

TEST(UTL_Md5Test, PadsCorrectlyAroundTheBlockBoundaries)
{
    // The length field needs 8 bytes after the 0x80 marker: at 55 bytes it still fits the last
    // block, from 56 on a second block is needed. Reference digests from another implementation.
    const struct
    {
        size_t length;
        const char* digest;
    } rows[] = {
        {55, "8d24280288a696559fd8d5aa1b6d8c6e"},  {56, "ef2c72b7254c92459e498eddd4ace573"},
        {63, "c4c8c6d513f4e1604eb18508a1769364"},  {64, "a2fcb39a253b9b785b1f97518fa37683"},
        {65, "e49fe82d0bb12967a196c85de313e446"},  {119, "1640deea49ebb258ec6ede18d4b2d2d7"},
        {120, "05f879f7b542a7ebf0605adff67d4423"},
    };
    UTL_Md5 md5;
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.length);
        std::string bytes(row.length, '\0');
        for (size_t i = 0; i < row.length; ++i)
            bytes[i] = char((i * 7) % 256);
        EXPECT_EQ(md5.DigestString(bytes), row.digest);
    }
    // Embedded NUL bytes are data, not the end of the text.
    EXPECT_EQ(md5.DigestString(std::string(3, '\0')), "693e9af84d3dfcc71e640e005bdc5e2e");
}
