#include "server/SRV_RestService.h"

#include "RestTestSupport.h"
#include "server/SRV_Database.h"
#include "server/SRV_PasswordHash.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

using namespace RestTestSupport;

namespace
{
const char Site[] = "http://pics.test:8765";

// A small network: Ann (1, an account) is friends with Bob (2), Cy (3, no picture) and Di (4,
// hidden picture); Bob and Cy are friends; Ed (5) knows nobody.
class SRV_RestServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(database.Open(":memory:", error)) << error;
        database.AddApplication(ApiKey, AppSecret, "Halvane");
        AddPerson(1, "Ann", "Archer", SRV_PictureState::Shown, "ann@example.com");
        AddPerson(2, "Bob", "Baker", SRV_PictureState::Shown);
        AddPerson(3, "Cy", "Cole", SRV_PictureState::None);
        AddPerson(4, "Di", "Dunn", SRV_PictureState::Hidden);
        AddPerson(5, "Ed", "Eve & <Co>", SRV_PictureState::Shown);
        for (auto [a, b] : {std::pair{1, 2}, {1, 3}, {1, 4}, {3, 2}})
            database.AddFriendship(a, b);
        service.SetClock([this] { return now; });
    }

    void AddPerson(int64_t uid, const std::string& first, const std::string& last,
                   SRV_PictureState picture, const std::string& email = "")
    {
        SRV_Person person;
        person.uid = uid;
        person.firstName = first;
        person.lastName = last;
        person.name = first + " " + last;
        person.picture = picture;
        if (uid == 2)
        {
            person.status = "is baking.";
            person.statusTime = 1200000000;
        }
        if (!email.empty())
        {
            person.email = email;
            person.passwordHash = SRV_PasswordHash::Make("secret", 5);
        }
        ASSERT_TRUE(database.AddPerson(person));
    }

    std::string Call(const Params& params) { return service.Handle(params, Site); }

    std::string NewToken()
    {
        TiXmlDocument doc;
        doc.Parse(Call(Signed("facebook.auth.createToken", {}, AppSecret)).c_str());
        const TiXmlElement* root = doc.FirstChildElement("auth_createToken_response");
        return root && root->GetText() ? root->GetText() : "";
    }

    // A token, logged in as Ann, exchanged for a session; fills key and secret.
    void OpenSession()
    {
        const std::string token = NewToken();
        SRV_Account account;
        ASSERT_EQ(service.Login(ApiKey, token, "ann@example.com", "secret", account),
                  SRV_RestService::LoginResult::LoggedIn);
        const std::string answer =
            Call(Signed("facebook.auth.getSession", {{"auth_token", token}}, AppSecret));
        ASSERT_EQ(ErrorCode(answer), 0) << answer;
        sessionKey = Texts(answer, "auth_getSession_response", "session_key").at(0);
        sessionSecret = Texts(answer, "auth_getSession_response", "secret").at(0);
        EXPECT_EQ(Texts(answer, "auth_getSession_response", "uid").at(0), "1");
        EXPECT_EQ(Texts(answer, "auth_getSession_response", "expires").at(0),
                  std::to_string(now + 86400));
    }

    // A call in the session with the next call_id.
    std::string SessionCall(const std::string& method, Params params = {})
    {
        return Call(
            Signed(method, std::move(params), sessionSecret, sessionKey, std::to_string(++callId)));
    }

    SRV_Database database;
    SRV_RestService service{database, SRV_RestService::Settings()};
    int64_t now = 1'700'000'000;
    std::string sessionKey, sessionSecret;
    int callId = 0;
};
} // namespace

