#pragma once
// D3DX 8 texture creation from image files and from image files in memory.

#include "platform/d3d8/d3d8.h"
#include "platform/d3dx8/image.h"
#include "platform/d3dx8/mesh.h"  // D3DXERR_INVALIDDATA

// "Take it from the file" for sizes and mip levels, "the usual filter" for filters.
constexpr UINT D3DX_DEFAULT = 0xFFFFFFFF;

constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;

struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

struct PALETTEENTRY {
    BYTE peRed;
    BYTE peGreen;
    BYTE peBlue;
    BYTE peFlags;
};

// Width and height 0 or D3DX_DEFAULT keep the image's size (shrunk to the device's limit);
// mip levels 0 or D3DX_DEFAULT ask for the full chain; D3DFMT_UNKNOWN keeps the image's format.
// A non-zero colour key turns the pixels of that A8R8G8B8 value into transparent black.
// Palettes are never used: the palette argument is left untouched.
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* device, const char* srcFile, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture8** texture);

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice8* device, const void* srcData, UINT srcDataSize,
                                            UINT width, UINT height, UINT mipLevels, DWORD usage,
                                            D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                            D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                            IDirect3DTexture8** texture);
