#pragma once

#include "server/SRV_NetworkMaker.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class SRV_Database;
class TiXmlDocument;
class TiXmlElement;
namespace httplib
{
class Client;
}

// Helpers shared by the server's tests: signing a call the way the viewer does, sending it, and
// reading answers.
namespace RestTestSupport
{
extern const char ApiKey[];
extern const char AppSecret[];

using Params = std::map<std::string, std::string>;

// The viewer's signature of the call (UTL_SignCall); a "sig" in `params` is left out.
std::string Signature(const Params& params, const std::string& secret);
// `params` with the standard ones added (api_key, v, method, call_id when given, session_key
// when given) and signed with `secret`.
Params Signed(const std::string& method, Params params, const std::string& secret,
              const std::string& sessionKey = "", const std::string& callId = "");

// `params` as an application/x-www-form-urlencoded body.
std::string FormEncode(const Params& params);
// Bounds every wait of `client` on the network, so that a broken server fails a test instead of
// hanging it.
void Bound(httplib::Client& client);

// Opens `database` in memory with the viewer's application and a generated network of `friends`
// friends, the account's password "halvane" hashed with two iterations (logins cost tests
// little). Fails the test (fatally) when it cannot.
void OpenSample(SRV_Database& database, int friends, uint64_t seed,
                SRV_NetworkMaker::Result& sample);

// The error code of an error_response answer, 0 when the answer is not one.
int ErrorCode(const std::string& xml);
// The text of the root's child elements called `name`, in order.
std::vector<std::string> Texts(const std::string& xml, const char* root, const char* name);
} // namespace RestTestSupport