TEST_F(SRV_RestServiceTest, TokenLoginSessionAndTheFriendQueries)
{
    OpenSession();
    EXPECT_EQ(Texts(SessionCall("facebook.friends.get"), "friends_get_response", "uid"),
              (std::vector<std::string>{"2", "3", "4"}));

    const std::string pairs =
        SessionCall("facebook.friends.areFriends", {{"uids1", "2,2,3,1"}, {"uids2", "3,4,4,5"}});
    EXPECT_EQ(Texts(pairs, "friends_areFriends_response", "friend_info").size(), 4u);
    TiXmlDocument doc;
    doc.Parse(pairs.c_str());
    std::vector<std::string> verdicts;
    for (const TiXmlElement* info = doc.RootElement()->FirstChildElement("friend_info"); info;
         info = info->NextSiblingElement())
    {
        const TiXmlElement* are = info->FirstChildElement("are_friends");
        verdicts.push_back(std::string(info->FirstChildElement("uid1")->GetText()) + "-" +
                           info->FirstChildElement("uid2")->GetText() + ":" +
                           (are->GetText() ? are->GetText() : "?"));
    }
    EXPECT_EQ(verdicts, (std::vector<std::string>{"2-3:1", "2-4:0", "3-4:0", "1-5:0"}));
}

TEST_F(SRV_RestServiceTest, AnswersCarryTheProtocolsRootsAndNamespaces)
{
    const std::string token = Call(Signed("facebook.auth.createToken", {}, AppSecret));
    EXPECT_EQ(token.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<auth_createToken_response "
                          "xmlns=\"http://api.facebook.com/1.0/\"",
                          0),
              0u)
        << token;
    EXPECT_EQ(token.find("list=\"true\""), std::string::npos);
    OpenSession();
    for (const char* method : {"facebook.friends.get", "facebook.friends.areFriends"})
    {
        const std::string answer = SessionCall(method, {{"uids1", "1"}, {"uids2", "2"}});
        EXPECT_NE(answer.find("list=\"true\""), std::string::npos) << answer;
        EXPECT_NE(answer.find("xsi:schemaLocation="), std::string::npos);
    }
}

TEST_F(SRV_RestServiceTest, RefusedCallsGetTheirErrorCodes)
{
    OpenSession();
    Params wrongSig = Signed("friends.get", {}, sessionSecret, sessionKey, "100");
    wrongSig["sig"][0] = wrongSig["sig"][0] == '0' ? '1' : '0';
    Params noSig = Signed("friends.get", {}, sessionSecret, sessionKey, "101");
    noSig.erase("sig");
    Params badKey = Signed("auth.createToken", {{"api_key", "0123"}}, AppSecret);
    Params noMethod = Signed("x", {}, AppSecret);
    noMethod.erase("method");

    const struct
    {
        const char* name;
        Params params;
        int code;
    } rows[] = {
        {"unknown method", Signed("facebook.friends.poke", {}, AppSecret), 3},
        {"no method at all", noMethod, 3},
        {"empty request", {}, 3},
        {"bad API key", badKey, 101},
        {"unsupported version", Signed("auth.createToken", {{"v", "2.0"}}, AppSecret), 100},
        {"session method without a session", Signed("friends.get", {}, AppSecret, "", "5"), 102},
        {"unknown session key", Signed("friends.get", {}, sessionSecret, "nope-1", "5"), 102},
        {"wrong signature", wrongSig, 104},
        {"no signature", noSig, 104},
        {"application secret once the session exists",
         Signed("friends.get", {}, AppSecret, sessionKey, "102"), 104},
        {"session secret on an auth call", Signed("auth.createToken", {}, sessionSecret), 104},
        {"getSession without a token", Signed("auth.getSession", {}, AppSecret), 100},
        {"getSession with an unknown token",
         Signed("auth.getSession", {{"auth_token", "feed"}}, AppSecret), 100},
        {"users.getInfo without fields",
         Signed("users.getInfo", {{"uids", "1"}}, sessionSecret, sessionKey, "103"), 100},
        {"malformed uid list",
         Signed("users.getInfo", {{"uids", "1,x"}, {"fields", "name"}}, sessionSecret, sessionKey,
                "104"),
         114},
        {"pair lists of unequal length",
         Signed("friends.areFriends", {{"uids1", "1,2"}, {"uids2", "3"}}, sessionSecret, sessionKey,
                "105"),
         100},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ErrorCode(Call(row.params)), row.code);
    }
}

