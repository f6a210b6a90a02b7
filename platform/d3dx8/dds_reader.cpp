// DirectDraw Surface files: a 4-byte magic, a 124-byte header with a pixel format, then the
// levels of the first surface, largest first.

#include <algorithm>
#include <cstdint>
#include <optional>

#include "platform/d3d8/pixel_format.h"
#include "platform/d3dx8/image.h"
#include "platform/d3dx8/pixel_channels.h"

namespace d3dx8 {
namespace {

constexpr std::size_t kMagicSize = 4;
constexpr std::size_t kHeaderSize = 124;
constexpr DWORD kFlagMipMapCount = 0x20000;
constexpr DWORD kPixelAlphaPixels = 0x1;
constexpr DWORD kPixelAlphaOnly = 0x2;
constexpr DWORD kPixelFourCC = 0x4;
constexpr DWORD kPixelLuminance = 0x20000;
constexpr DWORD kCaps2Volume = 0x200000;

DWORD ReadDword(const BYTE* bytes) {
    return DWORD(bytes[0]) | DWORD(bytes[1]) << 8 | DWORD(bytes[2]) << 16 | DWORD(bytes[3]) << 24;
}

struct DdsHeader {
    DWORD flags;
    DWORD height;
    DWORD width;
    DWORD mipMapCount;
    DWORD pixelFlags;
    DWORD fourCC;
    DWORD bitCount;
    DWORD redMask;
    DWORD greenMask;
    DWORD blueMask;
    DWORD alphaMask;
    DWORD caps2;
};

DdsHeader ParseHeader(const BYTE* header) {
    return {ReadDword(header + 4),  ReadDword(header + 8),  ReadDword(header + 12),  ReadDword(header + 24),
            ReadDword(header + 76), ReadDword(header + 80), ReadDword(header + 84),  ReadDword(header + 88),
            ReadDword(header + 92), ReadDword(header + 96), ReadDword(header + 100), ReadDword(header + 108)};
}

std::optional<D3DFORMAT> CompressedFormat(DWORD fourCC) {
    for (D3DFORMAT format : {D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5}) {
        if (fourCC == static_cast<DWORD>(format)) {
            return format;
        }
    }
    return std::nullopt;
}

// The masks the file declares; alpha counts only when the file says the pixels carry it.
std::optional<ChannelMasks> DeclaredMasks(const DdsHeader& header) {
    if (header.bitCount == 0 || header.bitCount > 32 || header.bitCount % 8 != 0) {
        return std::nullopt;
    }
    const bool hasAlpha = (header.pixelFlags & (kPixelAlphaPixels | kPixelAlphaOnly)) != 0;
    ChannelMasks masks{header.bitCount / 8,
                       header.redMask,
                       header.greenMask,
                       header.blueMask,
                       hasAlpha ? header.alphaMask : 0,
                       (header.pixelFlags & kPixelLuminance) != 0};
    if ((masks.red | masks.green | masks.blue | masks.alpha) == 0) {
        return std::nullopt;
    }
    return masks;
}

bool SameMasks(const ChannelMasks& a, const ChannelMasks& b) {
    return a.bytesPerPixel == b.bytesPerPixel && a.red == b.red && a.alpha == b.alpha &&
           a.luminance == b.luminance && (a.luminance || (a.green == b.green && a.blue == b.blue));
}

// A texture format whose memory layout equals the declared one, if there is one.
std::optional<D3DFORMAT> NativeFormat(const ChannelMasks& declared) {
    for (D3DFORMAT format :
         {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4,
          D3DFMT_X4R4G4B4, D3DFMT_L8, D3DFMT_A8, D3DFMT_A8L8}) {
        if (SameMasks(*MasksOfFormat(format), declared)) {
            return format;
        }
    }
    return std::nullopt;
}

// Copies the levels one after the other; false when the data ends first.
bool ReadLevels(const BYTE* data, std::size_t size, const d3d8::PixelFormat& pixel, UINT levelCount,
                Image* image) {
    UINT width = image->width;
    UINT height = image->height;
    std::size_t offset = 0;
    image->levels.clear();
    for (UINT level = 0; level < levelCount; ++level) {
        const std::size_t bytes = d3d8::LayoutLevel(pixel, width, height).Size();
        if (bytes > size - offset) {
            // Levels beyond the first may be missing: the caller rebuilds the chain.
            return level > 0;
        }
        image->levels.emplace_back(data + offset, data + offset + bytes);
        offset += bytes;
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    return true;
}

// Uncompressed data in a layout no texture format has becomes A8R8G8B8, level by level.
void ConvertLevels(const ChannelMasks& declared, Image* image) {
    const ChannelMasks target = *MasksOfFormat(D3DFMT_A8R8G8B8);
    UINT width = image->width;
    UINT height = image->height;
    for (std::vector<BYTE>& level : image->levels) {
        level = PackPixels(target, UnpackPixels(declared, level.data(), width, height));
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    image->format = D3DFMT_A8R8G8B8;
}

}  // namespace

bool ReadDds(const BYTE* data, std::size_t size, Image* image) {
    if (size < kMagicSize + kHeaderSize || ReadDword(data) != MAKEFOURCC('D', 'D', 'S', ' ')) {
        return false;
    }
    const DdsHeader header = ParseHeader(data + kMagicSize);
    if (header.width == 0 || header.height == 0 || header.width > kMaxImageEdge ||
        header.height > kMaxImageEdge || (header.caps2 & kCaps2Volume) != 0) {
        return false;
    }
    image->width = header.width;
    image->height = header.height;
    image->fileFormat = D3DXIFF_DDS;

    std::optional<ChannelMasks> declared;
    if ((header.pixelFlags & kPixelFourCC) != 0) {
        const std::optional<D3DFORMAT> compressed = CompressedFormat(header.fourCC);
        if (!compressed) {
            return false;
        }
        image->format = *compressed;
    } else {
        declared = DeclaredMasks(header);
        if (!declared) {
            return false;
        }
        image->format = NativeFormat(*declared).value_or(D3DFMT_UNKNOWN);
    }

    d3d8::PixelFormat pixel{};
    if (image->format != D3DFMT_UNKNOWN) {
        d3d8::DescribeTextureFormat(image->format, &pixel);
    } else {
        pixel = {1, declared->bytesPerPixel};
    }
    const UINT chain = d3d8::FullChainLength(header.width, header.height);
    const UINT declaredLevels = (header.flags & kFlagMipMapCount) != 0 ? header.mipMapCount : 1;
    const UINT levelCount = std::clamp(declaredLevels, 1u, chain);
    if (!ReadLevels(data + kMagicSize + kHeaderSize, size - kMagicSize - kHeaderSize, pixel, levelCount,
                    image)) {
        return false;
    }
    if (image->format == D3DFMT_UNKNOWN) {
        ConvertLevels(*declared, image);
    }
    return true;
}

}  // namespace d3dx8
