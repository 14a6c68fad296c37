#include "net/UTL_FacebookClient.h"

#include "net/UTL_Signature.h"
#include "net/UTL_XmlAnswer.h"

#include <algorithm>
#include <cstdio>

#include <curl/curl.h>
#include <tinyxml.h>

namespace
{
// Where a transfer's answer goes, and how long it may grow.
struct ResponseSink
{
    std::string* response;
    size_t limit;
    CURL* handle;
    bool reserved = false;
};

// Appends the received bytes to the answer; refusing bytes past the bound makes libcurl end the
// transfer with a write error. The answer's room is made once, for the length the server
// announced (within the bound): a friendship batch answers hundreds of kilobytes, which would
// otherwise be copied over and over as the string grows.
size_t AppendResponse(char* data, size_t size, size_t count, void* userData)
{
    auto* sink = static_cast<ResponseSink*>(userData);
    const size_t bytes = size * count;
    if (sink->response->size() + bytes > sink->limit)
        return 0;
    if (!sink->reserved)
    {
        sink->reserved = true;
        curl_off_t announced = -1;
        if (curl_easy_getinfo(sink->handle, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &announced) ==
                CURLE_OK &&
            announced > 0)
            sink->response->reserve(
                std::min(sink->response->size() + size_t(announced), sink->limit));
    }
    sink->response->append(data, bytes);
    return bytes;
}

// "name=value" with the value encoded; the name is one of the protocol's plain words.
std::string EncodeParameter(const std::string& parameter)
{
    const size_t equals = parameter.find('=');
    if (equals == std::string::npos)
        return UTL_FacebookClient::EncodeFormValue(parameter);
    return parameter.substr(0, equals + 1) +
           UTL_FacebookClient::EncodeFormValue(parameter.substr(equals + 1));
}

// Ends the transfer once the abort flag is set.
int CheckAbort(void* flag, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}
} // namespace

UTL_FacebookClient::UTL_FacebookClient(const std::string& apiKey, const std::string& appSecret,
                                       const std::string& serverUrl)
    : apiKey(apiKey), appSecret(appSecret), serverUrl(serverUrl)
{
}

UTL_FacebookClient::~UTL_FacebookClient()
{
    if (curl)
        curl_easy_cleanup(static_cast<CURL*>(curl));
}

bool UTL_FacebookClient::Init()
{
    if (!curl)
        curl = curl_easy_init();
    if (!curl)
    {
        std::fputs("Could not initialize curl.\n", stderr);
        return false;
    }
    return CreateToken();
}

void UTL_FacebookClient::SetTimeouts(std::chrono::milliseconds connect,
                                     std::chrono::milliseconds total)
{
    connectTimeout = connect;
    totalTimeout = total;
}

std::string UTL_FacebookClient::EncodeFormValue(const std::string& value)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(value.size());
    for (unsigned char c : value)
    {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
                           c == ',';
        if (plain)
        {
            encoded += char(c);
        }
        else
        {
            encoded += '%';
            encoded += Hex[c >> 4];
            encoded += Hex[c & 15];
        }
    }
    return encoded;
}

bool UTL_FacebookClient::CallMethod(const std::string& method,
                                    const std::vector<std::string>& params, std::string& response,
                                    size_t maxResponseBytes)
{
    std::vector<std::string> list = params;
    list.push_back("api_key=" + apiKey);
    list.push_back("call_id=" + std::to_string(callCounter));
    list.push_back("method=" + method);
    if (hasSession)
        list.push_back("session_key=" + sessionKey);
    list.push_back("v=" + apiVersion);

    // The signature covers the raw values.
    list.push_back("sig=" + UTL_SignCall(list, hasSession ? sessionSecret : appSecret));

    std::sort(list.begin(), list.end());
    std::string body;
    for (const std::string& parameter : list)
    {
        if (!body.empty())
            body += '&';
        body += EncodeParameter(parameter);
    }

    CURL* handle = static_cast<CURL*>(curl);
    ResponseSink sink{&response, std::min(maxResponseBytes, MaxResponseBytes), handle};
    CURLcode result = CURLE_FAILED_INIT;
    if (handle)
    {
        // A reset clears the options but keeps the handle's connections: every call goes out on
        // the one kept-alive connection while the server keeps it open.
        curl_easy_reset(handle);
        curl_easy_setopt(handle, CURLOPT_URL, serverUrl.c_str());
        curl_easy_setopt(handle, CURLOPT_POST, 1L);
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.c_str());
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body.size()));
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, AppendResponse);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &sink);
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, long(connectTimeout.count()));
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, long(totalTimeout.count()));
        // Time-outs must not rely on signals: the viewer runs other threads.
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
        // A request whose last bytes wait for the acknowledgement of its first (Nagle's
        // algorithm) would cost each call the server's delayed acknowledgement, ~40 ms.
        curl_easy_setopt(handle, CURLOPT_TCP_NODELAY, 1L);
        if (abortFlag)
        {
            curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
            curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, CheckAbort);
            curl_easy_setopt(handle, CURLOPT_XFERINFODATA, abortFlag);
        }
        result =
            abortFlag && abortFlag->load() ? CURLE_ABORTED_BY_CALLBACK : curl_easy_perform(handle);
    }
    ++callCounter;
    return result == CURLE_OK;
}

bool UTL_FacebookClient::CreateToken()
{
    std::string response;
    if (!CallMethod("facebook.auth.createToken", {}, response))
        return false;
    TiXmlDocument doc;
    if (!UTL_XmlAnswer::Parse(response, doc))
        return false;
    const TiXmlElement* root = doc.FirstChildElement("auth_createToken_response");
    if (!root)
        return false;
    const char* token = root->GetText();
    authToken = token ? token : "";
    return true;
}

std::string UTL_FacebookClient::MakeLoginUrl(const std::string& loginPage) const
{
    return loginPage + "?api_key=" + apiKey + "&auth_token=" + authToken + "&v=" + apiVersion +
           "&popup" + "&skipcookie" + "&hide_checkbox";
}

bool UTL_FacebookClient::GetSession()
{
    std::string response;
    if (!CallMethod("facebook.auth.getSession", {"auth_token=" + authToken}, response))
        return false;
    TiXmlDocument doc;
    if (!UTL_XmlAnswer::Parse(response, doc))
        return false;
    const TiXmlElement* root = doc.FirstChildElement("auth_getSession_response");
    if (!root || !root->FirstChildElement("session_key") || !root->FirstChildElement("uid") ||
        !root->FirstChildElement("secret"))
        return false;
    sessionKey = UTL_XmlAnswer::ChildText(root, "session_key");
    uid = UTL_XmlAnswer::ChildText(root, "uid");
    sessionSecret = UTL_XmlAnswer::ChildText(root, "secret");
    hasSession = true;
    return true;
}
