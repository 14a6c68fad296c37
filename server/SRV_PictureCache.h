#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

// Encoded pictures kept after their first request, up to a byte budget; past it the oldest
// entries go first. Safe from any thread: the lock is held for look-ups only, never while a
// picture is made, so two threads asking for the same new picture may both make it (the first
// stored wins) rather than wait on each other.
class SRV_PictureCache
{
public:
    explicit SRV_PictureCache(size_t budgetBytes) : budget(budgetBytes) {}

    using Bytes = std::shared_ptr<const std::string>;

    // The picture stored under `key`, made by `make` when it is not there. An empty result of
    // `make` is passed on but not stored.
    Bytes Get(const std::string& key, const std::function<std::string()>& make);

    size_t StoredBytes() const;
    size_t Count() const;

private:
    mutable std::mutex mutex;
    size_t budget;
    size_t stored = 0;
    std::unordered_map<std::string, Bytes> entries;
    std::deque<std::string> order; // oldest first
};
