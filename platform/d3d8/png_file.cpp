#include "platform/d3d8/png_file.h"

#include <cstdint>

#include "platform/win32/files.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb_image_write.h>

namespace d3d8 {
namespace {

void AppendBytes(void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* begin = static_cast<const std::uint8_t*>(data);
    bytes->insert(bytes->end(), begin, begin + size);
}

}  // namespace

bool WritePng(const std::filesystem::path& path, const PresentedFrame& frame) {
    if (frame.width == 0 || frame.height == 0 ||
        frame.pixels.size() != std::size_t{frame.width} * frame.height) {
        return false;
    }
    std::vector<std::uint8_t> rgba;
    rgba.reserve(frame.pixels.size() * 4);
    for (DWORD pixel : frame.pixels) {
        rgba.insert(rgba.end(),
                    {static_cast<std::uint8_t>(pixel >> 16), static_cast<std::uint8_t>(pixel >> 8),
                     static_cast<std::uint8_t>(pixel), static_cast<std::uint8_t>(pixel >> 24)});
    }
    std::vector<std::uint8_t> encoded;
    const int width = static_cast<int>(frame.width);
    if (stbi_write_png_to_func(AppendBytes, &encoded, width, static_cast<int>(frame.height), 4, rgba.data(),
                               width * 4) == 0) {
        return false;
    }
    return win32::WriteHostFileAtomic(path, encoded);
}

}  // namespace d3d8
