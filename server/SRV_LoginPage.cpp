#include "server/SRV_LoginPage.h"

#include "server/SRV_Markup.h"

namespace
{
using SRV_Markup::Escape;

std::string Page(const std::string& title, const std::string& body)
{
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           Escape(title) +
           "</title>\n<style>\n"
           "body{font-family:Helvetica,Arial,sans-serif;background:#e9ebee;color:#1d2129;"
           "margin:0}\n"
           ".bar{background:#3b5998;color:#fff;font-weight:bold;font-size:20px;padding:10px 16px}\n"
           ".box{background:#fff;border:1px solid #dddfe2;border-radius:4px;margin:16px auto;"
           "max-width:520px;padding:16px}\n"
           "label{display:block;margin:8px 0 2px}\n"
           "input[type=text],input[type=password]{width:100%;box-sizing:border-box;padding:6px}\n"
           "button{background:#4267b2;color:#fff;border:0;border-radius:3px;padding:7px 16px;"
           "margin-top:12px;font-weight:bold}\n"
           ".error{background:#ffebe8;border:1px solid #dd3c10;padding:8px;margin-bottom:8px}\n"
           "table{border-collapse:collapse;width:100%;font-size:13px}\n"
           "td,th{text-align:left;padding:3px 6px;border-bottom:1px solid #eee}\n"
           "</style>\n</head>\n<body>\n<div class=\"bar\">halvane</div>\n" +
           body + "</body>\n</html>\n";
}
} // namespace

std::string SRV_LoginPage::Form(const std::string& apiKey, const std::string& authToken,
                                const std::string& email, const std::string& errorMessage,
                                const std::vector<DemoAccount>& accounts)
{
    std::string body = "<div class=\"box\">\n<h2>Log in</h2>\n";
    if (!errorMessage.empty())
        body += "<div class=\"error\" id=\"error\">" + Escape(errorMessage) + "</div>\n";
    body += "<form method=\"post\" action=\"/login.php\">\n"
            "<input type=\"hidden\" name=\"api_key\" value=\"" +
            Escape(apiKey) +
            "\">\n"
            "<input type=\"hidden\" name=\"auth_token\" value=\"" +
            Escape(authToken) +
            "\">\n"
            "<label for=\"email\">Email</label>\n"
            "<input type=\"text\" id=\"email\" name=\"email\" autofocus value=\"" +
            Escape(email) +
            "\">\n"
            "<label for=\"pass\">Password</label>\n"
            "<input type=\"password\" id=\"pass\" name=\"pass\">\n"
            "<button type=\"submit\">Log in</button>\n"
            "</form>\n</div>\n";

    if (!accounts.empty())
    {
        body += "<div class=\"box\">\n<h3>Demo accounts</h3>\n<table>\n"
                "<tr><th>Email</th><th>Name</th><th>Friends</th><th>Password</th></tr>\n";
        for (const DemoAccount& account : accounts)
            body += "<tr><td>" + Escape(account.email) + "</td><td>" + Escape(account.name) +
                    "</td><td>" + std::to_string(account.friendCount) + "</td><td>" +
                    (account.password.empty() ? std::string("&mdash;") : Escape(account.password)) +
                    "</td></tr>\n";
        body += "</table>\n</div>\n";
    }
    return Page("Log in", body);
}

std::string SRV_LoginPage::LoggedIn(const std::string& name)
{
    return Page("Logged in", "<div class=\"box\" id=\"success\">\n<h2>You are logged in</h2>\n<p>"
                             "Welcome, " +
                                 Escape(name) +
                                 ".</p>\n<p>Press <b>Close</b> to see your friends.</p>\n</div>\n");
}

std::string SRV_LoginPage::BadToken()
{
    return Page("Login expired",
                "<div class=\"box\">\n<h2>This login has expired</h2>\n<p>The application's "
                "request to log in is unknown or too old. Close this window and start again.</p>\n"
                "</div>\n");
}
