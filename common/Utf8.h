#pragma once
// UTF-8 validity, shared by the meeting SDK stand-in and vtx-service: both must agree on what is text.

#include <cstddef>

namespace utf8 {

// Length of the well-formed sequence at p (at most `left` bytes readable): 1 to 4, or 0 when the
// bytes there are not UTF-8 (overlong forms, surrogates, code points above U+10FFFF, cut short).
inline int sequenceLength(const unsigned char* p, size_t left)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    int length = 0;
    unsigned char low = 0x80, high = 0xbf; // allowed range of the second byte
    if (c >= 0xc2 && c <= 0xdf) {
        length = 2;
    } else if (c >= 0xe0 && c <= 0xef) {
        length = 3;
        if (c == 0xe0)
            low = 0xa0; // overlong
        else if (c == 0xed)
            high = 0x9f; // surrogates
    } else if (c >= 0xf0 && c <= 0xf4) {
        length = 4;
        if (c == 0xf0)
            low = 0x90; // overlong
        else if (c == 0xf4)
            high = 0x8f; // above U+10FFFF
    } else {
        return 0;
    }
    if (left < static_cast<size_t>(length) || p[1] < low || p[1] > high)
        return 0;
    for (int i = 2; i < length; ++i)
        if ((p[i] & 0xc0) != 0x80)
            return 0;
    return length;
}

inline bool isValid(const char* text, size_t size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < size) {
        const int length = sequenceLength(p + i, size - i);
        if (length == 0)
            return false;
        i += static_cast<size_t>(length);
    }
    return true;
}

} // namespace utf8
