#include "FuzzServer.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// The server's request handling from the first byte on: each input is everything a client sent
// on one connection (request lines, headers, URL-encoded and multipart bodies, query strings,
// several requests kept alive), served from memory through the same parsing, limits and
// handlers as on the network. Whatever arrives, the server answers or closes; it never crashes,
// hangs or grows without bound.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzServer* server = new FuzzServer; // lives for the whole run
    server->ResetSession();
    const std::string answer =
        server->http->ServeBytes(std::string(reinterpret_cast<const char*>(data), size));
    if (!answer.empty() && answer.compare(0, 9, "HTTP/1.1 ") != 0)
        std::abort(); // whatever is written back is an HTTP answer
    return 0;
}
