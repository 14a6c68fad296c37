#include "RestTestSupport.h"

#include "net/UTL_FacebookClient.h"
#include "net/UTL_FacebookConfig.h"
#include "net/UTL_Signature.h"
#include "server/SRV_Database.h"
#include "server/SRV_Names.h"

#include <algorithm>

#include <gtest/gtest.h>
#include <httplib.h>
#include <tinyxml.h>

namespace RestTestSupport
{
const char ApiKey[] = "3b9f0c2e7a14d6580e2c9a7b41f05d36";
const char AppSecret[] = "a0d4e8c61b29f7350c8e2d4b96a17f52";

std::string Signature(const Params& params, const std::string& secret)
{
    return UTL_SignCall(params, secret);
}

Params Signed(const std::string& method, Params params, const std::string& secret,
              const std::string& sessionKey, const std::string& callId)
{
    params["method"] = method;
    params.emplace("api_key", ApiKey);
    params.emplace("v", "1.0");
    if (!callId.empty())
        params["call_id"] = callId;
    if (!sessionKey.empty())
        params["session_key"] = sessionKey;
    params["sig"] = Signature(params, secret);
    return params;
}

std::string FormEncode(const Params& params)
{
    std::string body;
    for (const auto& [key, value] : params)
        body += (body.empty() ? "" : "&") + key + "=" + UTL_FacebookClient::EncodeFormValue(value);
    return body;
}

void Bound(httplib::Client& client)
{
    client.set_connection_timeout(5);
    client.set_read_timeout(15);
    client.set_write_timeout(15);
}

void OpenSample(SRV_Database& database, int friends, uint64_t seed,
                SRV_NetworkMaker::Result& sample)
{
    std::string error;
    ASSERT_TRUE(database.Open(":memory:", error)) << error;
    database.AddApplication(ApiKey, AppSecret, "Halvane");
    SRV_NetworkMaker maker(database, SRV_Names::Builtin(), "halvane", 2);
    ASSERT_TRUE(maker.MakeSample(friends, seed, sample, error)) << error;
}

int ErrorCode(const std::string& xml)
{
    TiXmlDocument doc;
    doc.Parse(xml.c_str());
    const TiXmlElement* root = doc.FirstChildElement("error_response");
    const TiXmlElement* code = root ? root->FirstChildElement("error_code") : nullptr;
    return code && code->GetText() ? std::stoi(code->GetText()) : 0;
}

std::vector<std::string> Texts(const std::string& xml, const char* root, const char* name)
{
    TiXmlDocument doc;
    doc.Parse(xml.c_str());
    std::vector<std::string> texts;
    const TiXmlElement* top = doc.FirstChildElement(root);
    for (const TiXmlElement* e = top ? top->FirstChildElement(name) : nullptr; e;
         e = e->NextSiblingElement(name))
        texts.push_back(e->GetText() ? e->GetText() : "");
    return texts;
}
} // namespace RestTestSupport
