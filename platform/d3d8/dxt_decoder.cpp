#include "platform/d3d8/dxt_decoder.h"

#include <array>
#include <cstdint>

namespace d3d8 {
namespace {

using BlockPixels = std::array<DWORD, 16>;

DWORD ReadLittle(const BYTE* bytes, int count) {
    DWORD value = 0;
    for (int index = count - 1; index >= 0; --index) {
        value = (value << 8) | bytes[index];
    }
    return value;
}

DWORD Expand565(DWORD colour) {
    const DWORD r = (colour >> 11) & 31;
    const DWORD g = (colour >> 5) & 63;
    const DWORD b = colour & 31;
    return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

// Weighted mix of two opaque colours, channel by channel.
DWORD Mix(DWORD first, DWORD second, DWORD firstWeight, DWORD secondWeight) {
    const DWORD total = firstWeight + secondWeight;
    DWORD result = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const DWORD channel =
            (((first >> shift) & 0xFF) * firstWeight + ((second >> shift) & 0xFF) * secondWeight) / total;
        result |= channel << shift;
    }
    return result;
}

// The colour half of every DXT block; DXT1 alone knows the three-colour mode with transparency.
void DecodeColours(const BYTE* block, bool allowTransparency, BlockPixels& pixels) {
    const DWORD raw0 = ReadLittle(block, 2);
    const DWORD raw1 = ReadLittle(block + 2, 2);
    const DWORD c0 = Expand565(raw0);
    const DWORD c1 = Expand565(raw1);
    std::array<DWORD, 4> palette{c0, c1, Mix(c0, c1, 2, 1), Mix(c0, c1, 1, 2)};
    if (allowTransparency && raw0 <= raw1) {
        palette[2] = Mix(c0, c1, 1, 1);
        palette[3] = 0;
    }
    const DWORD indices = ReadLittle(block + 4, 4);
    for (int pixel = 0; pixel < 16; ++pixel) {
        pixels[pixel] = palette[(indices >> (2 * pixel)) & 3];
    }
}

void SetAlpha(DWORD& pixel, DWORD alpha) {
    pixel = (pixel & 0x00FFFFFFu) | (alpha << 24);
}

void DecodeExplicitAlpha(const BYTE* block, BlockPixels& pixels) {
    for (int pixel = 0; pixel < 16; ++pixel) {
        const DWORD nibble = (block[pixel / 2] >> (4 * (pixel % 2))) & 0xF;
        SetAlpha(pixels[pixel], nibble * 17);
    }
}

void DecodeInterpolatedAlpha(const BYTE* block, BlockPixels& pixels) {
    const DWORD a0 = block[0];
    const DWORD a1 = block[1];
    std::array<DWORD, 8> palette{a0, a1};
    if (a0 > a1) {
        for (DWORD step = 1; step < 7; ++step) {
            palette[step + 1] = ((7 - step) * a0 + step * a1) / 7;
        }
    } else {
        for (DWORD step = 1; step < 5; ++step) {
            palette[step + 1] = ((5 - step) * a0 + step * a1) / 5;
        }
        palette[6] = 0;
        palette[7] = 255;
    }
    std::uint64_t indices = 0;
    for (int index = 7; index >= 2; --index) {
        indices = (indices << 8) | block[index];
    }
    for (int pixel = 0; pixel < 16; ++pixel) {
        SetAlpha(pixels[pixel], palette[(indices >> (3 * pixel)) & 7]);
    }
}

void DecodeBlock(D3DFORMAT format, const BYTE* block, BlockPixels& pixels) {
    if (format == D3DFMT_DXT1) {
        DecodeColours(block, true, pixels);
        return;
    }
    DecodeColours(block + 8, false, pixels);
    if (format == D3DFMT_DXT3) {
        DecodeExplicitAlpha(block, pixels);
    } else {
        DecodeInterpolatedAlpha(block, pixels);
    }
}

}  // namespace

bool DecodeDxt(D3DFORMAT format, const BYTE* blocks, std::size_t size, UINT width, UINT height,
               DWORD* pixels) {
    if (format != D3DFMT_DXT1 && format != D3DFMT_DXT3 && format != D3DFMT_DXT5) {
        return false;
    }
    const std::size_t blockBytes = format == D3DFMT_DXT1 ? 8 : 16;
    const std::size_t columns = (static_cast<std::size_t>(width) + 3) / 4;
    const std::size_t rows = (static_cast<std::size_t>(height) + 3) / 4;
    if (size / blockBytes < columns * rows) {
        return false;
    }
    BlockPixels block{};
    for (std::size_t row = 0; row < rows; ++row) {
        for (std::size_t column = 0; column < columns; ++column) {
            DecodeBlock(format, blocks + (row * columns + column) * blockBytes, block);
            for (std::size_t y = 0; y < 4 && row * 4 + y < height; ++y) {
                for (std::size_t x = 0; x < 4 && column * 4 + x < width; ++x) {
                    pixels[(row * 4 + y) * width + column * 4 + x] = block[y * 4 + x];
                }
            }
        }
    }
    return true;
}

}  // namespace d3d8
