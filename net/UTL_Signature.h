#pragma once

#include <map>
#include <string>
#include <vector>

// The signature of a REST call, as the viewer signs its calls and the server checks them: the
// MD5, as 32 lowercase hexadecimal digits, of the call's "name=value" strings sorted byte-wise
// and joined, followed by the secret. Byte order of the whole strings puts "uids1=" before
// "uids=", where an order by name alone would not. No state; any thread.
std::string UTL_SignCall(std::vector<std::string> pairs, const std::string& secret);
// The same over named parameters; a "sig" among them (the signature itself) is left out.
std::string UTL_SignCall(const std::map<std::string, std::string>& params,
                         const std::string& secret);
