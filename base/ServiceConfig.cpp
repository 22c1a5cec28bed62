#include "base/ServiceConfig.h"

#include <cstdlib>

namespace base {
namespace {

constexpr const char* kDefaultServiceHost = "127.0.0.1:18443";
constexpr const char* kDefaultSdkWebDomain = "https://127.0.0.1:18443";

std::string fromEnvironment(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return (value && *value) ? std::string(value) : std::string(fallback);
}

} // namespace

std::string serviceHost()
{
    return fromEnvironment("VTX_SERVICE_HOST", kDefaultServiceHost);
}

std::string sdkWebDomain()
{
    return fromEnvironment("VTX_SDK_DOMAIN", kDefaultSdkWebDomain);
}

} // namespace base
