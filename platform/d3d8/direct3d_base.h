#pragma once
// The Direct3D object both back ends share: it answers the enumeration and format questions
// from a description of the adapters and checks device parameters before a back end creates
// the device.

#include <string>
#include <vector>

#include "platform/d3d8/com_object.h"

namespace d3d8 {

struct Adapter {
    std::string driver;
    std::string description;
    DWORD vendorId = 0;
    DWORD deviceId = 0;
    D3DDISPLAYMODE desktop{};
    std::vector<D3DDISPLAYMODE> modes;  // every full-screen mode, in any order
    UINT textureMemory = 0;             // bytes
};

class Direct3DBase : public ComObject<IDirect3D8> {
public:
    Direct3DBase(std::vector<Adapter> adapters, const D3DCAPS8& caps);

    UINT GetAdapterCount() override { return static_cast<UINT>(m_adapters.size()); }
    HRESULT GetAdapterIdentifier(UINT adapter, DWORD flags, D3DADAPTER_IDENTIFIER8* identifier) override;
    UINT GetAdapterModeCount(UINT adapter) override;
    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                            D3DFORMAT backBufferFormat, bool windowed) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) override;
    HRESULT CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT surfaceFormat, bool windowed,
                                       D3DMULTISAMPLE_TYPE multiSampleType) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentationParameters, IDirect3DDevice8** device) override;

    const D3DCAPS8& Caps() const { return m_caps; }
    const Adapter& AdapterAt(UINT adapter) const { return m_adapters[adapter]; }
    // Fills in what the parameters leave to the device (a zero back buffer size takes the
    // window's client size, an unknown windowed format the desktop's) and checks the rest.
    HRESULT CompletePresentation(UINT adapter, HWND focusWindow, D3DPRESENT_PARAMETERS& presentation);

protected:
    virtual HRESULT MakeDevice(const D3DDEVICE_CREATION_PARAMETERS& creation,
                               const D3DPRESENT_PARAMETERS& presentation, IDirect3DDevice8** device) = 0;

private:
    HRESULT CheckAdapter(UINT adapter, D3DDEVTYPE type) const;
    bool IsDisplayFormat(UINT adapter, D3DFORMAT format, bool windowed) const;

    std::vector<Adapter> m_adapters;
    D3DCAPS8 m_caps;
};

// Capabilities of a fixed-function device with hardware transform and lighting and every
// texture operation.
D3DCAPS8 FixedFunctionCaps();

}  // namespace d3d8
