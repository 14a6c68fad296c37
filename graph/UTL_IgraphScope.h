#pragma once

#include <cstdint>
#include <mutex>
#include <string>

// The time during which this library uses igraph. igraph keeps its error handler, attribute
// handler and random number generator in process-wide state (the Debian build is not thread
// safe), so one scope at a time holds a lock over all of them. Inside a scope an igraph error
// never aborts the process: the failing call frees what it allocated and returns its error code,
// and Error() tells what went wrong in igraph's words (a parse error names the line). Vertex and
// graph attributes are kept by igraph's C attribute handler.
class UTL_IgraphScope
{
public:
    UTL_IgraphScope();
    ~UTL_IgraphScope();
    UTL_IgraphScope(const UTL_IgraphScope&) = delete;
    UTL_IgraphScope& operator=(const UTL_IgraphScope&) = delete;

    // The message of the last error inside this scope; empty when there was none.
    const std::string& Error() const;

    // Seeds igraph's default random number generator, for results that repeat.
    void Seed(uint64_t seed);

private:
    std::unique_lock<std::mutex> lock;
    // What was installed before, put back at the end of the scope.
    void* previousError = nullptr;
    void* previousWarning = nullptr;
    const void* previousAttributes = nullptr;
};
