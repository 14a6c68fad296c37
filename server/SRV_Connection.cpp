#include "server/SRV_Connection.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

namespace
{
// The longest a wait goes without asking whether to stop.
constexpr std::chrono::milliseconds PollSlice{50};

void AddressOf(int socket, bool peer, std::string& ip, int& port)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    auto* raw = reinterpret_cast<sockaddr*>(&address);
    ip.clear();
    port = 0;
    if ((peer ? getpeername(socket, raw, &length) : getsockname(socket, raw, &length)) != 0)
        return;
    char host[NI_MAXHOST], service[NI_MAXSERV];
    if (getnameinfo(raw, length, host, sizeof host, service, sizeof service,
                    NI_NUMERICHOST | NI_NUMERICSERV) != 0)
        return;
    ip = host;
    port = std::atoi(service);
}
} // namespace

SRV_Connection::SRV_Connection(int socket, const Limits& limits, std::function<bool()> stopping)
    : sock(socket), limits(limits), stopping(std::move(stopping))
{
    // An answer leaves in two writes, its head and then its body. With Nagle's algorithm the
    // second waits until the client acknowledges the first, and a client delays that
    // acknowledgement by some 40 ms: every answer after the first on a kept-alive connection
    // would wait that long. (Fails harmlessly on a socket that is not TCP.)
    int yes = 1;
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    BeginRequest(Clock::now());
}

void SRV_Connection::BeginRequest(Clock::time_point start)
{
    headerDeadline = start + limits.header;
    requestDeadline = start + limits.request;
    headersDone = false;
    blankLine = 0;
}

bool SRV_Connection::AwaitRequest(Clock::time_point until, const std::function<bool()>& giveUp)
{
    while (begin == end)
    {
        const Clock::time_point slice = std::min(until, Clock::now() + PollSlice);
        if (Poll(POLLIN, slice))
        {
            const ssize_t n = ::recv(sock, buffer, sizeof buffer, 0);
            if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN))
                return false;
            if (n > 0)
                begin = 0, end = size_t(n);
        }
        else if (Clock::now() >= until || (stopping && stopping()) || (giveUp && giveUp()))
            return false;
    }
    return true;
}

bool SRV_Connection::Poll(short events, Clock::time_point until) const
{
    for (;;)
    {
        const auto now = Clock::now();
        if (now >= until || (stopping && stopping()))
            return false;
        const auto wait =
            std::min(std::chrono::duration_cast<std::chrono::milliseconds>(until - now), PollSlice);
        pollfd p{sock, events, 0};
        const int ready =
            ::poll(&p, 1, int(std::max<std::chrono::milliseconds::rep>(1, wait.count())));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR)
            return false;
    }
}

SRV_Connection::Clock::time_point SRV_Connection::ReadDeadline() const
{
    return std::min(headersDone ? requestDeadline : headerDeadline, Clock::now() + limits.io);
}

bool SRV_Connection::Fill()
{
    const Clock::time_point until = ReadDeadline();
    while (Poll(POLLIN, until))
    {
        const ssize_t n = ::recv(sock, buffer, sizeof buffer, 0);
        if (n > 0)
        {
            begin = 0;
            end = size_t(n);
            return true;
        }
        if (n == 0 || (errno != EINTR && errno != EAGAIN))
            return false;
    }
    return false;
}

bool SRV_Connection::is_readable() const
{
    return begin < end || Poll(POLLIN, ReadDeadline());
}

bool SRV_Connection::is_writable() const
{
    return Poll(POLLOUT, Clock::now() + limits.io);
}

ssize_t SRV_Connection::read(char* ptr, size_t size)
{
    if (size == 0)
        return 0;
    if (begin == end && !Fill())
        return -1;
    const size_t n = std::min(size, end - begin);
    std::memcpy(ptr, buffer + begin, n);
    begin += n;
    // Past the blank line that ends the headers the longer limit of the whole request applies.
    for (size_t i = 0; i < n && !headersDone; ++i)
    {
        const char c = ptr[i];
        if (c == '\r')
            blankLine = blankLine == 2 ? 3 : 1;
        else if (c == '\n' && (blankLine == 1 || blankLine == 3))
            ++blankLine;
        else
            blankLine = 0;
        headersDone = blankLine == 4;
    }
    return ssize_t(n);
}

ssize_t SRV_Connection::write(const char* ptr, size_t size)
{
    if (!Poll(POLLOUT, Clock::now() + limits.io))
        return -1;
    ssize_t n;
    do
        n = ::send(sock, ptr, size, MSG_NOSIGNAL);
    while (n < 0 && errno == EINTR);
    return n;
}

void SRV_Connection::get_remote_ip_and_port(std::string& ip, int& port) const
{
    AddressOf(sock, true, ip, port);
}

void SRV_Connection::get_local_ip_and_port(std::string& ip, int& port) const
{
    AddressOf(sock, false, ip, port);
}
