#pragma once
// The device settings chosen for windowed and full-screen use.

#include "app/d3d_enumeration.h"

struct D3DModeSettings {
    D3DAdapterInfo* pAdapterInfo = nullptr;
    D3DDeviceInfo* pDeviceInfo = nullptr;
    D3DDeviceCombo* pDeviceCombo = nullptr;
    D3DDISPLAYMODE DisplayMode{};
    D3DFORMAT DepthStencilBufferFormat = D3DFMT_UNKNOWN;
    D3DMULTISAMPLE_TYPE MultisampleType = D3DMULTISAMPLE_NONE;
    DWORD MultisampleQuality = 0;
    VertexProcessingType VertexProcessing = SOFTWARE_VP;
    UINT PresentInterval = D3DPRESENT_INTERVAL_DEFAULT;
};

struct D3DSettings {
    bool IsWindowed = true;
    D3DModeSettings Windowed;
    D3DModeSettings Fullscreen;

    D3DModeSettings& Current() { return IsWindowed ? Windowed : Fullscreen; }
    const D3DModeSettings& Current() const { return IsWindowed ? Windowed : Fullscreen; }
};
