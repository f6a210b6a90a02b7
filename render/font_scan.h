#pragma once
// Finding the character cells of a bitmap font image: cells are separated by lines of the
// top-left pixel's value, and baselines are marked in a cell's left border with the value of the
// bottom-right pixel.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct tGlyph {
    float left = 0.0f;  // texture coordinates of the cell's inside
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    float descent = 0.0f;  // fraction of the image height below the baseline
};

// The pixels of an image, row 0 at the top, each value compared whole.
class CFontImage {
public:
    CFontImage(std::uint32_t width, std::uint32_t height, std::vector<std::uint32_t> pixels);
    std::uint32_t Width() const { return m_width; }
    std::uint32_t Height() const { return m_height; }
    std::uint32_t At(std::uint32_t x, std::uint32_t y) const {
        return m_pixels[std::size_t(y) * m_width + x];
    }

private:
    std::uint32_t m_width;
    std::uint32_t m_height;
    std::vector<std::uint32_t> m_pixels;
};

struct tFontScan {
    std::array<tGlyph, 256> glyphs{};
    std::uint32_t lineHeight = 0;  // of the first cell found
};

// Assigns the letters to the cells in order. The names are for the log lines about cells and
// letters that do not match in number.
tFontScan ScanFontImage(const CFontImage& image, const std::string& letters, const std::string& imagePath,
                        const std::string& fontFileName);
