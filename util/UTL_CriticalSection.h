#pragma once

#include <mutex>

// One lock, entered and left explicitly. Not recursive: a thread must not enter it twice.
class UTL_CriticalSection
{
public:
    UTL_CriticalSection() = default;
    virtual ~UTL_CriticalSection() = default;

    UTL_CriticalSection(const UTL_CriticalSection&) = delete;
    UTL_CriticalSection& operator=(const UTL_CriticalSection&) = delete;

    void Enter() { mutex.lock(); }
    void Leave() { mutex.unlock(); }

    // Enters on construction, leaves on destruction.
    class Guard
    {
    public:
        explicit Guard(UTL_CriticalSection& section) : section(section) { section.Enter(); }
        ~Guard() { section.Leave(); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        UTL_CriticalSection& section;
    };

private:
    std::mutex mutex;
};
