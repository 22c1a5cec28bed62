#include "service/Png.h"

#include <vector>
#include <zlib.h>

namespace vtxsvc {
namespace {

void PutU32(std::string& out, uint32_t v)
{
    out.push_back(static_cast<char>(v >> 24));
    out.push_back(static_cast<char>(v >> 16));
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v));
}

void PutChunk(std::string& out, const char* type, const std::string& data)
{
    PutU32(out, static_cast<uint32_t>(data.size()));
    std::string body(type, 4);
    body += data;
    out += body;
    PutU32(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size())));
}

} // namespace

std::string MakeAvatarPng(uint64_t seed, int size)
{
    static const unsigned char palette[][3] = {{24, 144, 255}, {82, 196, 26},  {250, 140, 22},
                                               {235, 47, 150}, {114, 46, 209}, {19, 194, 194}};
    const unsigned char* color = palette[seed % (sizeof palette / sizeof palette[0])];

    std::vector<unsigned char> raw;
    raw.reserve(static_cast<size_t>(size) * (size * 4 + 1));
    const double r = size / 2.0;
    for (int y = 0; y < size; ++y) {
        raw.push_back(0); // filter: none
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - r, dy = y + 0.5 - r;
            const bool inside = dx * dx + dy * dy <= r * r;
            raw.push_back(color[0]);
            raw.push_back(color[1]);
            raw.push_back(color[2]);
            raw.push_back(inside ? 255 : 0);
        }
    }
    uLongf packedSize = compressBound(raw.size());
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), raw.size(), 9) != Z_OK)
        return std::string();

    std::string png("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    PutU32(header, static_cast<uint32_t>(size));
    PutU32(header, static_cast<uint32_t>(size));
    header += std::string("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, no filter set, no interlace
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", std::string(reinterpret_cast<const char*>(packed.data()), packedSize));
    PutChunk(png, "IEND", std::string());
    return png;
}

} // namespace vtxsvc
