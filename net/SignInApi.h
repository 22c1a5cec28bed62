#pragma once
// The web service's phone-verification endpoints, one typed function each.

#include <QString>
#include <optional>

namespace net {

// Asks the service to send a verification code to the phone; true when it accepted.
bool requestVerificationCode(const QString& phoneNumber);

// The service's temporary account for a joiner who does not sign in.
struct TemporaryAccount
{
    QString account;
    QString password;
};
// Anonymous joins: checks the code and hands out a temporary account. nullopt when the service
// refused, did not answer, or left the account or its password out.
std::optional<TemporaryAccount> validateAnonymous(const QString& phoneNumber, const QString& code);
// Account sign-in: checks the code for this account; true when the service accepted.
bool validateForAccount(const QString& phoneNumber, const QString& code, const QString& account);

} // namespace net
