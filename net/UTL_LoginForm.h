#pragma once

#include <string>

// Logs in on the login page as a person would, without a browser: posts the page's form
// (email, pass, api_key, auth_token) and reads the answer. On success the server authorises the
// token for that person, and the client can exchange it for a session. Returns false with a
// reason in `error` when the page refuses the login or cannot be reached.
bool UTL_PostLoginForm(const std::string& loginPage, const std::string& apiKey,
                       const std::string& authToken, const std::string& email,
                       const std::string& password, std::string& error);
