#include "server/SRV_Options.h"

#include "net/UTL_FacebookConfig.h"
#include "server/SRV_NetworkMaker.h"

namespace
{
bool ParseInt(const std::string& text, int low, int high, int& value)
{
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long parsed = std::stol(text);
    if (parsed < low || parsed > high)
        return false;
    value = int(parsed);
    return true;
}
} // namespace

SRV_Options::SRV_Options()
    : host(UTL_FacebookConfig::DefaultHost), port(UTL_FacebookConfig::DefaultPort)
{
}

bool SRV_Options::Parse(const std::vector<std::string>& arguments, std::string& error)
{
    for (size_t i = 0; i < arguments.size(); ++i)
    {
        std::string option = arguments[i];
        std::string value;
        bool hasValue = false;
        // Both "--port 8765" and "--port=8765".
        const size_t equals = option.find('=');
        if (option.compare(0, 2, "--") == 0 && equals != std::string::npos)
        {
            value = option.substr(equals + 1);
            option = option.substr(0, equals);
            hasValue = true;
        }
        auto take = [&]() -> bool
        {
            if (hasValue)
                return true;
            if (i + 1 >= arguments.size())
            {
                error = option + " needs a value";
                return false;
            }
            value = arguments[++i];
            return true;
        };
        auto flag = [&]() -> bool
        {
            if (hasValue)
                error = option + " takes no value";
            return !hasValue;
        };

        if (option == "--help" || option == "-h")
        {
            if (!flag())
                return false;
            help = true;
        }
        else if (option == "--list-accounts")
        {
            if (!flag())
                return false;
            listAccounts = true;
        }
        else if (option == "--log-requests")
        {
            if (!flag())
                return false;
            logRequests = true;
        }
        else if (option == "--host")
        {
            if (!take())
                return false;
            if (value.empty())
            {
                error = "--host needs an address";
                return false;
            }
            host = value;
        }
        else if (option == "--port")
        {
            if (!take())
                return false;
            if (!ParseInt(value, 0, 65535, port))
            {
                error = "--port must be a number from 0 to 65535, not '" + value + "'";
                return false;
            }
        }
        else if (option == "--db")
        {
            if (!take())
                return false;
            if (value.empty())
            {
                error = "--db needs a path";
                return false;
            }
            database = value;
        }
        else if (option == "--sample")
        {
            if (!take())
                return false;
            if (!ParseInt(value, 0, SRV_NetworkMaker::MaxSampleFriends, sample))
            {
                error = "--sample must be a number from 0 to " +
                        std::to_string(SRV_NetworkMaker::MaxSampleFriends) + ", not '" + value +
                        "'";
                return false;
            }
        }
        else if (option == "--import-ego")
        {
            if (!take())
                return false;
            egoFiles.push_back(value);
        }
        else if (option == "--demo-password")
        {
            if (!take())
                return false;
            if (value.empty())
            {
                error = "--demo-password must not be empty";
                return false;
            }
            demoPassword = value;
        }
        else
        {
            error = "unknown option '" + arguments[i] + "'";
            return false;
        }
    }
    return true;
}

std::string SRV_Options::Usage()
{
    return "Usage: halvane-server [OPTIONS]\n"
           "\n"
           "A stand-in social network for the Halvane viewer: the REST API (auth.createToken,\n"
           "auth.getSession, friends.get, users.getInfo, friends.areFriends) at\n"
           "/restserver.php, the login page at /login.php and profile pictures under /photos/.\n"
           "When ready it prints 'listening on http://HOST:PORT'.\n"
           "\n"
           "Options:\n"
           "  --host HOST           address to listen on (default " +
           std::string(UTL_FacebookConfig::DefaultHost) +
           ")\n"
           "  --port PORT           port to listen on, 0 for any free one (default " +
           std::to_string(UTL_FacebookConfig::DefaultPort) +
           ",\n"
           "                        the port the viewer calls)\n"
           "  --db PATH             SQLite database file, created when missing (default " +
           DefaultDatabase +
           ")\n"
           "  --sample N            when the database holds no people, generate an account with\n"
           "                        N friends in several communities (default " +
           std::to_string(DefaultSample) +
           ")\n"
           "  --import-ego FILE     import a SNAP ego network N.edges: ego N becomes an account,\n"
           "                        every node a friend of it, every line a friendship; may be\n"
           "                        given more than once; each file is one transaction\n"
           "  --demo-password PW    password of generated and imported accounts (default " +
           DefaultPassword +
           ")\n"
           "  --list-accounts       print uid, email, name and friend count of every account,\n"
           "                        tab-separated, most friends first, and exit\n"
           "  --log-requests        write a line per answered request to standard error\n"
           "                        (method, path, status; never parameters or passwords)\n"
           "  -h, --help            show this help and exit\n"
           "\n"
           "Imports run first; then, if the database holds nobody, the sample is generated.\n"
           "The viewer's application key and secret are registered in every database.\n";
}
