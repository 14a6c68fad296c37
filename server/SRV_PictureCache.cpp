#include "server/SRV_PictureCache.h"

SRV_PictureCache::Bytes SRV_PictureCache::Get(const std::string& key,
                                              const std::function<std::string()>& make)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto it = entries.find(key);
        if (it != entries.end())
            return it->second;
    }
    Bytes made = std::make_shared<const std::string>(make());
    if (made->empty() || made->size() > budget)
        return made;

    std::lock_guard<std::mutex> lock(mutex);
    const auto [it, inserted] = entries.emplace(key, made);
    if (!inserted)
        return it->second;
    order.push_back(key);
    stored += made->size();
    while (stored > budget && !order.empty())
    {
        const auto oldest = entries.find(order.front());
        stored -= oldest->second->size();
        entries.erase(oldest);
        order.pop_front();
    }
    return made;
}

size_t SRV_PictureCache::StoredBytes() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return stored;
}

size_t SRV_PictureCache::Count() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return entries.size();
}
