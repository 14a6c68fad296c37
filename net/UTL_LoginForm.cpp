#include "net/UTL_LoginForm.h"

#include <curl/curl.h>
#include <memory>

namespace
{
size_t Collect(char* data, size_t size, size_t count, void* userData)
{
    auto* body = static_cast<std::string*>(userData);
    if (body->size() > (1u << 20)) // a login page is small; stop reading a runaway answer
        return 0;
    body->append(data, size * count);
    return size * count;
}
} // namespace

bool UTL_PostLoginForm(const std::string& loginPage, const std::string& apiKey,
                       const std::string& authToken, const std::string& email,
                       const std::string& password, std::string& error)
{
    std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
    if (!curl)
    {
        error = "Could not initialize curl.";
        return false;
    }
    auto escape = [&](const std::string& value)
    {
        char* escaped = curl_easy_escape(curl.get(), value.c_str(), static_cast<int>(value.size()));
        std::string result = escaped ? escaped : "";
        curl_free(escaped);
        return result;
    };
    const std::string form = "email=" + escape(email) + "&pass=" + escape(password) +
                             "&api_key=" + escape(apiKey) + "&auth_token=" + escape(authToken);
    std::string body;
    long status = 0;
    curl_easy_setopt(curl.get(), CURLOPT_URL, loginPage.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_POSTFIELDS, form.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_WRITEFUNCTION, Collect);
    curl_easy_setopt(curl.get(), CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 10L);
    curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
    const CURLcode result = curl_easy_perform(curl.get());
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    if (result != CURLE_OK)
    {
        error = std::string("cannot reach the login page: ") + curl_easy_strerror(result);
        return false;
    }
    if (status != 200)
    {
        error = "the login page answered HTTP " + std::to_string(status);
        return false;
    }
    return true;
}
