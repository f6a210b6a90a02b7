#include "platform/d3d8/recording_device.h"

#include <utility>

#include "platform/d3d8/recording_direct3d.h"

namespace d3d8 {
namespace {

// Test hooks of the recording back end.
struct RecordingHooks {
    RecordingDevice* lastDevice = nullptr;
    HRESULT createFailure = D3D_OK;
};

RecordingHooks& Hooks() {
    static RecordingHooks hooks;
    return hooks;
}

}  // namespace

unsigned DeviceRecord::Calls(std::string_view method) const {
    const auto found = calls.find(method);
    return found == calls.end() ? 0 : found->second;
}

unsigned DeviceRecord::TransformSets(D3DTRANSFORMSTATETYPE state) const {
    const auto found = transformSets.find(state);
    return found == transformSets.end() ? 0 : found->second;
}

RecordingControl* RecordingControl::LastDevice() {
    return Hooks().lastDevice;
}

void FailNextCreateDevice(HRESULT result) {
    Hooks().createFailure = result;
}

HRESULT TakeCreateDeviceFailure() {
    return std::exchange(Hooks().createFailure, D3D_OK);
}

RecordingDevice::RecordingDevice(Direct3DBase& direct3D, const D3DDEVICE_CREATION_PARAMETERS& creation,
                                 const D3DPRESENT_PARAMETERS& presentation)
    : DeviceBase(direct3D, creation, presentation) {
    Hooks().lastDevice = this;
}

RecordingDevice::~RecordingDevice() {
    if (Hooks().lastDevice == this) {
        Hooks().lastDevice = nullptr;
    }
}

void RecordingDevice::OnCall(std::string_view method) {
    auto found = m_record.calls.find(method);
    if (found == m_record.calls.end()) {
        found = m_record.calls.emplace(std::string(method), 0).first;
    }
    ++found->second;
}

void RecordingDevice::OnSubmit(const StateCommand& command) {
    DeviceBase::OnSubmit(command);
    if (const auto* transform = std::get_if<TransformCommand>(&command)) {
        ++m_record.transformSets[transform->state];
    }
}

void RecordingDevice::OnClear(DWORD count, const D3DRECT* /*rects*/, DWORD flags, D3DCOLOR color, float z,
                              DWORD stencil) {
    m_record.clears.push_back({count, flags, color, z, stencil});
}

HRESULT RecordingDevice::OnDraw(const DrawCall& draw) {
    const DeviceState& state = State();
    m_record.draws.push_back({std::string(draw.method), draw.type, draw.primitiveCount, draw.fvf,
                              state.Texture(0), state.Transform(D3DTS_WORLD),
                              state.RenderState(D3DRS_ALPHABLENDENABLE), state.RenderState(D3DRS_ZENABLE),
                              state.RenderState(D3DRS_ZWRITEENABLE), state.RenderState(D3DRS_LIGHTING),
                              state.RenderState(D3DRS_CULLMODE), state.RenderState(D3DRS_TEXTUREFACTOR)});
    return D3D_OK;
}

HRESULT RecordingDevice::OnPresent() {
    const HRESULT result = std::exchange(m_presentFailure, D3D_OK);
    if (result == D3DERR_DEVICELOST) {
        DeviceBase::LoseDevice(0);
    }
    if (SUCCEEDED(result)) {
        ++m_record.presents;
    }
    return result;
}

HRESULT RecordingDevice::OnReset(const D3DPRESENT_PARAMETERS& /*presentation*/) {
    return std::exchange(m_resetFailure, D3D_OK);
}

}  // namespace d3d8
