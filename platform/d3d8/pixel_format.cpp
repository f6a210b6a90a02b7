#include "platform/d3d8/pixel_format.h"

#include <algorithm>

namespace d3d8 {

bool DescribeTextureFormat(D3DFORMAT format, PixelFormat* description) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
            *description = {1, 4};
            return true;
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
        case D3DFMT_A4R4G4B4:
        case D3DFMT_X4R4G4B4:
        case D3DFMT_A8L8:
            *description = {1, 2};
            return true;
        case D3DFMT_A8:
        case D3DFMT_L8:
            *description = {1, 1};
            return true;
        case D3DFMT_DXT1:
            *description = {4, 8};
            return true;
        case D3DFMT_DXT3:
        case D3DFMT_DXT5:
            *description = {4, 16};
            return true;
        default:
            return false;
    }
}

bool IsCompressed(D3DFORMAT format) {
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT3 || format == D3DFMT_DXT5;
}

bool IsDepthFormat(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D16_LOCKABLE:
        case D3DFMT_D32:
        case D3DFMT_D15S1:
        case D3DFMT_D24S8:
        case D3DFMT_D16:
        case D3DFMT_D24X8:
        case D3DFMT_D24X4S4:
            return true;
        default:
            return false;
    }
}

LevelLayout LayoutLevel(const PixelFormat& format, UINT width, UINT height) {
    const UINT columns = (width + format.blockSize - 1) / format.blockSize;
    const UINT rows = (height + format.blockSize - 1) / format.blockSize;
    return {width, height, columns * format.blockBytes, rows};
}

UINT FullChainLength(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT size = std::max(width, height); size > 1; size /= 2) {
        ++levels;
    }
    return levels;
}

}  // namespace d3d8
