#pragma once

#include <string>

// Salted, slow password hashes: PBKDF2 with HMAC-SHA-256 (RFC 8018), stored as the text
// "pbkdf2-sha256$ITERATIONS$SALT$HASH" (salt and hash in hex), so that the iteration count can
// grow later without invalidating stored accounts. Stateless; safe from any thread.
namespace SRV_PasswordHash
{
constexpr int DefaultIterations = 10000;

// A fresh random salt and the hash of `password` in the stored form.
std::string Make(const std::string& password, int iterations = DefaultIterations);
// Whether `password` matches `stored`; false for anything not in the stored form.
bool Verify(const std::string& password, const std::string& stored);

// The raw PBKDF2-HMAC-SHA-256 key of `length` bytes.
std::string Pbkdf2(const std::string& password, const std::string& salt, int iterations,
                   size_t length);
} // namespace SRV_PasswordHash
