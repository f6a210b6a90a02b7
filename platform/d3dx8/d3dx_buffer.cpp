#include <vector>

#include "platform/d3d8/com_object.h"
#include "platform/d3dx8/mesh.h"

namespace {

class Buffer : public d3d8::ComObject<ID3DXBuffer> {
public:
    explicit Buffer(DWORD size) : m_bytes(size) {}
    void* GetBufferPointer() override { return m_bytes.data(); }
    DWORD GetBufferSize() override { return static_cast<DWORD>(m_bytes.size()); }

private:
    std::vector<BYTE> m_bytes;
};

}  // namespace

HRESULT D3DXCreateBuffer(DWORD numBytes, ID3DXBuffer** buffer) {
    if (buffer == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *buffer = new Buffer(numBytes);
    return D3D_OK;
}
