// Image files of any content through the D3DX texture creation: the DDS reader, stb_image, the
// format conversions and the mip chain.

#include <cstddef>
#include <cstdint>

#include "platform/d3d8/recording_control.h"
#include "platform/d3dx8/texture_loading.h"

namespace {

IDirect3DDevice8* Device() {
    static IDirect3DDevice8* device = [] {
        IDirect3D8* direct3D = d3d8::CreateRecordingDirect3D();
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = 64;
        parameters.BackBufferHeight = 64;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.Windowed = true;
        IDirect3DDevice8* created = nullptr;
        direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                               D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &created);
        return created;
    }();
    return device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    IDirect3DTexture8* texture = nullptr;
    // Both parameter sets the program uses: the full chain, and one level without filtering.
    for (UINT levels : {0u, 1u}) {
        if (SUCCEEDED(D3DXCreateTextureFromFileInMemoryEx(Device(), data, static_cast<UINT>(size),
                                                          D3DX_DEFAULT, D3DX_DEFAULT, levels, 0,
                                                          D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT,
                                                          D3DX_DEFAULT, 0, nullptr, nullptr, &texture))) {
            texture->Release();
        }
    }
    return 0;
}
