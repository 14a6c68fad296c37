#include "server/SRV_RestService.h"

#include "net/UTL_Md5.h"
#include "net/UTL_Signature.h"
#include "server/SRV_Database.h"
#include "server/SRV_Markup.h"
#include "server/SRV_PasswordHash.h"
#include "server/SRV_Random.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <iterator>
#include <string_view>

namespace
{
constexpr char XmlDeclaration[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr char Namespaces[] =
    " xmlns=\"http://api.facebook.com/1.0/\""
    " xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\""
    " xsi:schemaLocation=\"http://api.facebook.com/1.0/ http://api.facebook.com/1.0/facebook.xsd\"";

const char* MessageOf(int code)
{
    switch (code)
    {
    case 2:
        return "Service temporarily unavailable";
    case 3:
        return "Unknown method";
    case 4:
        return "Application request limit reached";
    case 100:
        return "Invalid parameter";
    case 101:
        return "Invalid API key";
    case 102:
        return "Session key invalid or no longer valid";
    case 103:
        return "Call_id must be greater than previous";
    case 104:
        return "Incorrect signature";
    case 110:
        return "Invalid user id";
    case 114:
        return "Invalid user id list";
    default:
        return "An unknown error occurred";
    }
}

// The opening of an answer's root element: "friends.get" answers in <friends_get_response>.
std::string OpenRoot(const std::string& root, bool list)
{
    return std::string(XmlDeclaration) + "<" + root + Namespaces + (list ? " list=\"true\">" : ">");
}

std::string Element(const std::string& name, const std::string& text)
{
    if (text.empty())
        return "<" + name + "/>";
    return "<" + name + ">" + SRV_Markup::Escape(text) + "</" + name + ">";
}

std::string ErrorAnswer(int code, const SRV_Params& params)
{
    std::string xml = OpenRoot("error_response", false);
    xml += "\n  <error_code>" + std::to_string(code) + "</error_code>";
    xml += "\n  <error_msg>" + std::string(MessageOf(code)) + "</error_msg>";
    xml += "\n  <request_args list=\"true\">";
    for (const auto& [key, value] : params)
        xml += "\n    <arg>\n      " + Element("key", key) + "\n      " + Element("value", value) +
               "\n    </arg>";
    xml += "\n  </request_args>\n</error_response>\n";
    return xml;
}

// A refused call: carries the error code to the point where the answer is written.
struct Refusal
{
    int code;
};

std::string Lower(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string_view TrimView(std::string_view text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return std::string_view();
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

std::string Trim(const std::string& text)
{
    return std::string(TrimView(text));
}

// A positive decimal id of at most 18 digits, nothing else.
bool IdFrom(std::string_view text, int64_t& id)
{
    if (text.empty() || text.size() > 18 ||
        text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    std::from_chars(text.data(), text.data() + text.size(), id);
    return id > 0;
}

// Splits a decimal number into its integer digits (without leading zeros) and its fraction
// digits (without trailing zeros).
void SplitDecimal(const std::string& text, std::string& whole, std::string& fraction)
{
    const size_t dot = text.find('.');
    whole = text.substr(0, dot);
    fraction = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    fraction.erase(fraction.find_last_not_of('0') + 1);
}

enum class Needs
{
    Application, // signed with the application secret; no session
    Session,     // needs a valid session and is signed with its secret
};
} // namespace

// One call on its way through the checks.
struct SRV_RestService::Call
{
    const SRV_Params& params;
    const std::string& site;
    std::string apiKey;
    SRV_Session session;

    const std::string* Find(const char* name) const
    {
        const auto it = params.find(name);
        return it == params.end() ? nullptr : &it->second;
    }
    const std::string& Require(const char* name) const
    {
        const std::string* value = Find(name);
        if (!value)
            throw Refusal{InvalidParameter};
        return *value;
    }
};

SRV_RestService::SRV_RestService(SRV_Database& database, Settings settings)
    : database(database), settings(settings)
{
}

void SRV_RestService::SetClock(std::function<int64_t()> newClock)
{
    clock = std::move(newClock);
}

int64_t SRV_RestService::Now() const
{
    if (clock)
        return clock();
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string SRV_RestService::Sign(const SRV_Params& params, const std::string& secret)
{
    std::string text;
    for (const auto& [key, value] : params)
        if (key != "sig")
            text += key + "=" + value;
    return UTL_Md5().DigestString(text + secret);
}

std::string SRV_RestService::PictureAddress(const std::string& site, int64_t uid,
                                            SRV_PictureSize size)
{
    return site + "/photos/" + std::to_string(uid) + "/" + SRV_PictureMaker::NameOf(size) + ".jpg";
}

bool SRV_RestService::ParseId(const std::string& text, int64_t& id)
{
    return IdFrom(text, id);
}

bool SRV_RestService::ParseIdList(const std::string& text, size_t max, std::vector<int64_t>& ids)
{
    // Views into the text: a friendship batch carries thousands of ids.
    std::string_view list = TrimView(text);
    if (!list.empty() && list.front() == '[')
    {
        if (list.back() != ']')
            return false;
        list = list.substr(1, list.size() - 2);
    }
    ids.clear();
    size_t start = 0;
    while (start <= list.size())
    {
        size_t comma = list.find(',', start);
        if (comma == std::string_view::npos)
            comma = list.size();
        std::string_view item = TrimView(list.substr(start, comma - start));
        if (item.size() >= 2 && item.front() == '"' && item.back() == '"')
            item = item.substr(1, item.size() - 2);
        int64_t id = 0;
        if (ids.size() >= max || !IdFrom(item, id))
            return false;
        ids.push_back(id);
        start = comma + 1;
    }
    return !ids.empty();
}

bool SRV_RestService::CallIdValid(const std::string& callId)
{
    const size_t dot = callId.find('.');
    const std::string whole = callId.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "0" : callId.substr(dot + 1);
    auto digits = [](const std::string& s) {
        return !s.empty() && s.size() <= 30 &&
               s.find_first_not_of("0123456789") == std::string::npos;
    };
    return digits(whole) && digits(fraction);
}

int SRV_RestService::CompareCallIds(const std::string& a, const std::string& b)
{
    std::string wholeA, fractionA, wholeB, fractionB;
    SplitDecimal(a, wholeA, fractionA);
    SplitDecimal(b, wholeB, fractionB);
    if (wholeA.size() != wholeB.size())
        return wholeA.size() < wholeB.size() ? -1 : 1;
    if (const int c = wholeA.compare(wholeB))
        return c < 0 ? -1 : 1;
    const int c = fractionA.compare(fractionB); // digit by digit, a shorter one padded with zeros
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

std::string SRV_RestService::Handle(const SRV_Params& params, const std::string& site)
{
    struct Method
    {
        const char* name;
        Needs needs;
        std::string (SRV_RestService::*run)(Call&);
    };
    static const Method Methods[] = {
        {"auth.createToken", Needs::Application, &SRV_RestService::CreateToken},
        {"auth.getSession", Needs::Application, &SRV_RestService::GetSession},
        {"friends.get", Needs::Session, &SRV_RestService::FriendsGet},
        {"users.getInfo", Needs::Session, &SRV_RestService::UsersGetInfo},
        {"friends.areFriends", Needs::Session, &SRV_RestService::FriendsAreFriends},
    };

    Call call{params, site, std::string(), SRV_Session()};
    try
    {
        std::string name = call.Find("method") ? *call.Find("method") : std::string();
        if (name.compare(0, 9, "facebook.") == 0)
            name = name.substr(9);
        const Method* method = nullptr;
        for (const Method& candidate : Methods)
            if (name == candidate.name)
                method = &candidate;
        if (!method)
            throw Refusal{UnknownMethod};

        std::string appSecret;
        const std::string* apiKey = call.Find("api_key");
        if (!apiKey || !database.FindApplicationSecret(*apiKey, appSecret))
            throw Refusal{InvalidApiKey};
        call.apiKey = *apiKey;

        const std::string* version = call.Find("v");
        if (version && *version != "1.0")
            throw Refusal{InvalidParameter};

        std::string secret = appSecret;
        if (method->needs == Needs::Session)
        {
            const std::string* key = call.Find("session_key");
            if (!key || !database.FindSession(*key, call.session) ||
                call.session.apiKey != call.apiKey || call.session.expires <= Now())
                throw Refusal{InvalidSession};
            secret = call.session.secret;
        }

        // Libraries of the time sorted by parameter name, the viewer sorts whole "name=value"
        // strings; the two differ only when one name is the start of another. Either passes.
        const std::string* sig = call.Find("sig");
        if (!sig)
            throw Refusal{IncorrectSignature};
        const std::string given = Lower(*sig);
        if (given != Sign(params, secret) && given != UTL_SignCall(params, secret))
            throw Refusal{IncorrectSignature};

        if (method->needs == Needs::Session)
        {
            const std::string* callId = call.Find("call_id");
            if (!callId || !CallIdValid(*callId))
                throw Refusal{CallIdNotGreater};
            // Check and record under the lock: two requests of one session must not both pass
            // with the same call_id.
            const bool grows = database.Locked(
                [&]
                {
                    SRV_Session current;
                    if (!database.FindSession(call.session.sessionKey, current))
                        return false;
                    if (!current.lastCallId.empty() &&
                        CompareCallIds(*callId, current.lastCallId) <= 0)
                        return false;
                    return database.SetLastCallId(call.session.sessionKey, *callId);
                });
            if (!grows)
                throw Refusal{CallIdNotGreater};
        }
        return (this->*method->run)(call);
    }
    catch (const Refusal& refusal)
    {
        return ErrorAnswer(refusal.code, params);
    }
}

std::string SRV_RestService::CreateToken(Call& call)
{
    const int64_t now = Now();
    const std::string token = SRV_Random::Hex(16);
    // One transaction, so that the pruning and the new token are one write to the file.
    std::string error;
    if (!database.Transaction(
            [&]
            {
                database.PruneTokens(now, settings.maxPendingTokens - 1);
                return database.AddToken(token, call.apiKey, now + settings.tokenLifetime);
            },
            error))
        throw Refusal{UnknownError};
    return OpenRoot("auth_createToken_response", false) + token + "</auth_createToken_response>\n";
}

std::string SRV_RestService::GetSession(Call& call)
{
    const std::string& token = call.Require("auth_token");
    const int64_t now = Now();
    SRV_Token found;
    if (!database.FindToken(token, found) || found.apiKey != call.apiKey || found.expires <= now ||
        found.uid == 0)
        throw Refusal{InvalidParameter};

    SRV_Session session;
    session.sessionKey = SRV_Random::Hex(12) + "-" + std::to_string(found.uid);
    session.apiKey = call.apiKey;
    session.uid = found.uid;
    session.secret = SRV_Random::Hex(16);
    session.expires = now + settings.sessionLifetime;
    database.PruneSessions(now);
    // A token buys one session.
    if (!database.DeleteToken(token) || !database.AddSession(session))
        throw Refusal{UnknownError};

    std::string xml = OpenRoot("auth_getSession_response", false);
    xml += "\n  " + Element("session_key", session.sessionKey);
    xml += "\n  " + Element("uid", std::to_string(session.uid));
    xml += "\n  " + Element("expires", std::to_string(session.expires));
    xml += "\n  " + Element("secret", session.secret);
    return xml + "\n</auth_getSession_response>\n";
}

std::string SRV_RestService::FriendsGet(Call& call)
{
    std::string xml = OpenRoot("friends_get_response", true);
    for (int64_t uid : database.FriendsOf(call.session.uid))
        xml += "\n  <uid>" + std::to_string(uid) + "</uid>";
    return xml + "\n</friends_get_response>\n";
}

std::string SRV_RestService::UsersGetInfo(Call& call)
{
    std::vector<int64_t> uids;
    if (!ParseIdList(call.Require("uids"), settings.maxListIds, uids))
        throw Refusal{InvalidUserIdList};

    // The requested fields in the order asked, each once; unknown ones are left out.
    static const char* const Known[] = {"name",      "first_name", "last_name",  "pic",
                                        "pic_small", "pic_big",    "pic_square", "status"};
    std::vector<std::string> fields;
    const std::string& list = call.Require("fields");
    for (size_t start = 0; start <= list.size();)
    {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos)
            comma = list.size();
        const std::string field = Trim(list.substr(start, comma - start));
        if (std::find(std::begin(Known), std::end(Known), field) != std::end(Known) &&
            std::find(fields.begin(), fields.end(), field) == fields.end())
            fields.push_back(field);
        start = comma + 1;
    }

    std::string xml = OpenRoot("users_getInfo_response", true);
    SRV_Person person;
    for (int64_t uid : uids)
    {
        // Unknown people are left out, as people one may not see were.
        if (!database.FindPerson(uid, person))
            continue;
        xml += "\n  <user>\n    " + Element("uid", std::to_string(uid));
        for (const std::string& field : fields)
        {
            xml += "\n    ";
            if (field == "name")
                xml += Element(field, person.name);
            else if (field == "first_name")
                xml += Element(field, person.firstName);
            else if (field == "last_name")
                xml += Element(field, person.lastName);
            else if (field == "status")
            {
                xml += "<status>\n      " + Element("message", person.status) + "\n      " +
                       Element("time", std::to_string(person.statusTime)) + "\n    </status>";
            }
            else
            {
                const SRV_PictureSize size = field == "pic_small"    ? SRV_PictureSize::Small
                                             : field == "pic_big"    ? SRV_PictureSize::Big
                                             : field == "pic_square" ? SRV_PictureSize::Square
                                                                     : SRV_PictureSize::Normal;
                if (person.picture == SRV_PictureState::Hidden)
                    xml += "<" + field + " xsi:nil=\"true\"/>";
                else if (person.picture == SRV_PictureState::None)
                    xml += "<" + field + "/>";
                else
                    xml += Element(field, PictureAddress(call.site, uid, size));
            }
        }
        xml += "\n  </user>";
    }
    return xml + "\n</users_getInfo_response>\n";
}

std::string SRV_RestService::FriendsAreFriends(Call& call)
{
    std::vector<int64_t> first, second;
    if (!ParseIdList(call.Require("uids1"), settings.maxListIds, first) ||
        !ParseIdList(call.Require("uids2"), settings.maxListIds, second))
        throw Refusal{InvalidUserIdList};
    if (first.size() != second.size())
        throw Refusal{InvalidParameter};

    std::string xml = OpenRoot("friends_areFriends_response", true);
    // Each pair takes about 110 bytes, and a batch of the largest circles 5,000 pairs: the
    // answer is written in place, without a string per piece.
    xml.reserve(xml.size() + first.size() * 112 + 40);
    auto appendId = [&xml](int64_t uid)
    {
        char digits[24];
        const auto written = std::to_chars(std::begin(digits), std::end(digits), uid);
        xml.append(digits, written.ptr);
    };
    const std::vector<SRV_PairState> states = database.PairStates(first, second);
    for (size_t i = 0; i < first.size(); ++i)
    {
        xml += "\n  <friend_info>\n    <uid1>";
        appendId(first[i]);
        xml += "</uid1>\n    <uid2>";
        appendId(second[i]);
        xml += "</uid2>\n    ";
        xml += states[i] == SRV_PairState::Unknown   ? "<are_friends xsi:nil=\"true\"/>"
               : states[i] == SRV_PairState::Friends ? "<are_friends>1</are_friends>"
                                                     : "<are_friends>0</are_friends>";
        xml += "\n  </friend_info>";
    }
    xml += "\n</friends_areFriends_response>\n";
    return xml;
}

bool SRV_RestService::TokenUsable(const std::string& apiKey, const std::string& token)
{
    SRV_Token found;
    return database.FindToken(token, found) && found.apiKey == apiKey && found.expires > Now();
}

bool SRV_RestService::OpenLoginPage(const std::string& apiKey, const std::string& token)
{
    return TokenUsable(apiKey, token) && database.MarkTokenShown(token, Now());
}

SRV_RestService::LoginResult
SRV_RestService::Login(const std::string& apiKey, const std::string& token,
                       const std::string& email, const std::string& password, SRV_Account& account)
{
    if (!TokenUsable(apiKey, token))
        return LoginResult::BadToken;
    if (!database.FindAccountByEmail(Trim(email), account) || account.passwordHash.empty() ||
        !SRV_PasswordHash::Verify(password, account.passwordHash))
        return LoginResult::WrongPassword;
    return database.AuthorizeToken(token, account.uid) && database.MarkTokenShown(token, Now())
               ? LoginResult::LoggedIn
               : LoginResult::BadToken;
}
