#pragma once
// A texture with its mip levels in memory. Every pool keeps this copy, so textures can be
// locked at any time and survive a reset; back ends upload it when its revision changes.

#include <vector>

#include "platform/d3d8/pixel_format.h"
#include "platform/d3d8/resource.h"

namespace d3d8 {

class Texture : public Resource<IDirect3DTexture8> {
public:
    struct Level {
        LevelLayout layout;
        std::vector<BYTE> bytes;
    };

    // Checks the arguments; levels 0 asks for the full chain.
    static HRESULT Create(DeviceBase& device, UINT width, UINT height, UINT levels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture);

    D3DRESOURCETYPE GetType() override { return D3DRTYPE_TEXTURE; }
    DWORD GetLevelCount() override { return static_cast<DWORD>(m_levels.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    ~Texture() override;

    D3DFORMAT Format() const { return m_format; }
    const std::vector<Level>& Levels() const { return m_levels; }
    // Grows whenever a lock may have changed the pixels.
    unsigned Revision() const { return m_revision; }

    // Slot for the back end's own object for this texture (an OpenGL name).
    unsigned backEndName = 0;
    unsigned uploadedRevision = 0;

private:
    Texture(DeviceBase& device, D3DFORMAT format, DWORD usage, D3DPOOL pool, std::vector<Level> levels);

    D3DFORMAT m_format;
    DWORD m_usage;
    std::vector<Level> m_levels;
    std::vector<bool> m_locked;
    unsigned m_revision = 1;
};

}  // namespace d3d8
