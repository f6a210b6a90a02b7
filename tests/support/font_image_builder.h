#pragma once
// Font images drawn in tests: cells of one colour inside separator lines.

#include <cstdint>
#include <string>
#include <vector>

#include "render/font_scan.h"
#include "tests/support/image_bytes.h"

namespace zumbo::test {

inline constexpr std::uint32_t kSeparator = 0xFF000000;
inline constexpr std::uint32_t kInk = 0xFFFFFFFF;
inline constexpr std::uint32_t kBaseline = 0xFFFF0000;

// A grid of cells: one row of cells per entry of rowHeights, cellWidth wide, with separator
// lines around every cell.
struct FontImageBuilder {
    FontImageBuilder(std::uint32_t cellsPerRow, std::uint32_t cellWidth,
                     std::vector<std::uint32_t> rowHeights)
        : cellWidth(cellWidth), rowHeights(std::move(rowHeights)) {
        width = 1 + cellsPerRow * (cellWidth + 1);
        height = 1;
        for (std::uint32_t rowHeight : this->rowHeights) {
            height += rowHeight + 1;
        }
        pixels.assign(std::size_t(width) * height, kInk);
        std::uint32_t top = 0;
        for (std::uint32_t rowHeight : this->rowHeights) {
            for (std::uint32_t x = 0; x < width; ++x) {
                Set(x, top, kSeparator);
                Set(x, top + rowHeight + 1, kSeparator);
            }
            for (std::uint32_t y = top; y <= top + rowHeight + 1; ++y) {
                for (std::uint32_t x = 0; x < width; x += cellWidth + 1) {
                    Set(x, y, kSeparator);
                }
            }
            top += rowHeight + 1;
        }
    }
    void Set(std::uint32_t x, std::uint32_t y, std::uint32_t value) {
        pixels[std::size_t(y) * width + x] = value;
    }
    CFontImage Image() const { return CFontImage(width, height, pixels); }
    // The pixels in a TGA file.
    std::string Tga() const { return TgaFile(width, height, pixels); }

    std::uint32_t cellWidth;
    std::vector<std::uint32_t> rowHeights;
    std::uint32_t width;
    std::uint32_t height;
    std::vector<std::uint32_t> pixels;
};

}  // namespace zumbo::test
