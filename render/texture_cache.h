#pragma once
// Turns texture file names into textures: each file is loaded once per device lifetime and the
// same texture is handed to every user. A ".dds" file of the same base name wins over the named
// file, and plain files win over packed ones.

#include <cstdint>
#include <list>
#include <string>

#include "engine/singleton.h"
#include "platform/d3dx8/texture_loading.h"

class CTextureCache : public tmSingleton<CTextureCache> {
public:
    // The texture or null; failures are remembered until ReleaseAll. The cache keeps the only
    // reference: callers borrow the pointer. Names without a drive are taken from the program
    // folder, wherever the program was started from.
    IDirect3DTexture8* LoadTexture(const std::string& name, UINT width, UINT height, UINT mipLevels,
                                   DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter, DWORD mipFilter,
                                   D3DCOLOR colorKey, D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette);
    // The normalised path of the entry holding the texture, or "Invalid texture name!".
    std::string GetTextureName(const IDirect3DBaseTexture8* texture) const;
    void ReleaseAll();

private:
    friend class tmSingleton<CTextureCache>;
    CTextureCache() = default;

    struct tEntry {
        std::string path;
        IDirect3DTexture8* texture;
        std::uint32_t hash;
    };

    struct tRequest {
        UINT width, height, mipLevels;
        DWORD usage;
        D3DFORMAT format;
        D3DPOOL pool;
        DWORD filter, mipFilter;
        D3DCOLOR colorKey;
        D3DXIMAGE_INFO* srcInfo;
        PALETTEENTRY* palette;
    };

    // The first of the four variants that loads, null when none does.
    static IDirect3DTexture8* LoadVariants(const std::string& path, const tRequest& request);
    static IDirect3DTexture8* LoadPlain(const std::string& path, const tRequest& request);
    static IDirect3DTexture8* LoadPacked(const std::string& path, const tRequest& request);

    std::list<tEntry> m_entries;
};
