#pragma once
// Where the client's web service and the meeting cloud live. The environment overrides the
// built-in development addresses, so tests and manual runs point VTX at their own service.

#include <string>

namespace base {

// "host:port" of the web service; VTX_SERVICE_HOST overrides the built-in value.
std::string serviceHost();
// Base address handed to the meeting SDK; VTX_SDK_DOMAIN overrides the built-in value.
std::string sdkWebDomain();

} // namespace base
