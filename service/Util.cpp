#include "service/Util.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/rand.h>
#include <vector>

#include "common/Utf8.h"

namespace vtxsvc {
namespace {

constexpr int kPbkdf2Iterations = 20000;

std::string ToHex(const unsigned char* data, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(size * 2);
    for (size_t i = 0; i < size; ++i) {
        out.push_back(digits[data[i] >> 4]);
        out.push_back(digits[data[i] & 0x0f]);
    }
    return out;
}

bool FromHex(const std::string& hex, std::vector<unsigned char>& out)
{
    if (hex.size() % 2 != 0)
        return false;
    out.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        int value = 0;
        for (size_t j = i; j < i + 2; ++j) {
            const char c = hex[j];
            value <<= 4;
            if (c >= '0' && c <= '9')
                value |= c - '0';
            else if (c >= 'a' && c <= 'f')
                value |= c - 'a' + 10;
            else
                return false;
        }
        out.push_back(static_cast<unsigned char>(value));
    }
    return true;
}

void FillRandom(unsigned char* data, size_t size)
{
    if (RAND_bytes(data, static_cast<int>(size)) != 1) {
        // Never hand out predictable tokens: without entropy the service cannot run safely.
        std::abort();
    }
}

bool Pbkdf2(const std::string& password, const unsigned char* salt, size_t saltSize, unsigned char* out, size_t outSize)
{
    return PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()), salt, static_cast<int>(saltSize),
                             kPbkdf2Iterations, EVP_sha256(), static_cast<int>(outSize), out) == 1;
}

} // namespace

std::string RandomToken(size_t bytes)
{
    std::vector<unsigned char> buf(bytes);
    FillRandom(buf.data(), buf.size());
    return ToHex(buf.data(), buf.size());
}

std::string RandomDigits(size_t count)
{
    std::string out;
    while (out.size() < count) {
        unsigned char b = 0;
        FillRandom(&b, 1);
        if (b < 250) // reject the tail so every digit is equally likely
            out.push_back(static_cast<char>('0' + b % 10));
    }
    return out;
}

int64_t RandomInRange(int64_t low, int64_t high)
{
    const uint64_t span = static_cast<uint64_t>(high - low) + 1;
    const uint64_t limit = UINT64_MAX - UINT64_MAX % span;
    uint64_t value = 0;
    do {
        FillRandom(reinterpret_cast<unsigned char*>(&value), sizeof value);
    } while (value >= limit);
    return low + static_cast<int64_t>(value % span);
}

int64_t NowSeconds()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int64_t NowMillisMonotonic()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string TimestampForFileName()
{
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%02d%02dT%02d%02d%02d%03d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                  tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms));
    return buf;
}

bool IsDigits(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

bool IsValidUtf8(const std::string& text)
{
    return utf8::isValid(text.data(), text.size());
}

bool IsAlnum(const std::string& text)
{
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

bool IsValidPhone(const std::string& phone)
{
    return phone.size() == 11 && phone[0] == '1' && IsDigits(phone);
}

bool IsValidEmail(const std::string& email)
{
    if (email.size() < 3 || email.size() > 254)
        return false;
    const size_t at = email.find('@');
    if (at == std::string::npos || at == 0 || at != email.rfind('@') || at + 1 >= email.size())
        return false;
    const std::string domain = email.substr(at + 1);
    if (domain.find('.') == std::string::npos || domain.front() == '.' || domain.back() == '.' ||
        domain.find("..") != std::string::npos)
        return false;
    // Domain labels: letters, digits, hyphens (bytes above 127 for internationalised names).
    for (unsigned char c : domain) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' ||
                        c == '.' || c >= 0x80;
        if (!ok)
            return false;
    }
    for (unsigned char c : email) {
        if (c <= ' ' || c == 0x7f || c == ',' || c == ';' || c == '<' || c == '>' || c == '"' || c == '(' || c == ')' ||
            c == '[' || c == ']' || c == '\\')
            return false;
    }
    return true;
}

bool ParseUInt64(const std::string& text, uint64_t& value)
{
    if (!IsDigits(text) || text.size() > 20)
        return false;
    uint64_t v = 0;
    for (char c : text) {
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (v > (UINT64_MAX - digit) / 10)
            return false;
        v = v * 10 + digit;
    }
    value = v;
    return true;
}

std::string SafeFileNamePart(const std::string& text)
{
    std::string out;
    for (char c : text.substr(0, 80)) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '@' ||
                        c == '.' || c == '_' || c == '+' || c == '-';
        out.push_back(ok ? c : '_');
    }
    if (out.empty() || out[0] == '.')
        out.insert(out.begin(), '_');
    return out;
}

std::string HtmlEscape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string HashPassword(const std::string& password)
{
    unsigned char salt[16];
    FillRandom(salt, sizeof salt);
    unsigned char hash[32];
    if (!Pbkdf2(password, salt, sizeof salt, hash, sizeof hash))
        return std::string();
    return ToHex(salt, sizeof salt) + "$" + ToHex(hash, sizeof hash);
}

bool VerifyPassword(const std::string& password, const std::string& stored)
{
    const size_t sep = stored.find('$');
    if (sep == std::string::npos)
        return false;
    std::vector<unsigned char> salt, expected;
    if (!FromHex(stored.substr(0, sep), salt) || !FromHex(stored.substr(sep + 1), expected) || expected.size() != 32)
        return false;
    unsigned char hash[32];
    if (!Pbkdf2(password, salt.data(), salt.size(), hash, sizeof hash))
        return false;
    return CRYPTO_memcmp(hash, expected.data(), sizeof hash) == 0;
}

} // namespace vtxsvc
