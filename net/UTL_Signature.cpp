#include "net/UTL_Signature.h"

#include "net/UTL_Md5.h"

#include <algorithm>

std::string UTL_SignCall(std::vector<std::string> pairs, const std::string& secret)
{
    std::sort(pairs.begin(), pairs.end());
    std::string text;
    for (const std::string& pair : pairs)
        text += pair;
    return UTL_Md5().DigestString(text + secret);
}

std::string UTL_SignCall(const std::map<std::string, std::string>& params,
                         const std::string& secret)
{
    std::vector<std::string> pairs;
    pairs.reserve(params.size());
    for (const auto& [name, value] : params)
        if (name != "sig")
            pairs.push_back(name + "=" + value);
    return UTL_SignCall(std::move(pairs), secret);
}
