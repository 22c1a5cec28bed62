#include "net/SignInApi.h"

#include "base/Text.h"
#include "net/ServiceRequest.h"

namespace net {
namespace {

constexpr const char* kVerificationCodePath = "/api/orvo/user/GetVerificationCode.do";
constexpr const char* kValidationPath = "/api/orvo/user/Validation.do";

JsonBody validationBody(const QString& phoneNumber, const QString& code)
{
    JsonBody body;
    body.add("phoneNumber", phoneNumber).add("verification_code", code);
    return body;
}

} // namespace

bool requestVerificationCode(const QString& phoneNumber)
{
    return postJson(kVerificationCodePath, JsonBody().add("phoneNumber", phoneNumber).text()).ok();
}

std::optional<TemporaryAccount> validateAnonymous(const QString& phoneNumber, const QString& code)
{
    const Reply reply = postJson(kValidationPath, validationBody(phoneNumber, code).text());
    if (!reply.ok())
        return std::nullopt;
    const auto account = reply.dataString("account_name");
    const auto password = reply.dataString("password");
    if (!account || !password || account->empty() || password->empty())
        return std::nullopt;
    return TemporaryAccount{Utf8ToWide(*account), Utf8ToWide(*password)};
}

bool validateForAccount(const QString& phoneNumber, const QString& code, const QString& account)
{
    JsonBody body = validationBody(phoneNumber, code);
    body.add("email", account);
    return postJson(kValidationPath, body.text()).ok();
}

} // namespace net
