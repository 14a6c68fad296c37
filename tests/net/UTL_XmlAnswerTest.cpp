#include "net/UTL_XmlAnswer.h"

#include <gtest/gtest.h>

#include <string>

#include <tinyxml.h>

namespace
{
std::string Nested(int depth, const std::string& inner = "x")
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += "<a>";
    text += inner;
    for (int i = 0; i < depth; ++i)
        text += "</a>";
    return text;
}
} // namespace

TEST(UTL_XmlAnswerTest, ReadsAnAnswerAndItsChildTexts)
{
    TiXmlDocument doc;
    ASSERT_TRUE(
        UTL_XmlAnswer::Parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                             "<auth_getSession_response xmlns=\"http://api.facebook.com/1.0/\">"
                             "<session_key>k-1</session_key><uid>1</uid><secret/>"
                             "</auth_getSession_response>",
                             doc));
    const TiXmlElement* root = doc.FirstChildElement("auth_getSession_response");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(UTL_XmlAnswer::ChildText(root, "session_key"), "k-1");
    EXPECT_EQ(UTL_XmlAnswer::ChildText(root, "secret"), "") << "an empty element reads empty";
    EXPECT_EQ(UTL_XmlAnswer::ChildText(root, "missing"), "");
    EXPECT_EQ(UTL_XmlAnswer::ChildText(nullptr, "uid"), "");
}

TEST(UTL_XmlAnswerTest, RefusesNestingDeeperThanAnyAnswerBeforeParsing)
{
    // TinyXML recurses per level: a hostile server could exhaust the stack with deep nesting.
    TiXmlDocument shallow, deep, huge, brackets;
    EXPECT_TRUE(UTL_XmlAnswer::Parse(Nested(UTL_XmlAnswer::MaxDepth), shallow));
    EXPECT_FALSE(UTL_XmlAnswer::Parse(Nested(UTL_XmlAnswer::MaxDepth + 1), deep));
    EXPECT_FALSE(UTL_XmlAnswer::Parse(Nested(500'000), huge));
    // Not nesting at all, however it looks: only has to come back.
    UTL_XmlAnswer::Parse(std::string(2'000'000, '<'), brackets);
}

TEST(UTL_XmlAnswerTest, DepthCountSeesThroughCommentsAttributesAndEmptyElements)
{
    // Markup that only looks like end tags must not lower the count and let deep nesting pass.
    const int limit = UTL_XmlAnswer::MaxDepth;
    const struct
    {
        const char* name;
        std::string text;
        bool accepted;
    } rows[] = {
        {"end tags inside a comment", "<r><!-- </a></a></a> -->" + Nested(limit - 1) + "</r>",
         true},
        {"fake end tags in a comment do not buy depth",
         "<r><!-- " + std::string(100, ' ') + "</a></a> -->" + Nested(limit) + "</r>", false},
        {"'/>' inside an attribute value", "<r><b v=\"/>/>/>\">" + Nested(limit - 2) + "</b></r>",
         true},
        {"'/>' in attribute values does not buy depth",
         "<r><b v='/>/>/>/>'>" + Nested(limit - 1) + "</b></r>", false},
        {"many empty elements side by side", "<r>" + std::string(10000, ' ') + "<e/><e/><e/></r>",
         true},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        TiXmlDocument doc;
        EXPECT_EQ(UTL_XmlAnswer::Parse(row.text, doc), row.accepted);
    }
}

TEST(UTL_XmlAnswerTest, AServersLongErrorIsCutBetweenCharacters)
{
    // "error 1: " and 300 two-byte letters: cut after the 191st letter, not inside one.
    std::string letters;
    for (int i = 0; i < 300; ++i)
        letters += "\xC3\xA9";
    TiXmlDocument doc;
    ASSERT_TRUE(UTL_XmlAnswer::Parse("<error_response><error_code>1</error_code><error_msg>" +
                                         letters + "</error_msg></error_response>",
                                     doc));
    EXPECT_EQ(UTL_XmlAnswer::Unexpected("friends.get", doc),
              "friends.get failed with error 1: " + letters.substr(0, 2 * 191) + "\u2026");
}

TEST(UTL_XmlAnswerTest, EmptyOrMalformedTextIsNotAnAnswer)
{
    TiXmlDocument empty, broken;
    EXPECT_FALSE(UTL_XmlAnswer::Parse("", empty));
    EXPECT_FALSE(UTL_XmlAnswer::Parse("<a><b></a>", broken));
}
