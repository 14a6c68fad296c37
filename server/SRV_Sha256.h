#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// SHA-256 (FIPS 180-4) and HMAC-SHA-256 (RFC 2104), for hashing the demo accounts' passwords.
class SRV_Sha256
{
public:
    static constexpr size_t DigestSize = 32;

    // The 32-byte digest of `size` bytes at `data`, as raw bytes.
    static std::string Digest(const void* data, size_t size);
    static std::string Digest(const std::string& bytes)
    {
        return Digest(bytes.data(), bytes.size());
    }
    static std::string Hmac(const std::string& key, const std::string& message);
};
