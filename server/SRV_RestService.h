#pragma once

#include "server/SRV_PictureMaker.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class SRV_Database;
struct SRV_Account;

// A request's parameters by name, the query string and the body already merged.
using SRV_Params = std::map<std::string, std::string>;

// The REST methods of the stand-in network, independent of HTTP: auth.createToken,
// auth.getSession, friends.get, users.getInfo and friends.areFriends, with or without the
// "facebook." prefix. Checks, in this order: the method (error 3), the API key (101), the
// version (100), the session for the methods that need one (102), the signature (104: the
// application secret signs auth.* calls and calls without a session, the session secret the
// others) and, within a session, a growing call_id (103). Answers are the protocol's XML.
//
// Also the two steps of the login page: whether a token can still be logged in with, and the
// login itself, which authorises the token for the person.
//
// Threading: every operation may run on any request thread at the same time; state lives in the
// database, whose operations are atomic.
class SRV_RestService
{
public:
    struct Settings
    {
        int64_t tokenLifetime = 3600;    // seconds an auth token waits for its login
        int64_t sessionLifetime = 86400; // seconds a session lasts
        size_t maxListIds = 20000;       // longest uid list a call may carry
        // Tokens kept waiting; beyond it those whose login page nobody opened go first, the
        // oldest of them first.
        int64_t maxPendingTokens = 10000;
    };

    enum class LoginResult
    {
        LoggedIn,
        WrongPassword,
        BadToken, // unknown, expired, or issued to another application
    };

    enum ErrorCode
    {
        UnknownError = 1,
        UnknownMethod = 3,
        InvalidParameter = 100,
        InvalidApiKey = 101,
        InvalidSession = 102,
        CallIdNotGreater = 103,
        IncorrectSignature = 104,
        InvalidUserId = 110,
        InvalidUserIdList = 114,
    };

    SRV_RestService(SRV_Database& database, Settings settings);

    // Replaces the wall clock (Unix seconds); tests make time pass with it.
    void SetClock(std::function<int64_t()> clock);
    int64_t Now() const;

    // Runs one call; returns the XML answer (an error_response for a refused call). `site` is the
    // scheme and authority picture addresses start with, as "http://127.0.0.1:8765".
    std::string Handle(const SRV_Params& params, const std::string& site);

    bool TokenUsable(const std::string& apiKey, const std::string& token);
    // TokenUsable for a login page about to be shown, noting that the page is open: the cap on
    // waiting tokens spares the token as long as it can.
    bool OpenLoginPage(const std::string& apiKey, const std::string& token);
    LoginResult Login(const std::string& apiKey, const std::string& token, const std::string& email,
                      const std::string& password, SRV_Account& account);

    // The signature of `params` (without "sig") under `secret`, name=value strings sorted by
    // name as the protocol's libraries did.
    static std::string Sign(const SRV_Params& params, const std::string& secret);
    static std::string PictureAddress(const std::string& site, int64_t uid, SRV_PictureSize size);
    // A uid list, "1,2" or JSON "[1,2]" (ids may be quoted); false when malformed, empty or
    // longer than `max`.
    static bool ParseIdList(const std::string& text, size_t max, std::vector<int64_t>& ids);
    static bool ParseId(const std::string& text, int64_t& id);
    // Orders two call ids (decimal numbers, optionally with a fraction) exactly: negative,
    // zero or positive as a < b, a = b, a > b. False from `Valid` for anything else.
    static bool CallIdValid(const std::string& callId);
    static int CompareCallIds(const std::string& a, const std::string& b);

private:
    struct Call;

    std::string CreateToken(Call& call);
    std::string GetSession(Call& call);
    std::string FriendsGet(Call& call);
    std::string UsersGetInfo(Call& call);
    std::string FriendsAreFriends(Call& call);

    SRV_Database& database;
    Settings settings;
    std::function<int64_t()> clock;
};
