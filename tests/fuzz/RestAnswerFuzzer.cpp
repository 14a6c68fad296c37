#include "net/UTL_AreFriendsAnswer.h"
#include "net/UTL_FacebookClient.h"
#include "net/UTL_FriendReceiver.h"
#include "net/UTL_NetworkSession.h"
#include "net/UTL_XmlAnswer.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>
#include <tinyxml.h>

// The viewer's walks of the REST answers: createToken, getSession, friends.get, users.getInfo
// and friends.areFriends. The first byte of an input picks the method, the rest is that method's
// answer. The viewer's own client and session make the calls, over a connection to a server on
// loopback inside this process that answers the picked method with the input and every other
// method as a real server would, so that the walk of the picked answer is reached with the
// state it has in the viewer. One connection serves the whole run.
namespace
{
const char XmlHead[] = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
const char Self[] = "100";
const char* const Friends[] = {"1", "2", "3"};

std::string Element(const std::string& name, const std::string& text)
{
    return "<" + name + ">" + text + "</" + name + ">";
}

// Hands nothing on; checks that what arrives is what a scene could hold.
class CheckingReceiver : public UTL_FriendReceiver
{
public:
    void SetSelf(const std::string& id, const std::string&, const std::string&,
                 const std::string&) override
    {
        if (id != Self)
            std::abort(); // only the record of the session's user is the user
    }
    void AddFriend(const std::string& id, const std::string&, const std::string&,
                   const std::string&) override
    {
        if (id == Self)
            std::abort();
        ids.push_back(id);
    }
    void LayoutFriends() override {}
    void ConnectSelf() override {}
    void ConnectFriends(const std::string&, const std::string&, float, bool) override {}
    int GetFriendCount() const override { return static_cast<int>(ids.size()); }
    const std::string& GetFriendId(int index) const override
    {
        if (index < 0 || size_t(index) >= ids.size())
            std::abort();
        return ids[size_t(index)];
    }

    std::vector<std::string> ids;
};

// The friendships of an areFriends answer as the TinyXML walk finds them.
UTL_AreFriendsAnswer::Friends WalkWithTinyXml(const std::string& answer)
{
    UTL_AreFriendsAnswer::Friends friends;
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

class Network
{
public:
    Network()
    {
        server.Post("/restserver.php",
                    [this](const httplib::Request& request, httplib::Response& response) {
                        response.set_content(Answer(request.get_param_value("method")), "text/xml");
                    });
        server.set_keep_alive_max_count(size_t(1) << 30);
        server.set_keep_alive_timeout(3600);
        server.set_tcp_nodelay(true);
        server.new_task_queue = [] { return new httplib::ThreadPool(1); };
        port = server.bind_to_any_port("127.0.0.1");
        if (port <= 0)
            std::abort();
        thread = std::thread([this] { server.listen_after_bind(); });
        while (!server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));

        session = std::make_unique<UTL_NetworkSession>(
            UTL_NetworkSession::ForServer("127.0.0.1:" + std::to_string(port)), &receiver);
        session->SetTimeouts(std::chrono::seconds(5), std::chrono::seconds(20));
        if (!session->StartLogin())
            std::abort();
    }

    // The answer of `method` to every call until the next Fuzz.
    void Fuzz(const std::string& method, std::string answer)
    {
        std::lock_guard<std::mutex> lock(mutex);
        fuzzedMethod = method;
        fuzzedAnswer = std::move(answer);
    }

    std::string Answer(const std::string& method)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (method == fuzzedMethod)
                return fuzzedAnswer;
        }
        if (method == "facebook.auth.createToken")
            return XmlHead + Element("auth_createToken_response", "0123456789abcdef");
        if (method == "facebook.auth.getSession")
            return XmlHead + Element("auth_getSession_response", Element("session_key", "key-100") +
                                                                     Element("uid", Self) +
                                                                     Element("secret", "secret"));
        if (method == "facebook.friends.get")
        {
            std::string uids;
            for (const char* uid : Friends)
                uids += Element("uid", uid);
            return XmlHead + Element("friends_get_response", uids);
        }
        if (method == "facebook.users.getInfo")
        {
            std::string users;
            for (const char* uid : {Self, "1", "2", "3"})
                users += Element("user", Element("uid", uid) + Element("name", "N") +
                                             Element("pic", "http://127.0.0.1/p.jpg") +
                                             Element("pic_square", "http://127.0.0.1/s.jpg"));
            return XmlHead + Element("users_getInfo_response", users);
        }
        return XmlHead + Element("error_response", Element("error_code", "3"));
    }

    httplib::Server server;
    std::thread thread;
    int port = 0;
    CheckingReceiver receiver;
    std::unique_ptr<UTL_NetworkSession> session;

private:
    std::mutex mutex;
    std::string fuzzedMethod;
    std::string fuzzedAnswer;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Network* network = new Network; // lives for the whole run
    if (size == 0)
        return 0;
    static const char* const Methods[] = {"facebook.auth.createToken", "facebook.auth.getSession",
                                          "facebook.friends.get", "facebook.users.getInfo",
                                          "facebook.friends.areFriends"};
    const size_t pick = data[0] % 5;
    network->Fuzz(Methods[pick], std::string(reinterpret_cast<const char*>(data + 1), size - 1));

    UTL_NetworkSession& session = *network->session;
    UTL_FacebookClient& client = *session.GetClient();
    network->receiver.ids.clear();
    switch (pick)
    {
    case 0:
        client.CreateToken();
        break;
    case 1:
        client.GetSession();
        break;
    case 2:
    case 3:
        session.OnLoginClosed();
        break;
    default:
    {
        // What the quick reader takes, it reads exactly as TinyXML does.
        const std::string answer(reinterpret_cast<const char*>(data + 1), size - 1);
        UTL_AreFriendsAnswer::Friends quick;
        if (UTL_AreFriendsAnswer::ReadPlain(answer, quick) && quick != WalkWithTinyXml(answer))
            std::abort();
        network->receiver.ids.assign(std::begin(Friends), std::end(Friends));
        session.QueryFriendships();
        break;
    }
    }
    return 0;
}
