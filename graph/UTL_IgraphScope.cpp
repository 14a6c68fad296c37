#include "graph/UTL_IgraphScope.h"

#include <igraph.h>

namespace
{
std::mutex igraphMutex;
std::string lastError; // guarded by igraphMutex

void OnError(const char* reason, const char* /*file*/, int /*line*/, igraph_error_t code)
{
    // The first error is the cause; igraph may report the same failure again on its way out.
    if (lastError.empty())
        lastError = reason && *reason ? reason : igraph_strerror(code);
    IGRAPH_FINALLY_FREE();
}

void OnWarning(const char* /*reason*/, const char* /*file*/, int /*line*/)
{
    // Warnings (an unknown GraphML attribute type, a directed edge in an undirected file) are
    // about what igraph read past; the result is still checked by the reader.
}
} // namespace

UTL_IgraphScope::UTL_IgraphScope() : lock(igraphMutex)
{
    lastError.clear();
    previousError = reinterpret_cast<void*>(igraph_set_error_handler(&OnError));
    previousWarning = reinterpret_cast<void*>(igraph_set_warning_handler(&OnWarning));
    previousAttributes = igraph_set_attribute_table(&igraph_cattribute_table);
}

UTL_IgraphScope::~UTL_IgraphScope()
{
    igraph_set_attribute_table(static_cast<const igraph_attribute_table_t*>(previousAttributes));
    igraph_set_warning_handler(reinterpret_cast<igraph_warning_handler_t*>(previousWarning));
    igraph_set_error_handler(reinterpret_cast<igraph_error_handler_t*>(previousError));
}

const std::string& UTL_IgraphScope::Error() const
{
    return lastError;
}

void UTL_IgraphScope::Seed(uint64_t seed)
{
    igraph_rng_seed(igraph_rng_default(), igraph_uint_t(seed));
}
