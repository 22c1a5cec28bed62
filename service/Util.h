#pragma once
// Small helpers shared by the service's parts: randomness, time, text checks.

#include <cstdint>
#include <string>

namespace vtxsvc {

// Cryptographically random values (OpenSSL RAND_bytes); used for tokens, codes and numbers.
std::string RandomToken(size_t bytes);            // lower-case hex, 2 * bytes characters
std::string RandomDigits(size_t count);           // decimal digits, may start with 0
int64_t RandomInRange(int64_t low, int64_t high); // inclusive

int64_t NowSeconds(); // wall clock, seconds since 1970 UTC
int64_t NowMillisMonotonic();
std::string TimestampForFileName(); // 20261208T144700123 (UTC, milliseconds)

bool IsValidPhone(const std::string& phone); // 11 digits starting with 1
bool IsValidEmail(const std::string& email);
bool IsAlnum(const std::string& text);
bool IsDigits(const std::string& text);
// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(const std::string& text);
// Strict decimal parse of the whole text (no sign, no blanks); false on overflow.
bool ParseUInt64(const std::string& text, uint64_t& value);
// Keeps letters, digits and @._+- ; everything else becomes '_' (for file names).
std::string SafeFileNamePart(const std::string& text);
std::string HtmlEscape(const std::string& text);

// PBKDF2-HMAC-SHA256 with a random salt, stored as "salt$hash" in hex.
std::string HashPassword(const std::string& password);
bool VerifyPassword(const std::string& password, const std::string& stored);

} // namespace vtxsvc
