#pragma once
// Vertex and index buffers: plain memory that draw calls read from.

#include <vector>

#include "platform/d3d8/resource.h"

namespace d3d8 {

template <class Interface, class Description>
class Buffer : public Resource<Interface> {
public:
    Buffer(DeviceBase& device, const Description& description)
        : Resource<Interface>(device, description.Pool),
          m_description(description),
          m_bytes(description.Size) {}

    D3DRESOURCETYPE GetType() override { return m_description.Type; }

    // A size of 0 locks from the offset to the end.
    HRESULT Lock(UINT offset, UINT size, BYTE** data, DWORD /*flags*/) override {
        if (data == nullptr || offset > m_bytes.size() || size > m_bytes.size() - offset) {
            return D3DERR_INVALIDCALL;
        }
        *data = m_bytes.data() + offset;
        ++m_locks;
        return D3D_OK;
    }

    HRESULT Unlock() override {
        if (m_locks == 0) {
            return D3DERR_INVALIDCALL;
        }
        --m_locks;
        return D3D_OK;
    }

    HRESULT GetDesc(Description* description) override {
        if (description == nullptr) {
            return D3DERR_INVALIDCALL;
        }
        *description = m_description;
        return D3D_OK;
    }

    const Description& Desc() const { return m_description; }
    const BYTE* Data() const { return m_bytes.data(); }
    UINT Size() const { return m_description.Size; }

private:
    Description m_description;
    std::vector<BYTE> m_bytes;
    UINT m_locks = 0;
};

using VertexBuffer = Buffer<IDirect3DVertexBuffer8, D3DVERTEXBUFFER_DESC>;
using IndexBuffer = Buffer<IDirect3DIndexBuffer8, D3DINDEXBUFFER_DESC>;

}  // namespace d3d8
