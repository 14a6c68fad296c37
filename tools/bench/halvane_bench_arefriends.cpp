// Benchmark of the stand-in server with the largest circles the viewer is made for: a generated
// network of 5,000 friends, a viewer client with a session, then friends.get, users.getInfo for
// everyone, friends.areFriends for 6,000 random pairs (over HTTP on loopback and in-process), and
// 2,000 picture downloads the way the viewer makes them (a new transfer each), first made and
// then cached. Prints the figures; fails only when a call fails.
#include "net/UTL_FacebookClient.h"
#include "net/UTL_FacebookConfig.h"
#include "net/UTL_XmlAnswer.h"
#include "server/SRV_SampleServer.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <curl/curl.h>
#include <tinyxml.h>

namespace
{
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

int Fail(const std::string& what)
{
    std::fprintf(stderr, "halvane-bench-arefriends: %s\n", what.c_str());
    return 1;
}

struct Timing
{
    double best = 1e300;
    double median = 0;
};

template <class Work> Timing Measure(int repeats, Work&& work)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i)
    {
        const auto start = Clock::now();
        work();
        times.push_back(Milliseconds(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2]};
}

constexpr char Usage[] =
    "Usage: halvane-bench-arefriends [FRIENDS [PAIRS [REPEATS]]]\n"
    "Times the stand-in server with a generated circle of FRIENDS friends (2 to 50000, default\n"
    "5000): friends.get, users.getInfo for everyone, friends.areFriends for PAIRS random pairs\n"
    "(1 to 20000, default 6000), each REPEATS times (1 to 1000, default 7), and the picture\n"
    "downloads.\n";

