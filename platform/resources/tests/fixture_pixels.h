// The test bitmap's size and pixels, shared by the fixture writer and the tests.
#pragma once

#include <cstdint>

namespace yolt::rsrc::test {

inline constexpr int kBitmapWidth = 5;  // odd, so rows carry padding
inline constexpr int kBitmapHeight = 3;

/// The colour (0xRRGGBB) of pixel (x, y), y counted from the top.
inline uint32_t BitmapPixel(int x, int y)
{
    return (static_cast<uint32_t>(x * 50) << 16) | (static_cast<uint32_t>(y * 100) << 8) | 0x20u;
}

}  // namespace yolt::rsrc::test
