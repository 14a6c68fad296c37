#pragma once

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <functional>

// One accepted connection as the HTTP library reads and writes it, with the time limits that keep
// a slow or silent client from holding a request thread: each read or write must make progress
// within `io`, a request's line and headers must have arrived within `header` of its start, and
// the whole request, body included, within `request`. Reads come from a buffer of their own, so
// a request's bytes are fetched in blocks and bytes of the next request (a pipelining client)
// wait there for it.
//
// Threading: one request thread uses a connection; `stopping` is asked from it.
class SRV_Connection : public httplib::Stream
{
public:
    using Clock = std::chrono::steady_clock;

    struct Limits
    {
        std::chrono::milliseconds header{5000};
        std::chrono::milliseconds request{60000};
        std::chrono::milliseconds io{5000};
    };

    // Takes no ownership of `socket`. `stopping` ends every wait early when it turns true.
    SRV_Connection(int socket, const Limits& limits, std::function<bool()> stopping);

    // Starts the clocks of the next request at `start`.
    void BeginRequest(Clock::time_point start);
    // Waits until bytes of a next request are there: false when the client closed the
    // connection, `until` passed, or `giveUp` (asked every few tens of milliseconds) said so.
    bool AwaitRequest(Clock::time_point until, const std::function<bool()>& giveUp);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return sock; }

private:
    // Waits for `events` on the socket until `until`, in slices so that `stopping` is heeded.
    bool Poll(short events, Clock::time_point until) const;
    // Reads what has arrived into the buffer, waiting until the current deadline: false at the
    // end of the connection, on an error or when the time is up.
    bool Fill();
    Clock::time_point ReadDeadline() const;

    const int sock;
    const Limits limits;
    const std::function<bool()> stopping;
    char buffer[4096];
    size_t begin = 0, end = 0;
    Clock::time_point headerDeadline, requestDeadline;
    bool headersDone = false;
    int blankLine = 0; // how much of "\r\n\r\n" the bytes handed out so far end with
};
