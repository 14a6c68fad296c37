#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// MD5 message digest (RFC 1321), the hash the REST protocol signs its calls with. Holds no state
// between calls; one instance may be used from one thread at a time.
class UTL_Md5
{
public:
    // The digest of the bytes of `text` as 32 lowercase hexadecimal digits, the 16 digest bytes
    // in order.
    std::string DigestString(const std::string& text);

    // The raw 16-byte digest of `size` bytes at `data`.
    static void Digest(const void* data, size_t size, uint8_t out[16]);
};
