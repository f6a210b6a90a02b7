#pragma once
// The headless device: it keeps the state and records every call instead of drawing.

#include "platform/d3d8/device_base.h"
#include "platform/d3d8/recording_control.h"

namespace d3d8 {

class RecordingDevice : public DeviceBase, public RecordingControl {
public:
    RecordingDevice(Direct3DBase& direct3D, const D3DDEVICE_CREATION_PARAMETERS& creation,
                    const D3DPRESENT_PARAMETERS& presentation);
    ~RecordingDevice() override;

    IDirect3DDevice8* Device() override { return this; }
    DeviceRecord& Record() override { return m_record; }
    void LoseDevice(unsigned lostTests) override { DeviceBase::LoseDevice(lostTests); }
    void FailNextPresent(HRESULT result) override { m_presentFailure = result; }
    void FailNextReset(HRESULT result) override { m_resetFailure = result; }

protected:
    void OnCall(std::string_view method) override;
    void OnSubmit(const StateCommand& command) override;
    void OnClear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z,
                 DWORD stencil) override;
    HRESULT OnDraw(const DrawCall& draw) override;
    HRESULT OnPresent() override;
    HRESULT OnReset(const D3DPRESENT_PARAMETERS& presentation) override;

private:
    DeviceRecord m_record;
    HRESULT m_presentFailure = D3D_OK;
    HRESULT m_resetFailure = D3D_OK;
};

}  // namespace d3d8
