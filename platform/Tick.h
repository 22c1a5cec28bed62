#pragma once

#include <cstdint>

namespace platform {

// Milliseconds of a monotonic clock modulo 2^32, as GetTickCount.
std::uint32_t tickCount();

} // namespace platform
