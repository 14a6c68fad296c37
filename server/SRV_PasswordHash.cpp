#include "server/SRV_PasswordHash.h"

#include "server/SRV_Random.h"
#include "server/SRV_Sha256.h"

#include <cstdlib>

namespace
{
constexpr char Scheme[] = "pbkdf2-sha256";
constexpr size_t SaltBytes = 16;
constexpr size_t HashBytes = 32;
// Refuses stored counts that would stall a login for minutes.
constexpr long MaxIterations = 10'000'000;
constexpr size_t MaxHashBytes = 64;
} // namespace

std::string SRV_PasswordHash::Pbkdf2(const std::string& password, const std::string& salt,
                                     int iterations, size_t length)
{
    std::string key;
    for (uint32_t blockIndex = 1; key.size() < length; ++blockIndex)
    {
        std::string counter(4, '\0');
        for (int i = 0; i < 4; ++i)
            counter[i] = char(blockIndex >> (24 - 8 * i));
        std::string u = SRV_Sha256::Hmac(password, salt + counter);
        std::string block = u;
        for (int i = 1; i < iterations; ++i)
        {
            u = SRV_Sha256::Hmac(password, u);
            for (size_t j = 0; j < block.size(); ++j)
                block[j] = char(block[j] ^ u[j]);
        }
        key += block;
    }
    key.resize(length);
    return key;
}

std::string SRV_PasswordHash::Make(const std::string& password, int iterations)
{
    const std::string salt = SRV_Random::Bytes(SaltBytes);
    return std::string(Scheme) + "$" + std::to_string(iterations) + "$" + SRV_Hex::Encode(salt) +
           "$" + SRV_Hex::Encode(Pbkdf2(password, salt, iterations, HashBytes));
}

bool SRV_PasswordHash::Verify(const std::string& password, const std::string& stored)
{
    const size_t first = stored.find('$');
    const size_t second = first == std::string::npos ? first : stored.find('$', first + 1);
    const size_t third = second == std::string::npos ? second : stored.find('$', second + 1);
    if (third == std::string::npos || stored.compare(0, first, Scheme) != 0)
        return false;

    const std::string count = stored.substr(first + 1, second - first - 1);
    if (count.empty() || count.size() > 9 ||
        count.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const long iterations = std::strtol(count.c_str(), nullptr, 10);
    std::string salt, hash;
    if (iterations < 1 || iterations > MaxIterations ||
        !SRV_Hex::Decode(stored.substr(second + 1, third - second - 1), salt) ||
        !SRV_Hex::Decode(stored.substr(third + 1), hash) || hash.empty() ||
        hash.size() > MaxHashBytes)
        return false;

    const std::string candidate = Pbkdf2(password, salt, int(iterations), hash.size());
    // Compare every byte so that the time taken does not tell how much of a guess was right.
    unsigned char difference = 0;
    for (size_t i = 0; i < hash.size(); ++i)
        difference |= static_cast<unsigned char>(candidate[i] ^ hash[i]);
    return difference == 0;
}
