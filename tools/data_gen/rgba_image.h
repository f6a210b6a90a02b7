#pragma once
// An 8-bit RGBA picture that the generators paint and write as PNG.

#include <cstdint>
#include <vector>

namespace zumbo::datagen {

struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba&) const = default;
};

class RgbaImage {
public:
    RgbaImage(int width, int height, Rgba fill = {});

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rgba At(int x, int y) const { return m_pixels[Index(x, y)]; }
    void Set(int x, int y, Rgba colour) { m_pixels[Index(x, y)] = colour; }
    void FillRect(int x, int y, int width, int height, Rgba colour);

    // The PNG file's bytes; empty when encoding fails.
    std::vector<std::uint8_t> EncodePng() const;

private:
    std::size_t Index(int x, int y) const { return std::size_t(y) * std::size_t(m_width) + std::size_t(x); }

    int m_width;
    int m_height;
    std::vector<Rgba> m_pixels;
};

}  // namespace zumbo::datagen
