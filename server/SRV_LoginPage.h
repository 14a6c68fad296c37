#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The HTML of the login page that the viewer opens in its embedded browser: a form of email
// and password posted back with the API key and auth token, the list of demo accounts (so a
// visitor knows how to get in), and the pages after a login and for a token that cannot be used.
// Every value is escaped. Pure functions; safe from any thread.
namespace SRV_LoginPage
{
struct DemoAccount
{
    std::string email;
    std::string name;
    int64_t friendCount = 0;
    std::string password; // empty when the demo password does not open this account
};

std::string Form(const std::string& apiKey, const std::string& authToken, const std::string& email,
                 const std::string& errorMessage, const std::vector<DemoAccount>& accounts);
std::string LoggedIn(const std::string& name);
std::string BadToken();
} // namespace SRV_LoginPage
