#include "platform/d3dx8/texture_loading.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/d3d8/dxt_decoder.h"
#include "platform/d3d8/pixel_format.h"
#include "platform/d3dx8/pixel_channels.h"
#include "platform/win32/files.h"

namespace {

// Files beyond this size are no images the program can use.
constexpr std::uint64_t kMaxImageFileBytes = std::uint64_t(256) << 20;

struct TextureRequest {
    UINT width;
    UINT height;
    UINT mipLevels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    D3DCOLOR colorKey;
};

// A level of A8R8G8B8 pixels, rows from the top.
struct PixelLevel {
    UINT width;
    UINT height;
    std::vector<DWORD> pixels;
};

bool IsDefault(UINT value) {
    return value == 0 || value == D3DX_DEFAULT;
}

void ChooseSize(const d3dx8::Image& image, UINT maxEdge, TextureRequest& request) {
    request.width = IsDefault(request.width) ? image.width : request.width;
    request.height = IsDefault(request.height) ? image.height : request.height;
    while (request.width > maxEdge || request.height > maxEdge) {
        request.width = std::max(1u, request.width / 2);
        request.height = std::max(1u, request.height / 2);
    }
}

// The requested format when the device can make textures of it, else the image's own when
// it is usable, else A8R8G8B8.
D3DFORMAT ChooseFormat(const d3dx8::Image& image, D3DFORMAT requested) {
    d3d8::PixelFormat pixel{};
    if (requested != D3DFMT_UNKNOWN && d3d8::DescribeTextureFormat(requested, &pixel)) {
        return requested;
    }
    return d3d8::DescribeTextureFormat(image.format, &pixel) ? image.format : D3DFMT_A8R8G8B8;
}

PixelLevel UnpackTopLevel(const d3dx8::Image& image) {
    PixelLevel level{image.width, image.height, {}};
    if (d3d8::IsCompressed(image.format)) {
        level.pixels.resize(std::size_t(image.width) * image.height);
        d3d8::DecodeDxt(image.format, image.levels[0].data(), image.levels[0].size(), image.width,
                        image.height, level.pixels.data());
    } else {
        level.pixels = d3dx8::UnpackPixels(*d3dx8::MasksOfFormat(image.format), image.levels[0].data(),
                                           image.width, image.height);
    }
    return level;
}

// Nearest-pixel resampling: cheap, and exact for the unscaled images the program uses.
PixelLevel Resample(const PixelLevel& source, UINT width, UINT height) {
    if (source.width == width && source.height == height) {
        return source;
    }
    PixelLevel target{width, height, std::vector<DWORD>(std::size_t(width) * height)};
    for (UINT y = 0; y < height; ++y) {
        const std::size_t sourceRow = std::size_t(y) * source.height / height * source.width;
        for (UINT x = 0; x < width; ++x) {
            target.pixels[std::size_t(y) * width + x] =
                source.pixels[sourceRow + std::size_t(x) * source.width / width];
        }
    }
    return target;
}

// The next smaller level: each pixel averages the (up to) four pixels it covers, channel by channel.
PixelLevel HalveBox(const PixelLevel& source) {
    const UINT width = std::max(1u, source.width / 2);
    const UINT height = std::max(1u, source.height / 2);
    PixelLevel target{width, height, std::vector<DWORD>(std::size_t(width) * height)};
    for (UINT y = 0; y < height; ++y) {
        for (UINT x = 0; x < width; ++x) {
            const UINT x0 = std::min(2 * x, source.width - 1);
            const UINT x1 = std::min(2 * x + 1, source.width - 1);
            const UINT y0 = std::min(2 * y, source.height - 1);
            const UINT y1 = std::min(2 * y + 1, source.height - 1);
            const DWORD corners[4] = {source.pixels[std::size_t(y0) * source.width + x0],
                                      source.pixels[std::size_t(y0) * source.width + x1],
                                      source.pixels[std::size_t(y1) * source.width + x0],
                                      source.pixels[std::size_t(y1) * source.width + x1]};
            DWORD averaged = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                DWORD sum = 2;
                for (DWORD corner : corners) {
                    sum += (corner >> shift) & 0xFF;
                }
                averaged |= (sum / 4) << shift;
            }
            target.pixels[std::size_t(y) * width + x] = averaged;
        }
    }
    return target;
}

void ApplyColorKey(PixelLevel& level, D3DCOLOR key) {
    std::replace(level.pixels.begin(), level.pixels.end(), key, DWORD{0});
}

