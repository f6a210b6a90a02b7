#include "render/texture_cache.h"

#include <vector>

#include "app/debug_log.h"
#include "platform/win32/files.h"
#include "render/application_device.h"
#include "resource/group_file.h"
#include "resource/name_atom.h"
#include "resource/paths.h"

namespace {

// The same drive, folder and base name with the extension ".dds".
std::string DdsPathOf(const std::string& path) {
    const std::size_t nameStart = path.find_last_of("\\:") + 1;
    const std::size_t dot = path.rfind('.');
    const std::size_t baseEnd = (dot == std::string::npos || dot < nameStart) ? path.size() : dot;
    return path.substr(0, baseEnd) + ".dds";
}

}  // namespace

IDirect3DTexture8* CTextureCache::LoadTexture(const std::string& name, UINT width, UINT height,
                                              UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                              DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                              D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* palette) {
    CDebugLog& log = CDebugLog::Instance();
    log.LogLevel(3, "Request to LoadTexture( \"%s\" ).", name.c_str());
    log.LogLevel(3, "Current directory is \"%s\".", win32::GetCurrentDirectory().substr(0, 260).c_str());
    const std::string path = NormalizedPath(MakeFullPath(name));
    const std::uint32_t hash = NameAtom::HashOf(path);
    for (auto entry = m_entries.begin(); entry != m_entries.end(); ++entry) {
        if (entry->hash == hash && entry->path == path) {
            log.LogLevel(3, "LoadTexture( \"%s\" ) -- cached.", path.c_str());
            m_entries.splice(m_entries.begin(), m_entries, entry);
            return entry->texture;
        }
    }
    const tRequest request{width,  height,    mipLevels, usage,   format, pool,
                           filter, mipFilter, colorKey,  srcInfo, palette};
    IDirect3DTexture8* texture = LoadVariants(path, request);
    if (texture) {
        log.LogLevel(3, "LoadTexture( \"%s\" ) -- first time.", path.c_str());
    } else {
        log.LogLevel(2, "LoadTexture( \"%s\" ) -- failed.", path.c_str());
    }
    m_entries.push_back({path, texture, hash});
    return texture;
}

IDirect3DTexture8* CTextureCache::LoadVariants(const std::string& path, const tRequest& request) {
    CDebugLog& log = CDebugLog::Instance();
    const std::string ddsPath = DdsPathOf(path);
    if (IDirect3DTexture8* texture = LoadPlain(ddsPath, request)) {
        log.LogLevel(3, "LoadTexture( \"%s\" ) -- loaded generic DDS.", ddsPath.c_str());
        return texture;
    }
    if (IDirect3DTexture8* texture = LoadPlain(path, request)) {
        log.LogLevel(3, "LoadTexture( \"%s\" ) -- loaded generic texture.", path.c_str());
        return texture;
    }
    if (IDirect3DTexture8* texture = LoadPacked(ddsPath, request)) {
        log.LogLevel(3, "LoadTexture( \"%s\" ) -- loaded grouped DDS.", ddsPath.c_str());
        return texture;
    }
    if (IDirect3DTexture8* texture = LoadPacked(path, request)) {
        log.LogLevel(3, "LoadTexture( \"%s\" ) -- loaded grouped TGA.", path.c_str());
        return texture;
    }
    return nullptr;
}

IDirect3DTexture8* CTextureCache::LoadPlain(const std::string& path, const tRequest& request) {
    if (!FileExists(path)) {
        return nullptr;
    }
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileExA(GetApplicationDevice(), path.c_str(), request.width,
                                            request.height, request.mipLevels, request.usage, request.format,
                                            request.pool, request.filter, request.mipFilter, request.colorKey,
                                            request.srcInfo, request.palette, &texture))) {
        return nullptr;
    }
    return texture;
}

IDirect3DTexture8* CTextureCache::LoadPacked(const std::string& path, const tRequest& request) {
    std::vector<std::uint8_t> bytes;
    if (!CGroupFile::Instance().ReadFile(path, bytes) || bytes.empty()) {
        return nullptr;
    }
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(D3DXCreateTextureFromFileInMemoryEx(
            GetApplicationDevice(), bytes.data(), static_cast<UINT>(bytes.size()), request.width,
            request.height, request.mipLevels, request.usage, request.format, request.pool, request.filter,
            request.mipFilter, request.colorKey, request.srcInfo, request.palette, &texture))) {
        return nullptr;
    }
    return texture;
}

std::string CTextureCache::GetTextureName(const IDirect3DBaseTexture8* texture) const {
    for (const tEntry& entry : m_entries) {
        if (entry.texture != nullptr && entry.texture == texture) {
            return entry.path;
        }
    }
    return "Invalid texture name!";
}

void CTextureCache::ReleaseAll() {
    for (tEntry& entry : m_entries) {
        if (entry.texture) {
            entry.texture->Release();
        }
    }
    m_entries.clear();
}
