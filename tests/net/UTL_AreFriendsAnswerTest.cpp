#include "net/UTL_AreFriendsAnswer.h"

#include "net/UTL_XmlAnswer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <tinyxml.h>

namespace
{
using Friends = UTL_AreFriendsAnswer::Friends;

const char Head[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
const char Open[] =
    "<friends_areFriends_response xmlns=\"http://api.facebook.com/1.0/\" "
    "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
    "xsi:schemaLocation=\"http://api.facebook.com/1.0/ http://api.facebook.com/1.0/facebook.xsd\" "
    "list=\"true\">";
const char Close[] = "</friends_areFriends_response>\n";

std::string Info(const std::string& children)
{
    return "<friend_info>" + children + "</friend_info>";
}

// The pairs that are friends as the TinyXML walk of the answer finds them.
Friends ReadWithTinyXml(const std::string& answer)
{
    Friends friends;
    TiXmlDocument doc;
    const TiXmlElement* root = UTL_XmlAnswer::Parse(answer, doc)
                                   ? doc.FirstChildElement("friends_areFriends_response")
                                   : nullptr;
    for (const TiXmlElement* info = root ? root->FirstChildElement("friend_info") : nullptr; info;
         info = info->NextSiblingElement())
    {
        const char* verdict = UTL_XmlAnswer::ChildTextOrNull(info, "are_friends");
        if (verdict && std::strcmp(verdict, "1") == 0)
            friends.emplace_back(UTL_XmlAnswer::ChildText(info, "uid1"),
                                 UTL_XmlAnswer::ChildText(info, "uid2"));
    }
    return friends;
}
} // namespace

// The answer as the server writes it, and the plain variants of it, read as TinyXML reads them.
TEST(UTL_AreFriendsAnswerTest, PlainAnswersReadAsTinyXmlReadsThem)
{
    const struct
    {
        const char* name;
        std::string text;
        Friends friends;
    } rows[] = {
        {"as the server writes it",
         std::string(Head) + Open + "\n  " +
             Info("\n    <uid1>10</uid1>\n    <uid2>20</uid2>\n    <are_friends>1</are_friends>\n "
                  " ") +
             "\n  " + Info("<uid1>10</uid1><uid2>30</uid2><are_friends>0</are_friends>") + "\n  " +
             Info("<uid1>10</uid1><uid2>99</uid2><are_friends xsi:nil=\"true\"/>") + "\n" + Close,
         {{"10", "20"}}},
        {"without declaration or whitespace, children in any order, empty ones",
         "<friends_areFriends_response>" +
             Info("<are_friends>1</are_friends><uid2>7</uid2><uid1/>") +
             Info("<uid2>8</uid2><uid1>3</uid1><are_friends>1</are_friends>") +
             Info("<uid1>4</uid1><uid2>5</uid2><are_friends>01</are_friends>") +
             Info("<uid1>4</uid1><uid2>6</uid2><are_friends></are_friends>") +
             "</friends_areFriends_response>",
         {{"", "7"}, {"3", "8"}}},
        {"no pairs", std::string(Head) + "<friends_areFriends_response list='true'/>", {}},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        Friends friends;
        ASSERT_TRUE(UTL_AreFriendsAnswer::ReadPlain(row.text, friends));
        EXPECT_EQ(friends, row.friends);
        EXPECT_EQ(friends, ReadWithTinyXml(row.text));
    }
}

// Everything past the plain form is left to TinyXML, which may read it otherwise (a text with
// whitespace around it, an entity) or not at all; nothing is added meanwhile.
TEST(UTL_AreFriendsAnswerTest, AnythingElseIsLeftToTinyXml)
{
    const std::string friends12 = Info("<uid1>1</uid1><uid2>2</uid2><are_friends>1</are_friends>");
    const std::string root = "<friends_areFriends_response>";
    const std::string end = "</friends_areFriends_response>";
    const struct
    {
        const char* name;
        std::string text;
    } rows[] = {
        {"an error answer", std::string(Head) + "<error_response><error_code>102</error_code>"
                                                "</error_response>"},
        {"whitespace around a text",
         root + Info("<uid1>1</uid1><uid2>2</uid2><are_friends> 1 </are_friends>") + end},
        {"an entity",
         root + Info("<uid1>&#49;</uid1><uid2>2</uid2><are_friends>1</are_friends>") + end},
        {"a comment", root + friends12 + "<!-- more -->" + friends12 + end},
        {"a CDATA section",
         root + Info("<uid1><![CDATA[1]]></uid1><uid2>2</uid2><are_friends>1</are_friends>") + end},
        {"another element", root + friends12 + "<note/>" + end},
        {"a child missing", root + Info("<uid1>1</uid1><are_friends>1</are_friends>") + end},
        {"a child twice",
         root + Info("<uid1>1</uid1><uid1>3</uid1><uid2>2</uid2><are_friends>1</are_friends>") +
             end},
        {"a repeated attribute", "<friends_areFriends_response a='1' a='2'>" + friends12 + end},
        {"bytes past ASCII",
         root + Info("<uid1>\xc3\xa9</uid1><uid2>2</uid2><are_friends>1</are_friends>") + end},
        {"a zero byte", root + friends12 + std::string(1, '\0') + friends12 + end},
        {"cut short", root + friends12 + "<friend_info><uid1>3</uid1>"},
        {"something after the root", root + friends12 + end + "<extra/>"},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        Friends friends = {{"kept", "as it was"}};
        EXPECT_FALSE(UTL_AreFriendsAnswer::ReadPlain(row.text, friends));
        EXPECT_EQ(friends, (Friends{{"kept", "as it was"}}));
    }
    // Why whitespace in a text is not plain: TinyXML trims it, and the pair is friends.
    EXPECT_EQ(ReadWithTinyXml(rows[1].text), (Friends{{"1", "2"}}));
}
