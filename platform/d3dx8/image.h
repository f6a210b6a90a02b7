#pragma once
// An image file decoded into memory: its format, its size and the levels it carries, each laid
// out as a texture level of that format (rows of pixels or of 4 x 4 blocks, no padding).

#include <cstddef>
#include <vector>

#include "platform/d3d8/d3d8_types.h"

enum D3DXIMAGE_FILEFORMAT : DWORD {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
};

namespace d3dx8 {

// No edge of an image file may pass this; larger claims are refused before any decoding.
constexpr UINT kMaxImageEdge = 8192;

struct Image {
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT width = 0;
    UINT height = 0;
    D3DXIMAGE_FILEFORMAT fileFormat = D3DXIFF_BMP;
    std::vector<std::vector<BYTE>> levels;
};

// DDS files by their own reader, PNG, JPEG, TGA and BMP through stb_image. False for anything
// else, for broken or truncated data and for impossible dimensions.
bool ReadImageFile(const BYTE* data, std::size_t size, Image* image);
bool ReadDds(const BYTE* data, std::size_t size, Image* image);
bool ReadStbImage(const BYTE* data, std::size_t size, Image* image);

}  // namespace d3dx8
