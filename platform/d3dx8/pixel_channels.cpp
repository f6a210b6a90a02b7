#include "platform/d3dx8/pixel_channels.h"

#include <bit>
#include <cstdint>

namespace d3dx8 {
namespace {

// A channel value widened to 8 bits; a missing channel reads as full.
DWORD Extract(DWORD pixel, DWORD mask) {
    if (mask == 0) {
        return 0xFF;
    }
    const int shift = std::countr_zero(mask);
    const std::uint64_t maximum = mask >> shift;
    return static_cast<DWORD>(((pixel & mask) >> shift) * std::uint64_t(255) / maximum);
}

DWORD Insert(DWORD value8, DWORD mask) {
    if (mask == 0) {
        return 0;
    }
    const int shift = std::countr_zero(mask);
    const std::uint64_t maximum = mask >> shift;
    return static_cast<DWORD>(((value8 * maximum + 127) / 255) << shift) & mask;
}

DWORD ReadPixel(const BYTE* source, UINT bytes) {
    DWORD pixel = 0;
    for (UINT i = 0; i < bytes; ++i) {
        pixel |= DWORD(source[i]) << (8 * i);
    }
    return pixel;
}

}  // namespace

std::optional<ChannelMasks> MasksOfFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
            return ChannelMasks{4, 0xFF0000, 0xFF00, 0xFF, 0xFF000000, false};
        case D3DFMT_X8R8G8B8:
            return ChannelMasks{4, 0xFF0000, 0xFF00, 0xFF, 0, false};
        case D3DFMT_R5G6B5:
            return ChannelMasks{2, 0xF800, 0x07E0, 0x1F, 0, false};
        case D3DFMT_X1R5G5B5:
            return ChannelMasks{2, 0x7C00, 0x03E0, 0x1F, 0, false};
        case D3DFMT_A1R5G5B5:
            return ChannelMasks{2, 0x7C00, 0x03E0, 0x1F, 0x8000, false};
        case D3DFMT_A4R4G4B4:
            return ChannelMasks{2, 0x0F00, 0xF0, 0x0F, 0xF000, false};
        case D3DFMT_X4R4G4B4:
            return ChannelMasks{2, 0x0F00, 0xF0, 0x0F, 0, false};
        case D3DFMT_L8:
            return ChannelMasks{1, 0xFF, 0, 0, 0, true};
        case D3DFMT_A8:
            return ChannelMasks{1, 0, 0, 0, 0xFF, false};
        case D3DFMT_A8L8:
            return ChannelMasks{2, 0xFF, 0, 0, 0xFF00, true};
        default:
            return std::nullopt;
    }
}

std::vector<DWORD> UnpackPixels(const ChannelMasks& masks, const BYTE* source, UINT width, UINT height) {
    const std::size_t count = std::size_t(width) * height;
    std::vector<DWORD> pixels(count);
    for (std::size_t i = 0; i < count; ++i) {
        const DWORD pixel = ReadPixel(source + i * masks.bytesPerPixel, masks.bytesPerPixel);
        const DWORD alpha = Extract(pixel, masks.alpha);
        DWORD red = Extract(pixel, masks.red);
        DWORD green = masks.luminance ? red : Extract(pixel, masks.green);
        DWORD blue = masks.luminance ? red : Extract(pixel, masks.blue);
        if (masks.red == 0 && masks.alpha != 0 && !masks.luminance) {
            red = green = blue = 0;  // an alpha-only pixel carries no colour
        }
        pixels[i] = (alpha << 24) | (red << 16) | (green << 8) | blue;
    }
    return pixels;
}

std::vector<BYTE> PackPixels(const ChannelMasks& masks, const std::vector<DWORD>& pixels) {
    std::vector<BYTE> bytes(pixels.size() * masks.bytesPerPixel);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const DWORD argb = pixels[i];
        const DWORD red = (argb >> 16) & 0xFF;
        const DWORD green = (argb >> 8) & 0xFF;
        const DWORD blue = argb & 0xFF;
        // Grey by the usual luma weights when the target holds one level only.
        const DWORD grey = (red * 77 + green * 151 + blue * 28) >> 8;
        DWORD packed = Insert(argb >> 24, masks.alpha);
        if (masks.luminance) {
            packed |= Insert(grey, masks.red);
        } else {
            packed |= Insert(red, masks.red) | Insert(green, masks.green) | Insert(blue, masks.blue);
        }
        for (UINT b = 0; b < masks.bytesPerPixel; ++b) {
            bytes[i * masks.bytesPerPixel + b] = static_cast<BYTE>(packed >> (8 * b));
        }
    }
    return bytes;
}

}  // namespace d3dx8
