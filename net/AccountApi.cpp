#include "net/AccountApi.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/Text.h"

namespace net {
namespace {

constexpr const char* kUserInfoPath = "/api/qzMeetings/user/get_user_qz";
constexpr const char* kNewVersionPath = "/api/upgrade/newVersion.do";
constexpr const char* kSetUserPath = "/api/qzMeetings/user/set_user.do";
constexpr const char* kPlatform = "windows";
constexpr const char* kAppId = "qzvlt-003";

// Version texts longer than this are not versions but noise.
constexpr std::size_t kMaxVersionText = 64;

QString dataText(const Reply& reply, const char* name)
{
    return QString::fromStdString(reply.dataString(name).value_or(std::string()));
}

// Splits "1.05.0" into digit groups without leading zeros; false unless the text is dotted digits.
bool versionParts(const std::string& text, std::vector<std::string>& parts)
{
    parts.clear();
    if (text.empty() || text.size() > kMaxVersionText)
        return false;
    std::string part;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '.') {
            if (part.empty())
                return false;
            const std::size_t first = part.find_first_not_of('0');
            parts.push_back(first == std::string::npos ? std::string() : part.substr(first));
            part.clear();
        } else if (text[i] >= '0' && text[i] <= '9') {
            part += text[i];
        } else {
            return false;
        }
    }
    return true;
}

// Digit strings without leading zeros compare by length first, so no number overflows.
int compareNumbers(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

std::optional<long long> decimalInteger(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t digitsStart = i;
    long long value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (value < 100000000)
            value = value * 10 + (text[i] - '0');
        ++i;
    }
    if (i == digitsStart)
        return std::nullopt;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i != text.size())
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

std::optional<UserProfile> fetchUserProfile(const QString& account, Timeouts limits)
{
    const Reply reply = postFields(kUserInfoPath, {{"email", WideToUtf8(account)}}, limits);
    if (!reply.ok())
        return std::nullopt;
    UserProfile profile;
    profile.id = dataText(reply, "id");
    profile.lastName = dataText(reply, "last_name");
    profile.firstName = dataText(reply, "first_name");
    profile.avatarPath = dataText(reply, "avatar_path");
    return profile;
}

std::string clientVersion()
{
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%d", VTX_VERSION_MAJOR, VTX_VERSION_MINOR, VTX_VERSION_PATCH);
    return text;
}

bool isNewerVersion(const std::string& answered, const std::string& current)
{
    std::vector<std::string> a;
    std::vector<std::string> c;
    if (!versionParts(answered, a) || !versionParts(current, c))
        return false;
    const std::size_t count = std::max(a.size(), c.size());
    a.resize(count);
    c.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (const int order = compareNumbers(a[i], c[i]); order != 0)
            return order > 0;
    }
    return false;
}

std::optional<VersionAnswer> readVersionAnswer(const Reply& reply)
{
    const cJSON* data = jsonObject(reply.root(), "data");
    if (!data)
        return std::nullopt;
    auto version = jsonString(data, "app_version_new");
    auto url = jsonString(data, "url");
    auto tips = jsonString(data, "tips");
    if (!version || !url || !tips)
        return std::nullopt;
    VersionAnswer answer;
    answer.version = std::move(*version);
    answer.url = std::move(*url);
    answer.tips = std::move(*tips);
    if (const auto force = jsonString(data, "force_update")) {
        if (const auto value = decimalInteger(*force))
            answer.mandatory = *value == 0;
    }
    return answer;
}

std::optional<VersionAnswer> checkVersion()
{
    const std::string body =
        JsonBody().add("pv", kPlatform).add("app_id", kAppId).add("version", clientVersion()).text();
    return readVersionAnswer(postJson(kNewVersionPath, body, {}, kAccountRequestLimit));
}

PasswordChangeResult
changePassword(const QString& userId, const QString& newPassword, const QString& currentPassword, Timeouts limits)
{
    const Reply reply = postFields(kSetUserPath,
                                   {{"user_id", WideToUtf8(userId)},
                                    {"password", WideToUtf8(newPassword)},
                                    {"passwordOld", WideToUtf8(currentPassword)}},
                                   limits);
    PasswordChangeResult result;
    result.changed = reply.ok();
    if (!result.changed)
        result.serviceMessage = reply.msg();
    return result;
}

} // namespace net
