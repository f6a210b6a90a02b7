#include "render/font_scan.h"

#include <algorithm>

#include "app/debug_log.h"

namespace {

class CCellScanner {
public:
    CCellScanner(const CFontImage& image) : m_image(image) {
        m_separator = image.At(0, 0);
        m_baseline = image.At(image.Width() - 1, image.Height() - 1);
        m_separatorRows.resize(image.Width());
        for (std::uint32_t y = 0; y < image.Height(); ++y) {
            for (std::uint32_t x = 0; x < image.Width(); ++x) {
                if (IsSeparator(image.At(x, y))) {
                    m_separatorRows[x].push_back(y);
                }
            }
        }
    }

    bool IsSeparator(std::uint32_t pixel) const {
        return pixel == m_separator || (HasBaselines() && pixel == m_baseline);
    }
    bool HasBaselines() const { return m_separator != m_baseline; }

    // Rows inside the cell whose right border is column x and whose top border is row top.
    // A sorted list per column keeps hostile images from costing a walk down for every cell.
    std::uint32_t CellHeight(std::uint32_t x, std::uint32_t top) const {
        const std::vector<std::uint32_t>& rows = m_separatorRows[x - 1];
        const auto below = std::lower_bound(rows.begin(), rows.end(), top + 1);
        return below == rows.end() ? 0 : *below - top - 1;
    }

    // The baseline row within the cell, counted from its first inside row.
    std::uint32_t BaselineRow(std::uint32_t left, std::uint32_t top, std::uint32_t height) const {
        if (HasBaselines()) {
            for (std::uint32_t k = 0; k < height; ++k) {
                if (m_image.At(left, top + 1 + k) == m_baseline) {
                    return k;
                }
            }
        }
        return height - 1;
    }

private:
    const CFontImage& m_image;
    std::uint32_t m_separator;
    std::uint32_t m_baseline;
    std::vector<std::vector<std::uint32_t>> m_separatorRows;
};

}  // namespace

CFontImage::CFontImage(std::uint32_t width, std::uint32_t height, std::vector<std::uint32_t> pixels)
    : m_width(width), m_height(height), m_pixels(std::move(pixels)) {}

tFontScan ScanFontImage(const CFontImage& image, const std::string& letters, const std::string& imagePath,
                        const std::string& fontFileName) {
    tFontScan scan;
    const std::uint32_t width = image.Width();
    const std::uint32_t height = image.Height();
    if (width == 0 || height == 0) {
        return scan;
    }
    CDebugLog& log = CDebugLog::Instance();
    const CCellScanner scanner(image);
    std::size_t cell = 0;
    for (std::uint32_t top = 0; top + 1 < height;) {
        std::uint32_t left = 0;
        std::uint32_t tallest = 0;
        for (std::uint32_t x = 1; x < width; ++x) {
            if (!scanner.IsSeparator(image.At(x, top + 1))) {
                continue;
            }
            const std::uint32_t cellHeight = scanner.CellHeight(x, top);
            tallest = std::max(tallest, cellHeight);
            if (scan.lineHeight == 0) {
                scan.lineHeight = cellHeight;
            }
            if (cellHeight > 0) {
                if (cell < letters.size()) {
                    const auto code = static_cast<unsigned char>(letters[cell]);
                    const std::uint32_t baseline = scanner.BaselineRow(left, top, cellHeight);
                    scan.glyphs[code] = {(float(left) + 1.5f) / float(width),
                                         (float(top) + 1.5f) / float(height),
                                         (float(x) + 0.5f) / float(width),
                                         (float(top + 1 + cellHeight) + 0.5f) / float(height),
                                         float(cellHeight - baseline - 1) / float(height)};
                    log.LogLevel(4, "Created char %c.", letters[cell]);
                } else {
                    log.LogLevel(
                        2, "Warning. Number of characters in the image %s larger than number of chars in %s.",
                        imagePath.c_str(), fontFileName.c_str());
                }
                ++cell;
            }
            left = x;
        }
        top += tallest + 1;
    }
    if (cell < letters.size()) {
        log.LogLevel(2, "Warning. Number of characters in the image %s smaller than number of chars in %s.",
                     imagePath.c_str(), fontFileName.c_str());
    }
    return scan;
}
