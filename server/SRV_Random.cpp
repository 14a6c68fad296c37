#include "server/SRV_Random.h"

#include <mutex>
#include <random>

std::string SRV_Random::Bytes(size_t count)
{
    // random_device reads the kernel's generator; one device shared under a lock keeps the
    // file descriptor count at one whatever the number of request threads.
    static std::mutex mutex;
    static std::random_device device;
    std::string bytes(count, '\0');
    std::lock_guard<std::mutex> lock(mutex);
    for (size_t i = 0; i < count; i += 4)
    {
        const unsigned int word = device();
        for (size_t j = 0; j < 4 && i + j < count; ++j)
            bytes[i + j] = char(word >> (8 * j));
    }
    return bytes;
}

std::string SRV_Random::Hex(size_t count)
{
    return SRV_Hex::Encode(Bytes(count));
}

std::string SRV_Hex::Encode(const std::string& bytes)
{
    static const char Digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char c : bytes)
    {
        hex += Digits[c >> 4];
        hex += Digits[c & 15];
    }
    return hex;
}

int SRV_Hex::DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool SRV_Hex::Decode(const std::string& hex, std::string& bytes)
{
    if (hex.size() % 2 != 0)
        return false;
    std::string out(hex.size() / 2, '\0');
    for (size_t i = 0; i < out.size(); ++i)
    {
        const int high = DigitValue(hex[2 * i]), low = DigitValue(hex[2 * i + 1]);
        if (high < 0 || low < 0)
            return false;
        out[i] = char(high << 4 | low);
    }
    bytes = std::move(out);
    return true;
}
