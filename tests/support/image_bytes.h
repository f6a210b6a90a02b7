#pragma once
// Image files written byte by byte, so tests know exactly what a reader must find in them.

#include <cstdint>
#include <string>
#include <vector>

namespace zumbo::test {

// An uncompressed 32-bit TGA, rows from the top; pixels are A8R8G8B8 values.
std::string TgaFile(unsigned width, unsigned height, const std::vector<std::uint32_t>& argb);

struct DdsPixelFormat {
    std::uint32_t flags;  // 0x4 four-character code, 0x40 RGB, 0x1 alpha pixels, 0x20000 luminance
    std::uint32_t fourCC;
    std::uint32_t bitCount;
    std::uint32_t red, green, blue, alpha;
};

// A DDS header for width x height with mipCount levels (0: no count given), then the data.
std::string DdsFile(unsigned width, unsigned height, unsigned mipCount, const DdsPixelFormat& format,
                    const std::vector<std::uint8_t>& data);

inline constexpr DdsPixelFormat kDdsArgb{0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000};
inline constexpr DdsPixelFormat kDdsDxt1{0x4, 0x31545844, 0, 0, 0, 0, 0};

}  // namespace zumbo::test
