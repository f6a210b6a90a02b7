#include "platform/d3d8/texture.h"

#include <algorithm>

#include "platform/d3d8/device_base.h"

namespace d3d8 {
namespace {

// One mip level seen as a surface; it keeps its texture alive.
class TextureSurface : public ComObject<IDirect3DSurface8> {
public:
    TextureSurface(Texture& texture, UINT level) : m_texture(texture), m_level(level) { m_texture.AddRef(); }
    ~TextureSurface() override { m_texture.Release(); }

    HRESULT GetDevice(IDirect3DDevice8** device) override { return m_texture.GetDevice(device); }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override { return m_texture.GetLevelDesc(m_level, desc); }
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override {
        return m_texture.LockRect(m_level, locked, rect, flags);
    }
    HRESULT UnlockRect() override { return m_texture.UnlockRect(m_level); }

private:
    Texture& m_texture;
    UINT m_level;
};

bool IsInside(const RECT& rect, const LevelLayout& layout) {
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           static_cast<UINT>(rect.right) <= layout.width && static_cast<UINT>(rect.bottom) <= layout.height;
}

}  // namespace

HRESULT Texture::Create(DeviceBase& device, UINT width, UINT height, UINT levels, DWORD usage,
                        D3DFORMAT format, D3DPOOL pool, IDirect3DTexture8** texture) {
    PixelFormat pixel{};
    const DWORD maxSize = std::min(device.Caps().MaxTextureWidth, device.Caps().MaxTextureHeight);
    if (texture == nullptr || !DescribeTextureFormat(format, &pixel) || width == 0 || height == 0 ||
        width > maxSize || height > maxSize || pool > D3DPOOL_SYSTEMMEM) {
        return D3DERR_INVALIDCALL;
    }
    const UINT chain = FullChainLength(width, height);
    if (levels > chain) {
        return D3DERR_INVALIDCALL;
    }
    std::vector<Level> built(levels == 0 ? chain : levels);
    for (Level& level : built) {
        level.layout = LayoutLevel(pixel, width, height);
        level.bytes.assign(level.layout.Size(), 0);
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    *texture = new Texture(device, format, usage, pool, std::move(built));
    return D3D_OK;
}

Texture::Texture(DeviceBase& device, D3DFORMAT format, DWORD usage, D3DPOOL pool, std::vector<Level> levels)
    : Resource(device, pool),
      m_format(format),
      m_usage(usage),
      m_levels(std::move(levels)),
      m_locked(m_levels.size(), false) {}

Texture::~Texture() {
    Owner().ForgetTexture(*this);
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) {
    if (desc == nullptr || level >= m_levels.size()) {
        return D3DERR_INVALIDCALL;
    }
    const LevelLayout& layout = m_levels[level].layout;
    *desc = {m_format,
             D3DRTYPE_SURFACE,
             m_usage,
             Pool(),
             static_cast<UINT>(layout.Size()),
             D3DMULTISAMPLE_NONE,
             layout.width,
             layout.height};
    return D3D_OK;
}

HRESULT Texture::GetSurfaceLevel(UINT level, IDirect3DSurface8** surface) {
    if (surface == nullptr || level >= m_levels.size()) {
        return D3DERR_INVALIDCALL;
    }
    *surface = new TextureSurface(*this, level);
    return D3D_OK;
}

HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
    if (locked == nullptr || level >= m_levels.size() || m_locked[level]) {
        return D3DERR_INVALIDCALL;
    }
    Level& target = m_levels[level];
    std::size_t offset = 0;
    if (rect != nullptr) {
        const UINT block = IsCompressed(m_format) ? 4 : 1;
        if (!IsInside(*rect, target.layout) || rect->left % block != 0 || rect->top % block != 0) {
            return D3DERR_INVALIDCALL;
        }
        const UINT bytesPerColumn = target.layout.pitch / ((target.layout.width + block - 1) / block);
        offset = static_cast<std::size_t>(rect->top / block) * target.layout.pitch +
                 static_cast<std::size_t>(rect->left / block) * bytesPerColumn;
    }
    locked->Pitch = static_cast<int>(target.layout.pitch);
    locked->pBits = target.bytes.data() + offset;
    m_locked[level] = true;
    if ((flags & D3DLOCK_READONLY) == 0) {
        ++m_revision;
    }
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level) {
    if (level >= m_levels.size() || !m_locked[level]) {
        return D3DERR_INVALIDCALL;
    }
    m_locked[level] = false;
    return D3D_OK;
}

}  // namespace d3d8
