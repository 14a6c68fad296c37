#include "util/UTL_File.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
// ReadAllText through a fresh file of `bytes`; returns the text and its reported size.
std::pair<std::string, size_t> ReadAll(const TempDir& dir, const std::string& bytes)
{
    UTL_File file;
    EXPECT_NE(file.Open(dir.Write("f.bin", bytes), UTL_File::ReadMode), nullptr);
    size_t size = 0;
    std::unique_ptr<char[]> text(file.ReadAllText(size));
    EXPECT_EQ(text[size - 1], '\0') << "the text is NUL-terminated";
    return {std::string(text.get(), size - 1), size};
}
} // namespace

TEST(UTL_FileTest, ReadAllTextReadsEverySizeWholeAroundTheBlockBoundary)
{
    // The buffer grows by whole blocks; sizes at and around the block size (and several blocks)
    // are where an off-by-one would drop or duplicate bytes.
    TempDir dir;
    const size_t block = UTL_File::ReadBlockSize;
    for (size_t length : {size_t(0), size_t(1), block - 1, block, block + 1, 3 * block + 7})
    {
        SCOPED_TRACE(length);
        std::string bytes(length, '\0');
        for (size_t i = 0; i < length; ++i)
            bytes[i] = static_cast<char>('a' + i % 26);
        auto [text, size] = ReadAll(dir, bytes);
        EXPECT_EQ(size, length + 1);
        EXPECT_EQ(text, bytes);
    }
}

TEST(UTL_FileTest, ReadAllTextKeepsEmbeddedNulBytesAndCountsThem)
{
    TempDir dir;
    auto [text, size] = ReadAll(dir, std::string("ab\0cd", 5));
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(text, std::string("ab\0cd", 5));
}

TEST(UTL_FileTest, ClosedOrMissingFileReadsAsEmptyAndIgnoresWrites)
{
    TempDir dir;
    UTL_File file;
    EXPECT_EQ(file.Open(dir.File("missing.txt"), UTL_File::ReadMode), nullptr);
    EXPECT_FALSE(file.IsOpen());

    char buffer[4];
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    file.Write("x", 1);
    file.Seek(10);
    size_t size = 0;
    std::unique_ptr<char[]> text(file.ReadAllText(size));
    EXPECT_EQ(size, 1u);
    EXPECT_STREQ(text.get(), "");
}

TEST(UTL_FileTest, OnlyTheThreeKnownModesOpenAFile)
{
    TempDir dir;
    const std::string path = dir.Write("f.txt", "abc");
    for (int mode : {-1, 3, 99})
    {
        UTL_File file;
        EXPECT_EQ(file.Open(path, mode), nullptr) << "mode " << mode;
        EXPECT_FALSE(file.IsOpen());
    }
}

TEST(UTL_FileTest, WriteThenReadBackWithSeek)
{
    TempDir dir;
    const std::string path = dir.File("out.bin");
    {
        UTL_File file;
        ASSERT_NE(file.Open(path, UTL_File::WriteMode), nullptr);
        file.Write("0123456789", 10);
    } // the destructor closes and flushes

    UTL_File file;
    ASSERT_NE(file.Open(path, UTL_File::ReadWriteMode), nullptr);
    file.Seek(4);
    file.Write("xy", 2);
    file.Seek(3);
    char buffer[4] = {};
    EXPECT_EQ(file.Read(buffer, 3), 3u);
    EXPECT_EQ(std::string(buffer, 3), "3xy"); // "0123xy6789" from offset 3
    file.Close();
    EXPECT_FALSE(file.IsOpen());
}
