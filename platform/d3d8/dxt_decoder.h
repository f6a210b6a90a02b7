#pragma once
// Software decoding of DXT1, DXT3 and DXT5 images for drivers without S3TC support.

#include <cstddef>

#include "platform/d3d8/d3d8_types.h"

namespace d3d8 {

// Decodes a width x height image made of 4 x 4 blocks into A8R8G8B8 pixels, rows from the top,
// width pixels per row. False when the format is no DXT format or the blocks are too few.
bool DecodeDxt(D3DFORMAT format, const BYTE* blocks, std::size_t size, UINT width, UINT height,
               DWORD* pixels);

}  // namespace d3d8
