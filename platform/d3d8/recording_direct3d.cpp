#include "platform/d3d8/recording_direct3d.h"

#include "platform/d3d8/recording_device.h"

namespace d3d8 {
namespace {

Adapter RecordingAdapter() {
    Adapter adapter;
    adapter.driver = "zumbo_recording";
    adapter.description = "Zumbo Recording Adapter";
    adapter.desktop = {1024, 768, 60, D3DFMT_X8R8G8B8};
    adapter.textureMemory = 256u << 20;
    constexpr UINT kSizes[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    for (D3DFORMAT format : {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5}) {
        for (const auto& size : kSizes) {
            for (UINT refresh : {60u, 75u}) {
                adapter.modes.push_back({size[0], size[1], refresh, format});
            }
        }
    }
    return adapter;
}

}  // namespace

IDirect3D8* CreateRecordingDirect3D() {
    return new RecordingDirect3D();
}

RecordingDirect3D::RecordingDirect3D() : Direct3DBase({RecordingAdapter()}, FixedFunctionCaps()) {}

HRESULT RecordingDirect3D::MakeDevice(const D3DDEVICE_CREATION_PARAMETERS& creation,
                                      const D3DPRESENT_PARAMETERS& presentation, IDirect3DDevice8** device) {
    if (const HRESULT failure = TakeCreateDeviceFailure(); FAILED(failure)) {
        return failure;
    }
    *device = new RecordingDevice(*this, creation, presentation);
    return D3D_OK;
}

}  // namespace d3d8