TEST_F(SRV_RestServiceTest, MethodsAnswerWithOrWithoutThePrefix)
{
    for (const char* method : {"facebook.auth.createToken", "auth.createToken"})
        EXPECT_EQ(ErrorCode(Call(Signed(method, {}, AppSecret))), 0) << method;
    OpenSession();
    EXPECT_EQ(Texts(SessionCall("friends.get"), "friends_get_response", "uid").size(), 3u);
}

TEST_F(SRV_RestServiceTest, CallIdMustGrowWithinASessionAsCounterOrTime)
{
    OpenSession();
    auto callWith = [&](const std::string& id)
    { return ErrorCode(Call(Signed("friends.get", {}, sessionSecret, sessionKey, id))); };
    EXPECT_EQ(callWith("3"), 0);
    EXPECT_EQ(callWith("3"), 103) << "equal is not greater";
    EXPECT_EQ(callWith("2"), 103);
    EXPECT_EQ(callWith("10"), 0) << "compared as numbers, not as text";
    // Times with a fraction, as some libraries sent, compared exactly past double precision.
    EXPECT_EQ(callWith("1234567890.1234561"), 0);
    EXPECT_EQ(callWith("1234567890.123456"), 103);
    EXPECT_EQ(callWith("1234567890.12345610"), 103) << "a trailing zero changes nothing";
    EXPECT_EQ(callWith("1234567890.1234562"), 0);
    EXPECT_EQ(callWith("01234567891"), 0) << "leading zeros do not count";
    EXPECT_EQ(callWith("abc"), 103);
    EXPECT_EQ(callWith("-5"), 103);
    Params noCallId = Signed("friends.get", {}, sessionSecret, sessionKey);
    EXPECT_EQ(ErrorCode(Call(noCallId)), 103);
}

TEST_F(SRV_RestServiceTest, CompareCallIdsOrdersDecimalNumbersExactly)
{
    const struct
    {
        const char* a;
        const char* b;
        int order;
    } rows[] = {
        {"0", "1", -1},     {"9", "10", -1},
        {"10", "9", 1},     {"007", "7", 0},
        {"7.0", "7", 0},    {"7.01", "7.1", -1},
        {"7.1", "7.09", 1}, {"99999999999999999999", "100000000000000000000", -1},
        {"1.5", "1", 1},    {"0.000001", "0", 1},
    };
    for (const auto& row : rows)
    {
        SCOPED_TRACE(std::string(row.a) + " vs " + row.b);
        EXPECT_EQ(SRV_RestService::CompareCallIds(row.a, row.b), row.order);
        EXPECT_EQ(SRV_RestService::CompareCallIds(row.b, row.a), -row.order);
    }
}

TEST_F(SRV_RestServiceTest, TokensAreSingleUseAndNeedALogin)
{
    const std::string token = NewToken();
    const Params exchange = Signed("auth.getSession", {{"auth_token", token}}, AppSecret);
    EXPECT_EQ(ErrorCode(Call(exchange)), 100) << "nobody has logged in with it yet";

    SRV_Account account;
    EXPECT_EQ(service.Login(ApiKey, token, "ann@example.com", "wrong", account),
              SRV_RestService::LoginResult::WrongPassword);
    EXPECT_EQ(service.Login(ApiKey, token, "nobody@example.com", "secret", account),
              SRV_RestService::LoginResult::WrongPassword);
    EXPECT_EQ(ErrorCode(Call(exchange)), 100) << "a failed login authorises nothing";

    EXPECT_EQ(service.Login("0000", token, "ann@example.com", "secret", account),
              SRV_RestService::LoginResult::BadToken)
        << "a token belongs to the application that asked for it";
    EXPECT_EQ(service.Login(ApiKey, token, "  ANN@example.com ", "secret", account),
              SRV_RestService::LoginResult::LoggedIn)
        << "email compared without case or surrounding blanks";
    EXPECT_EQ(ErrorCode(Call(exchange)), 0);
    EXPECT_EQ(ErrorCode(Call(exchange)), 100) << "a token buys one session";
}

