#pragma once
// Sizes of the pixel formats that textures and surfaces can be created in.

#include <cstddef>

#include "platform/d3d8/d3d8_types.h"

namespace d3d8 {

struct PixelFormat {
    UINT blockSize;   // pixels per block edge: 4 for DXT, 1 otherwise
    UINT blockBytes;  // bytes per block (per pixel when blockSize is 1)
};

// False for formats that textures cannot use.
bool DescribeTextureFormat(D3DFORMAT format, PixelFormat* description);
bool IsCompressed(D3DFORMAT format);
bool IsDepthFormat(D3DFORMAT format);

struct LevelLayout {
    UINT width;
    UINT height;
    UINT pitch;  // bytes per row of blocks
    UINT rows;   // rows of blocks
    std::size_t Size() const { return static_cast<std::size_t>(pitch) * rows; }
};

LevelLayout LayoutLevel(const PixelFormat& format, UINT width, UINT height);
// Number of levels of a full chain down to 1 x 1.
UINT FullChainLength(UINT width, UINT height);

}  // namespace d3d8
