#pragma once
// The headless Direct3D object: one fixed adapter whose devices record instead of drawing.

#include "platform/d3d8/direct3d_base.h"

namespace d3d8 {

class RecordingDirect3D : public Direct3DBase {
public:
    RecordingDirect3D();

protected:
    HRESULT MakeDevice(const D3DDEVICE_CREATION_PARAMETERS& creation,
                       const D3DPRESENT_PARAMETERS& presentation, IDirect3DDevice8** device) override;
};

// The failure set by FailNextCreateDevice, cleared by taking it.
HRESULT TakeCreateDeviceFailure();

}  // namespace d3d8