// A whole decimal number within [low, high]; false for anything else.
bool ParseCount(const char* text, int low, int high, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || parsed < low || parsed > high)
        return false;
    value = int(parsed);
    return true;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0))
    {
        std::fputs(Usage, stdout);
        return 0;
    }
    int friendCount = 5000, pairCount = 6000, repeats = 7;
    if (argc > 4 || (argc > 1 && !ParseCount(argv[1], 2, 50000, friendCount)) ||
        (argc > 2 && !ParseCount(argv[2], 1, 20000, pairCount)) ||
        (argc > 3 && !ParseCount(argv[3], 1, 1000, repeats)))
    {
        std::fprintf(stderr, "halvane-bench-arefriends: bad arguments\n%s", Usage);
        return 2;
    }

    SRV_SampleServer sample;
    std::string error;
    auto start = Clock::now();
    if (!sample.Start(friendCount, 1, error))
        return Fail(error);
    std::printf("network: %d friends, %lld friendships among them (generated in %.0f ms)\n",
                friendCount, static_cast<long long>(sample.Sample().friendships),
                Milliseconds(Clock::now() - start));

    UTL_FacebookClient client(UTL_FacebookConfig::ApiKey, UTL_FacebookConfig::AppSecret,
                              "127.0.0.1:" + std::to_string(sample.Port()) + "/restserver.php");
    SRV_Account account;
    if (!client.Init() ||
        sample.Service().Login(UTL_FacebookConfig::ApiKey, client.GetAuthToken(),
                               sample.Sample().email, SRV_SampleServer::Password,
                               account) != SRV_RestService::LoginResult::LoggedIn ||
        !client.GetSession())
        return Fail("cannot log in");

    // friends.get
    std::vector<std::string> friends;
    const Timing friendsGet =
        Measure(repeats,
                [&]
                {
                    std::string answer;
                    client.CallMethod("facebook.friends.get", {}, answer);
                    TiXmlDocument doc;
                    UTL_XmlAnswer::Parse(answer, doc);
                    friends.clear();
                    const TiXmlElement* root = doc.FirstChildElement("friends_get_response");
                    for (const TiXmlElement* e = root ? root->FirstChildElement("uid") : nullptr; e;
                         e = e->NextSiblingElement("uid"))
                        friends.push_back(e->GetText());
                });
    if (int(friends.size()) != friendCount)
        return Fail("friends.get gave " + std::to_string(friends.size()) + " friends");
    std::printf("friends.get, %zu uids, over HTTP with parsing: best %.1f ms, median %.1f ms\n",
                friends.size(), friendsGet.best, friendsGet.median);

    // users.getInfo for the user and every friend
    std::string ids = client.GetUid();
    for (const std::string& uid : friends)
        ids += "," + uid;
    size_t answerBytes = 0;
    const Timing getInfo = Measure(
        repeats,
        [&]
        {
            std::string answer;
            client.CallMethod(
                "facebook.users.getInfo",
                {"uids=" + ids, "fields=name,status,pic,pic_big,pic_small,pic_square"}, answer);
            answerBytes = answer.size();
        });
    std::printf("users.getInfo, %zu people, over HTTP: best %.1f ms, median %.1f ms (%zu KiB)\n",
                friends.size() + 1, getInfo.best, getInfo.median, answerBytes / 1024);

    // The picture addresses users.getInfo hands out, for the downloads at the end.
    std::string info;
    client.CallMethod("facebook.users.getInfo", {"uids=" + ids, "fields=pic"}, info);
    std::vector<std::string> pictures;
    for (size_t at = info.find("<pic>"); at != std::string::npos && pictures.size() < 2000;
         at = info.find("<pic>", at + 1))
        pictures.push_back(info.substr(at + 5, info.find('<', at + 5) - at - 5));

    // friends.areFriends for random pairs of friends
    std::mt19937 random(5);
    std::uniform_int_distribution<size_t> pick(0, friends.size() - 1);
    std::string uids1, uids2;
    for (int i = 0; i < pairCount; ++i)
    {
        size_t a = pick(random), b = pick(random);
        while (b == a)
            b = pick(random);
        uids1 += (i ? "," : "") + friends[a];
        uids2 += (i ? "," : "") + friends[b];
    }
    int found = 0;
    const Timing http =
        Measure(repeats,
                [&]
                {
                    std::string answer;
                    client.CallMethod("facebook.friends.areFriends",
                                      {"uids1=" + uids1, "uids2=" + uids2}, answer);
                    found = 0;
                    for (size_t at = answer.find("<are_friends>1<"); at != std::string::npos;
                         at = answer.find("<are_friends>1<", at + 1))
                        ++found;
                });
    if (found == 0)
        return Fail("friends.areFriends found no friends");
    std::printf("friends.areFriends, %d pairs, over HTTP: best %.1f ms, median %.1f ms "
                "(%d are friends, body %zu KiB)\n",
                pairCount, http.best, http.median, found, (uids1.size() + uids2.size()) / 1024);

    // The same batch without HTTP, signed by hand with the session's own rule.
    SRV_Params params = {{"method", "friends.areFriends"},
                         {"api_key", UTL_FacebookConfig::ApiKey},
                         {"session_key", client.GetSessionKey()},
                         {"v", "1.0"},
                         {"uids1", uids1},
                         {"uids2", uids2}};
    SRV_Session session;
    sample.Database().FindSession(client.GetSessionKey(), session);
    int callId = 1'000'000;
    const Timing direct = Measure(repeats,
                                  [&]
                                  {
                                      params["call_id"] = std::to_string(++callId);
                                      params["sig"] = SRV_RestService::Sign(params, session.secret);
                                      sample.Service().Handle(params, "http://127.0.0.1");
                                  });
    std::printf("friends.areFriends, %d pairs, in-process: best %.1f ms, median %.1f ms\n",
                pairCount, direct.best, direct.median);

    // Pictures, each fetched with a transfer of its own, as the viewer's loader does.
    auto download = [&](size_t& bytes) -> bool
    {
        bytes = 0;
        for (const std::string& url : pictures)
        {
            CURL* handle = curl_easy_init();
            std::string body;
            curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
            curl_easy_setopt(
                handle, CURLOPT_WRITEFUNCTION,
                +[](char* data, size_t size, size_t count, void* out)
                {
                    static_cast<std::string*>(out)->append(data, size * count);
                    return size * count;
                });
            curl_easy_setopt(handle, CURLOPT_WRITEDATA, &body);
            const bool ok = curl_easy_perform(handle) == CURLE_OK;
            curl_easy_cleanup(handle);
            if (!ok || body.size() < 4)
                return false;
            bytes += body.size();
        }
        return true;
    };
    size_t bytes = 0;
    start = Clock::now();
    if (!download(bytes))
        return Fail("a picture download failed");
    const double made = Milliseconds(Clock::now() - start);
    start = Clock::now();
    download(bytes);
    const double cached = Milliseconds(Clock::now() - start);
    std::printf("pictures, %zu of 100 x 133 (%zu KiB), one transfer each: %.0f ms when made, "
                "%.0f ms cached\n",
                pictures.size(), bytes / 1024, made, cached);
    return 0;
}