// The levels' bytes in the target format: copied when the file holds them as they are,
// otherwise rebuilt from the top level.
std::vector<std::vector<BYTE>> BuildLevels(const d3dx8::Image& image, const TextureRequest& request,
                                           UINT levelCount) {
    if (request.width == image.width && request.height == image.height && request.format == image.format &&
        request.colorKey == 0 && image.levels.size() >= levelCount) {
        return {image.levels.begin(), image.levels.begin() + levelCount};
    }
    PixelLevel level = Resample(UnpackTopLevel(image), request.width, request.height);
    if (request.colorKey != 0) {
        ApplyColorKey(level, request.colorKey);
    }
    const d3dx8::ChannelMasks masks = *d3dx8::MasksOfFormat(request.format);
    std::vector<std::vector<BYTE>> levels;
    for (UINT i = 0; i < levelCount; ++i) {
        levels.push_back(d3dx8::PackPixels(masks, level.pixels));
        level = HalveBox(level);
    }
    return levels;
}

bool FillLevel(IDirect3DTexture8* texture, UINT level, const std::vector<BYTE>& bytes) {
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(level, &locked, nullptr, 0))) {
        return false;
    }
    D3DSURFACE_DESC desc{};
    texture->GetLevelDesc(level, &desc);
    const std::size_t rows = d3d8::IsCompressed(desc.Format) ? (desc.Height + 3) / 4 : desc.Height;
    const std::size_t rowBytes = bytes.size() / std::max<std::size_t>(rows, 1);
    for (std::size_t row = 0; row < rows; ++row) {
        std::memcpy(static_cast<BYTE*>(locked.pBits) + row * locked.Pitch, bytes.data() + row * rowBytes,
                    rowBytes);
    }
    texture->UnlockRect(level);
    return true;
}

HRESULT CreateFromImage(IDirect3DDevice8* device, const d3dx8::Image& image, TextureRequest request,
                        D3DXIMAGE_INFO* info, IDirect3DTexture8** texture) {
    D3DCAPS8 caps{};
    if (FAILED(device->GetDeviceCaps(&caps))) {
        return D3DERR_INVALIDCALL;
    }
    ChooseSize(image, std::min(caps.MaxTextureWidth, caps.MaxTextureHeight), request);
    request.format = ChooseFormat(image, request.format);
    if (d3d8::IsCompressed(request.format) && request.format != image.format) {
        // Compressing is not offered: the pixels stay uncompressed.
        request.format = D3DFMT_A8R8G8B8;
    }
    const UINT chain = d3d8::FullChainLength(request.width, request.height);
    const UINT levelCount = IsDefault(request.mipLevels) ? chain : std::min(request.mipLevels, chain);
    if (d3d8::IsCompressed(request.format) &&
        (request.width != image.width || request.height != image.height || request.colorKey != 0 ||
         image.levels.size() < levelCount)) {
        request.format = D3DFMT_A8R8G8B8;
    }

    IDirect3DTexture8* created = nullptr;
    const HRESULT result = device->CreateTexture(request.width, request.height, levelCount, request.usage,
                                                 request.format, request.pool, &created);
    if (FAILED(result)) {
        return result;
    }
    const std::vector<std::vector<BYTE>> levels = BuildLevels(image, request, levelCount);
    for (UINT level = 0; level < levelCount; ++level) {
        if (!FillLevel(created, level, levels[level])) {
            created->Release();
            return D3DERR_INVALIDCALL;
        }
    }
    if (info != nullptr) {
        *info = {image.width,      image.height,    1, static_cast<UINT>(image.levels.size()), image.format,
                 D3DRTYPE_TEXTURE, image.fileFormat};
    }
    *texture = created;
    return D3D_OK;
}

}  // namespace

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice8* device, const void* srcData, UINT srcDataSize,
                                            UINT width, UINT height, UINT mipLevels, DWORD usage,
                                            D3DFORMAT format, D3DPOOL pool, DWORD /*filter*/,
                                            DWORD /*mipFilter*/, D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo,
                                            PALETTEENTRY* /*palette*/, IDirect3DTexture8** texture) {
    if (device == nullptr || srcData == nullptr || srcDataSize == 0 || texture == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    d3dx8::Image image;
    if (!d3dx8::ReadImageFile(static_cast<const BYTE*>(srcData), srcDataSize, &image)) {
        return D3DXERR_INVALIDDATA;
    }
    const TextureRequest request{width, height, mipLevels, usage, format, pool, colorKey};
    return CreateFromImage(device, image, request, srcInfo, texture);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice8* device, const char* srcFile, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                     DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                     D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette,
                                     IDirect3DTexture8** texture) {
    if (srcFile == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    std::vector<std::uint8_t> bytes;
    if (!win32::ReadFile(srcFile, bytes, kMaxImageFileBytes) || bytes.empty()) {
        return D3DERR_NOTFOUND;
    }
    return D3DXCreateTextureFromFileInMemoryEx(device, bytes.data(), static_cast<UINT>(bytes.size()), width,
                                               height, mipLevels, usage, format, pool, filter, mipFilter,
                                               colorKey, srcInfo, palette, texture);
}
