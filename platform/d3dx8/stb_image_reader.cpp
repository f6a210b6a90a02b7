// PNG, JPEG, TGA and BMP through stb_image, decoded into A8R8G8B8 or X8R8G8B8 pixels.

#include <climits>
#include <cstring>
#include <memory>

#include "platform/d3dx8/image.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_MAX_DIMENSIONS 8192
#include <stb_image.h>

namespace d3dx8 {
namespace {

struct StbFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

bool StartsWith(const BYTE* data, std::size_t size, const char* magic, std::size_t magicSize) {
    return size >= magicSize && std::memcmp(data, magic, magicSize) == 0;
}

// TGA files carry no magic: whatever stb_image accepts and is no other format is one.
D3DXIMAGE_FILEFORMAT FileFormatOf(const BYTE* data, std::size_t size) {
    if (StartsWith(data, size, "\x89PNG", 4)) {
        return D3DXIFF_PNG;
    }
    if (StartsWith(data, size, "\xFF\xD8", 2)) {
        return D3DXIFF_JPG;
    }
    if (StartsWith(data, size, "BM", 2)) {
        return D3DXIFF_BMP;
    }
    return D3DXIFF_TGA;
}

}  // namespace

bool ReadStbImage(const BYTE* data, std::size_t size, Image* image) {
    if (size == 0 || size > static_cast<std::size_t>(INT_MAX)) {
        return false;
    }
    const int length = static_cast<int>(size);
    int width = 0;
    int height = 0;
    int channels = 0;
    // The header alone first, so that impossible sizes are refused before any allocation.
    if (stbi_info_from_memory(data, length, &width, &height, &channels) == 0 || width <= 0 || height <= 0 ||
        width > static_cast<int>(kMaxImageEdge) || height > static_cast<int>(kMaxImageEdge)) {
        return false;
    }
    std::unique_ptr<stbi_uc, StbFree> rgba(
        stbi_load_from_memory(data, length, &width, &height, &channels, 4));
    if (!rgba) {
        return false;
    }
    const bool hasAlpha = channels == 2 || channels == 4;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<BYTE> pixels(count * 4);
    for (std::size_t i = 0; i < count; ++i) {
        const stbi_uc* source = rgba.get() + i * 4;
        pixels[i * 4 + 0] = source[2];
        pixels[i * 4 + 1] = source[1];
        pixels[i * 4 + 2] = source[0];
        pixels[i * 4 + 3] = hasAlpha ? source[3] : 0xFF;
    }
    image->format = hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    image->width = static_cast<UINT>(width);
    image->height = static_cast<UINT>(height);
    image->fileFormat = FileFormatOf(data, size);
    image->levels.clear();
    image->levels.push_back(std::move(pixels));
    return true;
}

bool ReadImageFile(const BYTE* data, std::size_t size, Image* image) {
    if (data == nullptr) {
        return false;
    }
    if (StartsWith(data, size, "DDS ", 4)) {
        return ReadDds(data, size, image);
    }
    return ReadStbImage(data, size, image);
}

}  // namespace d3dx8
