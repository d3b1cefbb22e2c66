// The two stored images the surface tests find among the program's resources.
#pragma once

#include <cstdint>

namespace resourceimages {

constexpr const char* kName = "PROBE";
constexpr int kNumber = 101;
constexpr int kNamedW = 6, kNamedH = 4, kNumberedW = 3, kNumberedH = 5;

inline uint32_t Pixel(bool numbered, int x, int y)
{
    return numbered ? uint32_t(0x102030 * (x + 1) + 0x000005 * y) : uint32_t(0x0A0B0C * (y + 1) + 0x110000 * x);
}

}  // namespace resourceimages