TEST_F(SRV_RestServiceTest, TokensAndSessionsExpire)
{
    const std::string stale = NewToken();
    now += 3601;
    SRV_Account account;
    EXPECT_EQ(service.Login(ApiKey, stale, "ann@example.com", "secret", account),
              SRV_RestService::LoginResult::BadToken);

    OpenSession();
    EXPECT_EQ(ErrorCode(SessionCall("friends.get")), 0);
    now += 86400;
    EXPECT_EQ(ErrorCode(SessionCall("friends.get")), 102);
}

TEST_F(SRV_RestServiceTest, TheCapOnWaitingTokensTakesThoseNobodyOpenedFirst)
{
    SRV_RestService::Settings settings;
    settings.maxPendingTokens = 4;
    SRV_RestService capped(database, settings);
    capped.SetClock([this] { return now; });
    auto create = [&]
    {
        ++now;
        return Texts("<r>" + capped.Handle(Signed("auth.createToken", {}, AppSecret), Site) +
                         "</r>",
                     "r", "auth_createToken_response")
            .at(0);
    };
    auto usable = [&](const std::string& token) { return capped.TokenUsable(ApiKey, token); };

    const std::string opened = create();
    ASSERT_TRUE(capped.OpenLoginPage(ApiKey, opened));
    std::vector<std::string> later;
    for (int i = 0; i < 10; ++i)
        later.push_back(create());
    EXPECT_TRUE(usable(opened)) << "the token whose login page is open outlives newer ones";
    for (size_t i = 0; i < later.size(); ++i)
        EXPECT_EQ(usable(later[i]), i >= 7)
            << "the newest unopened ones stay, up to the cap: " << i;
    EXPECT_FALSE(capped.OpenLoginPage(ApiKey, later[0])) << "a page for a token that is gone";

    // Once every waiting token's page is open, the one opened longest ago goes.
    for (size_t i = 7; i < 10; ++i)
    {
        ++now;
        ASSERT_TRUE(capped.OpenLoginPage(ApiKey, later[i]));
    }
    ++now;
    SRV_Account account;
    ASSERT_EQ(capped.Login(ApiKey, opened, "ann@example.com", "secret", account),
              SRV_RestService::LoginResult::LoggedIn)
        << "a login counts as the page being open";
    const std::string newest = create();
    EXPECT_TRUE(usable(newest));
    EXPECT_TRUE(usable(opened));
    EXPECT_FALSE(usable(later[7]));
    EXPECT_TRUE(usable(later[8]) && usable(later[9]));
}

TEST_F(SRV_RestServiceTest, UsersGetInfoGivesFieldsInOrderAndEveryKindOfMissingPicture)
{
    OpenSession();
    const std::string answer =
        SessionCall("facebook.users.getInfo",
                    {{"uids", "[2,\"3\", 4,999,5]"},
                     {"fields", "name,pic,pic_big,pic_small,pic_square,status,shoe_size,name"}});
    TiXmlDocument doc;
    doc.Parse(answer.c_str());
    const TiXmlElement* root = doc.FirstChildElement("users_getInfo_response");
    ASSERT_NE(root, nullptr) << answer;

    std::vector<const TiXmlElement*> users;
    for (const TiXmlElement* u = root->FirstChildElement("user"); u; u = u->NextSiblingElement())
        users.push_back(u);
    ASSERT_EQ(users.size(), 4u) << "the unknown uid 999 is left out";

    // Bob: uid first, then the known fields as asked, each once.
    std::vector<std::string> names;
    for (const TiXmlElement* e = users[0]->FirstChildElement(); e; e = e->NextSiblingElement())
        names.push_back(e->Value());
    EXPECT_EQ(names, (std::vector<std::string>{"uid", "name", "pic", "pic_big", "pic_small",
                                               "pic_square", "status"}));
    EXPECT_STREQ(users[0]->FirstChildElement("pic")->GetText(),
                 "http://pics.test:8765/photos/2/normal.jpg");
    EXPECT_STREQ(users[0]->FirstChildElement("pic_square")->GetText(),
                 "http://pics.test:8765/photos/2/square.jpg");
    const TiXmlElement* status = users[0]->FirstChildElement("status");
    EXPECT_STREQ(status->FirstChildElement("message")->GetText(), "is baking.");
    EXPECT_STREQ(status->FirstChildElement("time")->GetText(), "1200000000");

    // Cy has no picture: empty elements. Di hides hers: nil elements.
    EXPECT_EQ(users[1]->FirstChildElement("pic")->GetText(), nullptr);
    EXPECT_EQ(users[1]->FirstChildElement("pic")->Attribute("xsi:nil"), nullptr);
    EXPECT_STREQ(users[2]->FirstChildElement("pic_big")->Attribute("xsi:nil"), "true");
    EXPECT_EQ(users[2]->FirstChildElement("pic_big")->GetText(), nullptr);
    // Markup in a name arrives as text.
    EXPECT_STREQ(users[3]->FirstChildElement("name")->GetText(), "Ed Eve & <Co>");
}

