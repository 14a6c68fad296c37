#pragma once

#include <cstddef>
#include <string>

// Unpredictable bytes for salts, auth tokens, session keys and secrets, from the operating
// system's entropy source. Safe to call from any thread.
namespace SRV_Random
{
std::string Bytes(size_t count);
// `count` random bytes as 2 × count lowercase hexadecimal digits.
std::string Hex(size_t count);
} // namespace SRV_Random

namespace SRV_Hex
{
std::string Encode(const std::string& bytes);
// The value 0…15 of a hexadecimal digit (lower or upper case), -1 for any other character.
int DigitValue(char c);
// The bytes of `hex` (lower or upper case); false when it is not an even run of hex digits.
bool Decode(const std::string& hex, std::string& bytes);
} // namespace SRV_Hex
