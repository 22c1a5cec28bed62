#pragma once
// Avatar pictures: a small PNG drawn here, so the service needs no image files.

#include <cstdint>
#include <string>

namespace vtxsvc {

// A size x size RGBA picture: a coloured disc (colour picked from |seed|) on transparency.
std::string MakeAvatarPng(uint64_t seed, int size = 64);

} // namespace vtxsvc
