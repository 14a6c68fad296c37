#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

// Signed calls of the social network's REST API, and the desktop login flow built on them: an
// auth token, the login page address carrying it, and the session the token is exchanged for
// once the user has logged in on that page.
//
// A call gathers the method's own parameters ("name=value" strings), adds api_key, call_id,
// method, session_key (once there is a session) and v, signs the set (see UTL_SignCall) with the
// current secret (the application secret until the session exists, the session secret after),
// and posts it as a form body. Values are URL-encoded on the wire; the signature covers the raw
// values. Every call is synchronous and bounded by a connect and a total time-out, so a dead
// server costs at most that long. The client keeps one transfer handle, and with it one
// kept-alive connection for all its calls, with Nagle's algorithm off: a new connection per call
// and an answer held back for an acknowledgement would each cost more than the server's work.
//
// Threading: one client belongs to one thread at a time (the main thread in the viewer, or the
// thread a caller hands it to); nothing is shared but the abort flag.
class UTL_FacebookClient
{
public:
    static constexpr std::chrono::milliseconds DefaultConnectTimeout{10'000};
    static constexpr std::chrono::milliseconds DefaultTotalTimeout{60'000};
    // An answer longer than this ends the transfer as failed instead of growing without bound.
    static constexpr size_t MaxResponseBytes = size_t(64) << 20;

    UTL_FacebookClient(const std::string& apiKey, const std::string& appSecret,
                       const std::string& serverUrl);
    ~UTL_FacebookClient();

    UTL_FacebookClient(const UTL_FacebookClient&) = delete;
    UTL_FacebookClient& operator=(const UTL_FacebookClient&) = delete;

    // Creates the transfer handle and asks for an auth token. Writes "Could not initialize
    // curl." to stderr when no handle can be made.
    bool Init();

    // One signed call of `method` with the method's own `params`. The answer is appended to
    // `response`. True when the transfer succeeded, whatever the answer says (error answers are
    // left to the caller's parsing); an answer that would take `response` past
    // `maxResponseBytes` (MaxResponseBytes at most) ends the transfer as failed. The call
    // counter grows by one either way.
    bool CallMethod(const std::string& method, const std::vector<std::string>& params,
                    std::string& response, size_t maxResponseBytes = MaxResponseBytes);

    // facebook.auth.createToken; on success the answer's token becomes the auth token.
    bool CreateToken();
    // `loginPage` with the API key, the auth token, the version and the page's three flags.
    std::string MakeLoginUrl(const std::string& loginPage) const;
    // facebook.auth.getSession for the auth token; on success the session key, secret and user id
    // are taken over and later calls are signed with the session secret.
    bool GetSession();

    const std::string& GetUid() const { return uid; }
    const std::string& GetAuthToken() const { return authToken; }
    const std::string& GetSessionKey() const { return sessionKey; }
    bool HasSession() const { return hasSession; }
    int GetCallCounter() const { return callCounter; }

    // A flag that, once set, aborts the transfer running and fails later calls at once; for a
    // thread that must stop (null: none). The flag must outlive the calls.
    void SetAbortFlag(const std::atomic<bool>* flag) { abortFlag = flag; }

    // Replaces the time-outs of later calls (tests use short ones).
    void SetTimeouts(std::chrono::milliseconds connect, std::chrono::milliseconds total);

    // `value` percent-encoded for a form body: letters, digits and "-._~," stay, every other
    // byte becomes %XX.
    static std::string EncodeFormValue(const std::string& value);

private:
    std::string apiKey;
    std::string appSecret;
    std::string authToken;
    std::string serverUrl;
    std::string sessionKey;
    std::string sessionSecret;
    std::string uid;
    std::string apiVersion = "1.0";
    int callCounter = 0;
    bool hasSession = false;
    void* curl = nullptr; // CURL*, kept opaque so that callers need no libcurl header
    const std::atomic<bool>* abortFlag = nullptr;

    std::chrono::milliseconds connectTimeout = DefaultConnectTimeout;
    std::chrono::milliseconds totalTimeout = DefaultTotalTimeout;
};