TEST_F(SRV_RestServiceTest, UidListsAreBounded)
{
    SRV_RestService::Settings settings;
    settings.maxListIds = 3;
    SRV_RestService small(database, settings);
    small.SetClock([this] { return now; });
    // A session made by the default service works with the small one too: it is in the database.
    OpenSession();
    auto ask = [&](const std::string& list)
    {
        return ErrorCode(
            small.Handle(Signed("friends.areFriends", {{"uids1", list}, {"uids2", list}},
                                sessionSecret, sessionKey, std::to_string(++callId)),
                         Site));
    };
    EXPECT_EQ(ask("1,2,3"), 0);
    EXPECT_EQ(ask("1,2,3,4"), 114);
    EXPECT_EQ(ask(""), 114);
    EXPECT_EQ(ask("1,,2"), 114);
    EXPECT_EQ(ask("99999999999999999999999"), 114);
    EXPECT_EQ(ask("0"), 114);
}

TEST_F(SRV_RestServiceTest, AreFriendsMarksPeopleItDoesNotKnowAsNil)
{
    OpenSession();
    const std::string answer =
        SessionCall("friends.areFriends", {{"uids1", "1,777"}, {"uids2", "777,2"}});
    EXPECT_EQ(ErrorCode(answer), 0);
    size_t nils = 0;
    for (size_t at = answer.find("<are_friends xsi:nil=\"true\"/>"); at != std::string::npos;
         at = answer.find("<are_friends xsi:nil=\"true\"/>", at + 1))
        ++nils;
    EXPECT_EQ(nils, 2u);
}

TEST_F(SRV_RestServiceTest, EitherParameterOrderOfTheSignatureIsAccepted)
{
    // With both "uids" and "uids1", sorting by name puts uids first and sorting whole strings puts
    // uids1 first: the two signatures differ, and both kinds of client must get through.
    OpenSession();
    Params params = {{"uids", "1"}, {"uids1", "2"}, {"fields", "name"}};
    params = Signed("users.getInfo", params, sessionSecret, sessionKey, "50");
    const std::string byString = params["sig"];
    EXPECT_EQ(ErrorCode(Call(params)), 0);

    params["call_id"] = "51";
    params["sig"] = SRV_RestService::Sign(params, sessionSecret);
    EXPECT_NE(params["sig"], Signature(params, sessionSecret));
    EXPECT_EQ(ErrorCode(Call(params)), 0);
}

