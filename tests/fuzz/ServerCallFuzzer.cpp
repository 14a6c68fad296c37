#include "FuzzServer.h"

#include <tinyxml.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// The REST service behind the HTTP layer: uid lists ("1,2" and JSON "[1,2]"), call_id ordering
// (counters and times with a fraction) and whole signed calls of a session. The first byte picks
// which; the rest is text:
//   uid list:  the list itself;
//   call ids:  up to three ids, one a line;
//   calls:     calls separated by "--" lines, each "name=value" lines. What a call leaves out
//              of api_key, v, session_key and sig is filled in as the viewer would, so calls
//              pass the checks and reach the methods.
// Beyond the sanitizers, the checks are: a list reads the same with and without brackets, call
// ids order as the numbers they spell, a session accepts exactly the call_ids that grow, and
// every answer is well-formed XML whose root names the method or the error.
namespace
{
std::vector<std::string> Split(const std::string& text, const std::string& separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t end; (end = text.find(separator, start)) != std::string::npos;
         start = end + separator.size())
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

void CheckIdList(const std::string& text)
{
    constexpr size_t Max = 64;
    std::vector<int64_t> ids;
    const bool parsed = SRV_RestService::ParseIdList(text, Max, ids);
    if (parsed && (ids.empty() || ids.size() > Max))
        std::abort();
    for (int64_t id : parsed ? ids : std::vector<int64_t>())
        if (id <= 0)
            std::abort();
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && text[first] == '[')
        return;
    std::vector<int64_t> bracketed;
    if (SRV_RestService::ParseIdList("[" + text + "]", Max, bracketed) != parsed ||
        (parsed && bracketed != ids))
        std::abort();
}

// The value of a short call id in thousandths, for checking the exact comparison; false when
// the id is too long to hold.
bool SmallValue(const std::string& id, uint64_t& value)
{
    const size_t dot = id.find('.');
    const std::string whole = id.substr(0, dot);
    std::string fraction = dot == std::string::npos ? "" : id.substr(dot + 1);
    while (!fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    if (whole.size() > 15 || fraction.size() > 3)
        return false;
    fraction.resize(3, '0');
    value = std::stoull(whole) * 1000 + std::stoull(fraction);
    return true;
}

void CheckCallIds(const std::string& text)
{
    std::vector<std::string> ids;
    for (const std::string& id : Split(text, "\n"))
        if (ids.size() < 3 && SRV_RestService::CallIdValid(id))
            ids.push_back(id);
    for (const std::string& a : ids)
    {
        if (SRV_RestService::CompareCallIds(a, a) != 0)
            std::abort();
        for (const std::string& b : ids)
        {
            const int ab = SRV_RestService::CompareCallIds(a, b);
            if (ab < -1 || ab > 1 || ab != -SRV_RestService::CompareCallIds(b, a))
                std::abort();
            uint64_t x = 0, y = 0;
            if (SmallValue(a, x) && SmallValue(b, y) && ab != (x < y ? -1 : x > y ? 1 : 0))
                std::abort();
            for (const std::string& c : ids)
                if (ab <= 0 && SRV_RestService::CompareCallIds(b, c) <= 0 &&
                    SRV_RestService::CompareCallIds(a, c) > 0)
                    std::abort();
        }
    }
}

// Whether `text` is UTF-8 made only of characters XML 1.0 allows.
bool XmlCharacters(const std::string& text)
{
    for (size_t i = 0; i < text.size();)
    {
        const unsigned char lead = static_cast<unsigned char>(text[i]);
        uint32_t code;
        size_t length;
        if (lead < 0x80)
            code = lead, length = 1;
        else if (lead >= 0xc2 && lead <= 0xdf)
            code = lead & 0x1fu, length = 2;
        else if (lead >= 0xe0 && lead <= 0xef)
            code = lead & 0x0fu, length = 3;
        else if (lead >= 0xf0 && lead <= 0xf4)
            code = lead & 0x07u, length = 4;
        else
            return false;
        if (i + length > text.size())
            return false;
        for (size_t k = 1; k < length; ++k)
        {
            const unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3fu);
        }
        const uint32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < minimum[length])
            return false;
        const bool allowed =
            code == 0x9 || code == 0xa || code == 0xd || (code >= 0x20 && code <= 0xd7ff) ||
            (code >= 0xe000 && code <= 0xfffd) || (code >= 0x10000 && code <= 0x10ffff);
        if (!allowed)
            return false;
        i += length;
    }
    return true;
}

bool SessionMethod(std::string name)
{
    if (name.compare(0, 9, "facebook.") == 0)
        name = name.substr(9);
    return name == "friends.get" || name == "users.getInfo" || name == "friends.areFriends";
}

void CheckCalls(FuzzServer& server, const std::string& text)
{
    server.ResetSession();
    std::string lastCallId;
    const std::vector<std::string> calls = Split(text, "\n--\n");
    for (size_t n = 0; n < calls.size() && n < 8; ++n)
    {
        SRV_Params params;
        for (const std::string& line : Split(calls[n], "\n"))
        {
            const size_t equals = line.find('=');
            if (equals != std::string::npos)
                params[line.substr(0, equals)] = line.substr(equals + 1);
        }
        const std::string method = params.count("method") ? params["method"] : "";
        const bool session = SessionMethod(method);
        // A call the viewer would make: standard parameters as they should be, signed.
        const bool standard = !params.count("api_key") && !params.count("v") &&
                              !params.count("session_key") && !params.count("sig");
        params.emplace("api_key", UTL_FacebookConfig::ApiKey);
        params.emplace("v", "1.0");
        if (session)
            params.emplace("session_key", FuzzServer::SessionKey);
        if (!params.count("sig"))
            params["sig"] = SRV_RestService::Sign(params, session ? FuzzServer::SessionSecret
                                                                  : UTL_FacebookConfig::AppSecret);

        const std::string answer = server.service->Handle(params, "http://127.0.0.1:8765");
        if (!XmlCharacters(answer))
            std::abort();
        TiXmlDocument doc;
        doc.Parse(answer.c_str());
        const TiXmlElement* root = doc.RootElement();
        if (doc.Error() || !root)
            std::abort();
        const std::string rootName = root->ValueStr();
        const bool refused = rootName == "error_response";
        if (!refused)
        {
            std::string expected =
                method.compare(0, 9, "facebook.") == 0 ? method.substr(9) : method;
            for (char& c : expected)
                if (c == '.')
                    c = '_';
            if (rootName != expected + "_response")
                std::abort();
        }
        if (session && standard)
        {
            // Past the earlier checks, a call is refused for its call_id exactly when the id
            // is malformed or does not grow.
            const auto callId = params.find("call_id");
            const bool grows = callId != params.end() &&
                               SRV_RestService::CallIdValid(callId->second) &&
                               (lastCallId.empty() ||
                                SRV_RestService::CompareCallIds(callId->second, lastCallId) > 0);
            const TiXmlElement* code = refused ? root->FirstChildElement("error_code") : nullptr;
            const bool callIdRefused =
                code && code->GetText() && std::string(code->GetText()) == "103";
            if (grows == callIdRefused)
                std::abort();
            if (grows)
                lastCallId = callId->second;
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzServer* server = new FuzzServer; // lives for the whole run
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3)
    {
    case 0:
        CheckIdList(text);
        break;
    case 1:
        CheckCallIds(text);
        break;
    default:
        CheckCalls(*server, text);
        break;
    }
    return 0;
}
