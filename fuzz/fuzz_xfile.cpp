// X-files of any encoding through the reader, the mesh builder and the scene graph.

#include <cstddef>
#include <cstdint>

#include "render/d3d_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CD3DFile file;
    if (SUCCEEDED(file.CreateFromMemory(nullptr, data, static_cast<DWORD>(size), "Z:\\fuzz\\model.x"))) {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        D3DXVECTOR3 min;
        D3DXVECTOR3 max;
        file.GetBoundingBox(identity, min, max);
    }
    file.DeleteDeviceObjects();
    return 0;
}