TEST_F(SRV_RestServiceTest, ErrorAnswersEchoHostileArgumentsAsWellFormedXml)
{
    Params params = Signed("facebook.nothing", {}, AppSecret);
    params["note"] = std::string("</value><x>&amp;\x01\x02\xff\xc3(") + "\xe2\x82\xac";
    params["\x1b<key>"] = "v";
    const std::string answer = Call(params);
    TiXmlDocument doc;
    doc.Parse(answer.c_str());
    ASSERT_FALSE(doc.Error()) << doc.ErrorDesc() << "\n" << answer;
    EXPECT_EQ(ErrorCode(answer), 3);
    const TiXmlElement* args = doc.RootElement()->FirstChildElement("request_args");
    ASSERT_NE(args, nullptr);
    EXPECT_STREQ(args->Attribute("list"), "true");
    std::vector<std::string> keys;
    for (const TiXmlElement* arg = args->FirstChildElement("arg"); arg;
         arg = arg->NextSiblingElement())
        keys.push_back(arg->FirstChildElement("key")->GetText());
    EXPECT_EQ(keys.size(), params.size());
    EXPECT_NE(answer.find("&lt;/value&gt;&lt;x&gt;&amp;amp;?"
                          "?(\xe2\x82\xac"),
              std::string::npos)
        << "control bytes dropped, invalid UTF-8 replaced, valid UTF-8 kept";
}

namespace
{
// Whether `text` is UTF-8 of nothing but the characters XML 1.0 allows: tab, line feed, carriage
// return, U+0020-U+D7FF, U+E000-U+FFFD and U+10000-U+10FFFF. Decoded here, apart from the
// server's own escaping.
bool OnlyXmlCharacters(const std::string& text)
{
    for (size_t i = 0; i < text.size();)
    {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead >> 5 == 6 ? 2 : lead >> 4 == 14 ? 3 : 4;
        if (lead >> 3 == 31 || (lead >= 0x80 && lead < 0xc0) || i + length > text.size())
            return false;
        uint32_t code = length == 1 ? lead : lead & (0x7f >> length);
        for (size_t k = 1; k < length; ++k)
        {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if (next >> 6 != 2)
                return false;
            code = code << 6 | (next & 0x3f);
        }
        const uint32_t shortest = length == 1   ? 0
                                  : length == 2 ? 0x80
                                  : length == 3 ? 0x800
                                                : 0x10000;
        const bool allowed =
            code == 0x9 || code == 0xa || code == 0xd || (code >= 0x20 && code <= 0xd7ff) ||
            (code >= 0xe000 && code <= 0xfffd) || (code >= 0x10000 && code <= 0x10ffff);
        if (code < shortest || !allowed)
            return false;
        i += length;
    }
    return true;
}
} // namespace

TEST_F(SRV_RestServiceTest, ErrorAnswersAreWellFormedWhateverCharactersTheArgumentsHold)
{
    const struct
    {
        const char* what;
        std::string text;
    } rows[] = {
        {"U+FFFE", "a\xef\xbf\xbe z"},
        {"U+FFFF", "a\xef\xbf\xbf z"},
        {"C0 controls", std::string("a\x00\x07\x0b\x0c\x1f z", 8)},
        {"a lone high surrogate", "a\xed\xa0\x80 z"},
        {"a lone low surrogate", "a\xed\xbf\xbf z"},
        {"an overlong slash", "a\xc0\xaf z"},
        {"past U+10FFFF", "a\xf4\x90\x80\x80 z"},
        {"a truncated sequence", "a\xe2\x82"},
        {"stray continuation bytes", "\x80\xbf z"},
    };
    // Characters XML allows pass unchanged, at the edges of the ranges too.
    const std::string kept = "\t\n\xed\x9f\xbf\xee\x80\x80\xef\xbf\xbd\xf4\x8f\xbf\xbf";
    for (const auto& row : rows)
    {
        SCOPED_TRACE(row.what);
        Params params = Signed("facebook.nothing", {}, AppSecret);
        params["value"] = row.text + kept;
        params[row.text] = "as a key";
        const std::string answer = Call(params);
        EXPECT_TRUE(OnlyXmlCharacters(answer));
        TiXmlDocument doc;
        doc.Parse(answer.c_str());
        ASSERT_FALSE(doc.Error()) << doc.ErrorDesc();
        EXPECT_EQ(ErrorCode(answer), 3);
        EXPECT_NE(answer.find(kept + "</value>"), std::string::npos);
    }
}
