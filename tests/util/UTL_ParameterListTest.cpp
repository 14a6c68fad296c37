#include "util/UTL_ParameterList.h"
#include "util/UTL_StringExtractor.h"
#include "util/UTL_StringTokenizer.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace
{
std::vector<std::string> Lines(const char* text)
{
    std::vector<std::string> lines;
    UTL_StringExtractor extractor(text);
    for (std::string line = extractor.NextLine(); !line.empty(); line = extractor.NextLine())
        lines.push_back(line);
    return lines;
}

std::vector<std::string> Tokens(const std::string& line)
{
    std::vector<std::string> tokens;
    UTL_StringTokenizer tokenizer(line);
    for (std::string token = tokenizer.NextToken(); !token.empty(); token = tokenizer.NextToken())
        tokens.push_back(token);
    return tokens;
}

std::string StringOf(const UTL_ParameterList& list, const std::string& key)
{
    const UTL_ParameterItem* item = list.FindItem(key);
    if (!item || item->GetType() != UTL_ParameterItem::StringType)
        return "<not a string>";
    return static_cast<const UTL_ParameterString*>(item)->GetValue();
}
} // namespace

TEST(UTL_StringExtractorTest, AcceptsEveryLineEndAndSkipsBlankLines)
{
    EXPECT_EQ(Lines("a\nb\r\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(Lines("\r\n\n\na\n\n\r\n"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(Lines(" \t\nx"), (std::vector<std::string>{" \t", "x"})) << "blank-only lines stay";
    EXPECT_TRUE(Lines("").empty());
    EXPECT_TRUE(Lines(nullptr).empty());
}

TEST(UTL_StringTokenizerTest, SplitsOnBlanksOnlyAndKeepsTheRest)
{
    EXPECT_EQ(Tokens("  a\tb \"c d\" [1]"),
              (std::vector<std::string>{"a", "b", "\"c", "d\"", "[1]"}));
    EXPECT_EQ(Tokens("\xC3\xA9t\xC3\xA9 x"), (std::vector<std::string>{"\xC3\xA9t\xC3\xA9", "x"}))
        << "bytes above 127 are ordinary characters";

    UTL_StringTokenizer tokenizer("key  value with  blanks ");
    EXPECT_EQ(tokenizer.NextToken(), "key");
    EXPECT_EQ(tokenizer.Rest(), "  value with  blanks ");
    EXPECT_EQ(tokenizer.Rest(), "  value with  blanks ") << "Rest does not move";
    EXPECT_EQ(tokenizer.NextToken(), "value");
}

TEST(UTL_ParameterListTest, ClassifiesValuesByTheirFirstCharacter)
{
    UTL_ParameterList list;
    list.ParseText("Radius 1.5 // the ball\n"
                   "Depth -2.25e1xyz\n"
                   "Lone -\n"
                   "Color [ 1 0.5 0 ]\n"
                   "Dot .5\n"
                   "Plus +3\n"
                   "Name \"Ada Lovelace\"\n"
                   "Word hello world // not a comment inside a value\n");
    ASSERT_EQ(list.GetChildCount(), 8u);
    EXPECT_FLOAT_EQ(list.GetNumber("Radius"), 1.5f);
    EXPECT_FLOAT_EQ(list.GetNumber("Depth"), -22.5f) << "a leading float, the rest ignored";
    ASSERT_NE(list.FindNumber("Lone"), nullptr);
    EXPECT_FLOAT_EQ(list.GetNumber("Lone"), 0.0f) << "a lone '-' is the number 0";
    ASSERT_NE(list.GetNumberVector("Color"), nullptr);
    EXPECT_EQ(*list.GetNumberVector("Color"), (std::vector<float>{1.0f, 0.5f, 0.0f}));
    EXPECT_EQ(StringOf(list, "Dot"), ".5") << "'.' does not start a number";
    EXPECT_EQ(StringOf(list, "Plus"), "+3") << "'+' does not start a number";
    EXPECT_EQ(StringOf(list, "Name"), "Ada Lovelace");
    EXPECT_EQ(StringOf(list, "Word"), "hello world // not a comment inside a value");
}

TEST(UTL_ParameterListTest, KeyAloneOnItsLineTakesTheNextLinesFirstValue)
{
    UTL_ParameterList list;
    list.ParseText("Radius // set below\n\n   2 3\nNext 4\n");
    EXPECT_FLOAT_EQ(list.GetNumber("Radius"), 2.0f);
    EXPECT_FLOAT_EQ(list.GetNumber("Next"), 4.0f);
    EXPECT_EQ(list.GetChildCount(), 2u);
}

TEST(UTL_ParameterListTest, StringQuotesAreStrippedOnlyAtTheVeryEnds)
{
    UTL_ParameterList list;
    list.ParseText("A \"two words\"\n"
                   "B \"two words\"  \n"
                   "C \"\n"
                   "D \"\"\n"
                   "E say \"hi\"\n");
    EXPECT_EQ(StringOf(list, "A"), "two words");
    EXPECT_EQ(StringOf(list, "B"), "two words\"  ") << "trailing blanks keep the closing quote";
    EXPECT_EQ(StringOf(list, "C"), "");
    EXPECT_EQ(StringOf(list, "D"), "");
    EXPECT_EQ(StringOf(list, "E"), "say \"hi");
}

TEST(UTL_ParameterListTest, NumberVectorsNeedBracketsAsSeparateWords)
{
    UTL_ParameterList list;
    list.ParseText("Glued [ 1 2] 3\n"
                   "Commas [ 1, 2, 3 ]\n"
                   "Open [ 4 5\n"
                   "After [ 1 ] 9\n"
                   "Comment [ 7 8] // note 6\n");
    EXPECT_EQ(*list.GetNumberVector("Glued"), (std::vector<float>{1, 2, 3}))
        << "a glued ']' does not end the vector";
    EXPECT_EQ(*list.GetNumberVector("Commas"), (std::vector<float>{1, 2, 3}));
    EXPECT_EQ(*list.GetNumberVector("Open"), (std::vector<float>{4, 5})) << "the line end ends it";
    EXPECT_EQ(*list.GetNumberVector("After"), (std::vector<float>{1}));
    EXPECT_EQ(*list.GetNumberVector("Comment"), (std::vector<float>{7, 8}))
        << "a word that is not a number ends the vector";
}

TEST(UTL_ParameterListTest, NestedBlocksAndTheirEnds)
{
    UTL_ParameterList list;
    list.ParseText("Before 1\n"
                   "Outer { ignored on the opening line\n"
                   "  Inner {\n"
                   "    Deep 3\n"
                   "  }\n"
                   "  Pending\n"
                   "} trailing words ignored\n"
                   "After 2\n"
                   "}\n"
                   "Lost 4\n");
    EXPECT_FLOAT_EQ(list.GetNumber("Before"), 1.0f);
    EXPECT_FLOAT_EQ(list.GetNumber("After"), 2.0f);
    EXPECT_EQ(list.FindItem("Lost"), nullptr) << "a top-level '}' ends the file";
    const UTL_ParameterList* outer = list.FindList("Outer");
    ASSERT_NE(outer, nullptr);
    EXPECT_EQ(outer->GetName(), "Outer");
    ASSERT_EQ(outer->GetChildCount(), 1u) << "a key pending at '}' is dropped";
    const UTL_ParameterList* inner = outer->FindList("Inner");
    ASSERT_NE(inner, nullptr);
    EXPECT_FLOAT_EQ(inner->GetNumber("Deep"), 3.0f);
    EXPECT_EQ(list.FindItem("Deep"), nullptr) << "look-ups do not descend";
}

TEST(UTL_ParameterListTest, AnUnclosedBlockRunsToTheEnd)
{
    UTL_ParameterList list;
    list.ParseText("Block {\nA 1\nB 2");
    const UTL_ParameterList* block = list.FindList("Block");
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->GetChildCount(), 2u);
}

TEST(UTL_ParameterListTest, LookUpsConsiderOnlyTheFirstItemOfAKey)
{
    UTL_ParameterList list;
    list.ParseText("Size big\nSize 5\nCount 1\nCount 2\n");
    EXPECT_EQ(list.FindNumber("Size"), nullptr) << "the first Size is a string";
    EXPECT_FLOAT_EQ(list.GetNumber("Size"), 0.0f);
    EXPECT_FLOAT_EQ(list.GetNumber("Count"), 1.0f);
    EXPECT_EQ(list.GetNumberVector("Count"), nullptr);
    EXPECT_EQ(list.FindList("Count"), nullptr);
    EXPECT_EQ(list.FindItem("count"), nullptr) << "keys are case-sensitive";
    EXPECT_EQ(list.FindItem("Coun"), nullptr) << "keys compare whole";
}

TEST(UTL_ParameterListTest, CrLfAndLfFilesParseAlike)
{
    const std::string lf = "A 1\n\nB [ 1 2 3 ]\nC {\nD \"x y\"\n}\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);

    UTL_ParameterList a, b;
    a.ParseText(lf.c_str());
    b.ParseText(crlf.c_str());
    ASSERT_EQ(a.GetChildCount(), b.GetChildCount());
    EXPECT_FLOAT_EQ(b.GetNumber("A"), 1.0f);
    EXPECT_EQ(*b.GetNumberVector("B"), *a.GetNumberVector("B"));
    EXPECT_EQ(StringOf(*b.FindList("C"), "D"), "x y") << "no stray CR at the end of a value";
}

TEST(UTL_ParameterListTest, NumbersIgnoreTheProcessLocale)
{
    // A desktop session with a decimal comma must read "1.5" as one and a half.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    const bool changed = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    UTL_ParameterList list;
    list.ParseText("Radius 1.5\nColor [ 0.25 0.5 ]\n");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_FLOAT_EQ(list.GetNumber("Radius"), 1.5f);
    EXPECT_EQ(*list.GetNumberVector("Color"), (std::vector<float>{0.25f, 0.5f}));
    if (!changed)
        GTEST_LOG_(INFO) << "de_DE.UTF-8 is not installed; checked in the C locale only";
}

TEST(UTL_ParameterListTest, HostileTextNeverReadsPastItsEndNorHangs)
{
    // Garbage bytes, a lone '}', embedded NULs, a 1 MB line and a million unclosed blocks.
    std::string garbage;
    for (int i = 0; i < 20000; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 255 + 1);
    std::string nested;
    for (int i = 0; i < 1000000; ++i)
        nested += "b {\n";
    const std::string longLine = "Key " + std::string(1 << 20, 'x');
    const std::string longVector = "V [ " + std::string(1 << 20, '1') + " ]";

    for (const std::string& text : {garbage, std::string("}"), std::string("{\n}\n}\n"), nested,
                                    longLine, longVector, std::string("a 1\0b 2", 7)})
    {
        UTL_ParameterList list;
        list.ParseText(text.c_str());
    }

    UTL_ParameterList wide;
    wide.ParseText(longLine.c_str());
    EXPECT_EQ(StringOf(wide, "Key").size(), size_t(1) << 20);

    UTL_ParameterList stopsAtNul;
    stopsAtNul.ParseText(std::string("a 1\0b 2", 7).c_str());
    EXPECT_EQ(stopsAtNul.GetChildCount(), 1u) << "an embedded NUL ends the text";
}

TEST(UTL_ParameterListTest, LoadFileReadsWholeFilesAndToleratesMissingOnes)
{
    TempDir dir;
    std::string text;
    for (int i = 0; i < 20000; ++i) // well past one read block
        text += "Key" + std::to_string(i) + " " + std::to_string(i) + "\n";
    UTL_ParameterList list;
    list.LoadFile(dir.Write("big.txt", text));
    EXPECT_EQ(list.GetChildCount(), 20000u);
    EXPECT_FLOAT_EQ(list.GetNumber("Key19999"), 19999.0f);

    UTL_ParameterList missing;
    missing.LoadFile(dir.File("absent.txt"));
    EXPECT_EQ(missing.GetChildCount(), 0u);
}
