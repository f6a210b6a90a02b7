#pragma once
// Pixels described by their channel masks, converted to and from 32-bit A8R8G8B8 values.

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/d3d8/d3d8_types.h"

namespace d3dx8 {

struct ChannelMasks {
    UINT bytesPerPixel;  // 1 to 4
    DWORD red;
    DWORD green;
    DWORD blue;
    DWORD alpha;     // 0: opaque
    bool luminance;  // red holds the grey level
};

// The masks of an uncompressed texture format, none for other formats.
std::optional<ChannelMasks> MasksOfFormat(D3DFORMAT format);

// Unpacks width x height pixels from tightly packed rows into A8R8G8B8 values.
std::vector<DWORD> UnpackPixels(const ChannelMasks& masks, const BYTE* source, UINT width, UINT height);
// Packs A8R8G8B8 values into tightly packed rows of the masked layout.
std::vector<BYTE> PackPixels(const ChannelMasks& masks, const std::vector<DWORD>& pixels);

}  // namespace d3dx8
