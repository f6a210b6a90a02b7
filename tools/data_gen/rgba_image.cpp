#include "tools/data_gen/rgba_image.h"

#include <algorithm>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace zumbo::datagen {

RgbaImage::RgbaImage(int width, int height, Rgba fill)
    : m_width(width), m_height(height), m_pixels(std::size_t(width) * std::size_t(height), fill) {}

void RgbaImage::FillRect(int x, int y, int width, int height, Rgba colour) {
    const int right = std::min(m_width, x + width);
    const int bottom = std::min(m_height, y + height);
    for (int row = std::max(0, y); row < bottom; ++row) {
        for (int column = std::max(0, x); column < right; ++column) {
            Set(column, row, colour);
        }
    }
}

std::vector<std::uint8_t> RgbaImage::EncodePng() const {
    static_assert(sizeof(Rgba) == 4);
    std::vector<std::uint8_t> encoded;
    auto append = [](void* context, void* data, int size) {
        auto* out = static_cast<std::vector<std::uint8_t>*>(context);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        out->insert(out->end(), bytes, bytes + size);
    };
    if (stbi_write_png_to_func(append, &encoded, m_width, m_height, 4, m_pixels.data(), m_width * 4) == 0) {
        encoded.clear();
    }
    return encoded;
}

}  // namespace zumbo::datagen
