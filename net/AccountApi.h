#pragma once
// The account endpoints of the web service: the user's profile, the version check and the password
// change. Each runs synchronously on the calling thread and is bounded in time, so a silent service
// costs a caller at most kAccountRequestLimit.totalMs per request.

#include <QString>
#include <optional>
#include <string>

#include "net/ServiceRequest.h"

namespace net {

// A service hashing passwords on a busy machine needs seconds; a silent one gets no more than this.
constexpr Timeouts kAccountRequestLimit{5000, 12000};
// What a dialog waits for all its account requests together before it reports the failure.
constexpr long kAccountDialogBudgetMs = 15000;

struct UserProfile
{
    QString id;
    QString lastName;
    QString firstName;
    QString avatarPath; // address of the picture, empty when the account has none
};

// nullopt when no usable answer came (no client, no answer, not JSON, "code" other than "200");
// members the answer lacks or gives in another type stay empty.
std::optional<UserProfile> fetchUserProfile(const QString& account, Timeouts limits = kAccountRequestLimit);

// "major.minor.patch" of this build, as the version check sends and compares it.
std::string clientVersion();

// True only when both are dotted decimal numbers ("1.6", "1.5.0.2") and answered is the higher;
// missing trailing parts count as 0. Anything else ("1.6.0-rc1", "", "v2", over-long text) is not
// offered as an update. Numbers of any length compare correctly.
bool isNewerVersion(const std::string& answered, const std::string& current);

struct VersionAnswer
{
    std::string version; // "app_version_new"
    std::string url;     // download address
    std::string tips;    // release notes with escaped line breaks ("\\n")
    // "force_update" as a decimal integer; the service says 0 for a mandatory update and 1 for an
    // optional one. nullopt when missing, not a string or not a number: the caller keeps what it had.
    std::optional<bool> mandatory;
};

// Reads a version answer: nullopt unless it parsed and "data" holds "app_version_new", "url" and
// "tips" as strings. "code" is not judged.
std::optional<VersionAnswer> readVersionAnswer(const Reply& reply);
// Asks the service; nullopt as above or when the request failed.
std::optional<VersionAnswer> checkVersion();

struct PasswordChangeResult
{
    bool changed = false;
    // The service's own reason when it refused with a non-empty "msg"; empty otherwise.
    std::string serviceMessage;
};

PasswordChangeResult changePassword(const QString& userId,
                                    const QString& newPassword,
                                    const QString& currentPassword,
                                    Timeouts limits = kAccountRequestLimit);

} // namespace net
