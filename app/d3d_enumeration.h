#pragma once
// What the Direct3D adapters can do: adapters, devices, display modes and the device
// combinations (adapter format, back-buffer format, windowed) with the depth/stencil formats,
// multisample types, vertex processing types and present intervals each offers.

#include <functional>
#include <memory>
#include <vector>

#include "platform/d3d8/d3d8.h"

enum VertexProcessingType { SOFTWARE_VP = 0, MIXED_VP = 1, HARDWARE_VP = 2, PURE_HARDWARE_VP = 3 };

struct D3DDeviceCombo {
    UINT AdapterOrdinal = 0;
    D3DDEVTYPE DevType = D3DDEVTYPE_HAL;
    D3DFORMAT AdapterFormat = D3DFMT_UNKNOWN;
    D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
    bool IsWindowed = false;
    std::vector<D3DFORMAT> depthStencilFormats;
    std::vector<D3DMULTISAMPLE_TYPE> multiSampleTypes;
    std::vector<VertexProcessingType> vertexProcessingTypes;
    std::vector<UINT> presentIntervals;
};

struct D3DDeviceInfo {
    UINT AdapterOrdinal = 0;
    D3DDEVTYPE DevType = D3DDEVTYPE_HAL;
    D3DCAPS8 Caps{};
    std::vector<D3DDeviceCombo> deviceCombos;
};

struct D3DAdapterInfo {
    UINT AdapterOrdinal = 0;
    D3DADAPTER_IDENTIFIER8 AdapterIdentifier{};
    std::vector<D3DDISPLAYMODE> displayModes;
    std::vector<D3DDeviceInfo> deviceInfos;
};

class CD3DEnumeration {
public:
    // Asked once per vertex processing type: whether the application accepts the device.
    using ConfirmDeviceCallback =
        std::function<bool(const D3DCAPS8& caps, VertexProcessingType type, D3DFORMAT adapterFormat)>;

    void SetD3D(IDirect3D8* d3d) { m_d3d = d3d; }
    HRESULT Enumerate();

    std::vector<D3DAdapterInfo> adapterInfos;
    ConfirmDeviceCallback ConfirmDevice;
    UINT AppMinFullscreenWidth = 640;
    UINT AppMinFullscreenHeight = 480;
    UINT AppMinColorChannelBits = 5;
    UINT AppMinAlphaChannelBits = 0;
    UINT AppMinDepthBits = 15;
    UINT AppMinStencilBits = 0;
    bool AppUsesDepthBuffer = false;
    bool AppUsesMixedVP = false;

    static UINT ColorChannelBits(D3DFORMAT format);
    static UINT AlphaChannelBits(D3DFORMAT format);
    static UINT DepthBits(D3DFORMAT format);
    static UINT StencilBits(D3DFORMAT format);

private:
    void EnumerateDisplayModes(D3DAdapterInfo& adapter, const std::vector<D3DFORMAT>& adapterFormats,
                               std::vector<D3DFORMAT>& usedFormats);
    void EnumerateDevices(D3DAdapterInfo& adapter, const std::vector<D3DFORMAT>& usedFormats);
    void EnumerateDeviceCombos(D3DDeviceInfo& device, const std::vector<D3DFORMAT>& usedFormats);
    void BuildDepthStencilFormats(D3DDeviceCombo& combo);
    void BuildMultiSampleTypes(D3DDeviceCombo& combo);
    void BuildVertexProcessingTypes(const D3DDeviceInfo& device, D3DDeviceCombo& combo);
    void BuildPresentIntervals(const D3DDeviceInfo& device, D3DDeviceCombo& combo);

    IDirect3D8* m_d3d = nullptr;
};
