#include "app/d3d_enumeration.h"

#include <algorithm>
#include <tuple>

namespace {

constexpr D3DFORMAT kAdapterFormats[] = {D3DFMT_X8R8G8B8, D3DFMT_X1R5G5B5, D3DFMT_R5G6B5};
constexpr D3DFORMAT kBackBufferFormats[] = {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_A1R5G5B5,
                                            D3DFMT_X1R5G5B5};
constexpr D3DFORMAT kDepthStencilFormats[] = {D3DFMT_D16,   D3DFMT_D15S1,   D3DFMT_D24X8,
                                              D3DFMT_D24S8, D3DFMT_D24X4S4, D3DFMT_D32};
constexpr D3DDEVTYPE kDeviceTypes[] = {D3DDEVTYPE_HAL, D3DDEVTYPE_REF};
constexpr D3DMULTISAMPLE_TYPE kLastMultiSampleType = D3DMULTISAMPLE_16_SAMPLES;

bool Contains(const std::vector<D3DFORMAT>& formats, D3DFORMAT format) {
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

bool ModeLess(const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
    return std::make_tuple(a.Width, a.Height, static_cast<UINT>(a.Format), a.RefreshRate) <
           std::make_tuple(b.Width, b.Height, static_cast<UINT>(b.Format), b.RefreshRate);
}

}  // namespace

UINT CD3DEnumeration::ColorChannelBits(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_R8G8B8:
        case D3DFMT_A8R8G8B8:
        case D3DFMT_X8R8G8B8:
            return 8;
        case D3DFMT_R5G6B5:
        case D3DFMT_X1R5G5B5:
        case D3DFMT_A1R5G5B5:
            return 5;
        case D3DFMT_A4R4G4B4:
        case D3DFMT_X4R4G4B4:
            return 4;
        case D3DFMT_R3G3B2:
        case D3DFMT_A8R3G3B2:
            return 2;
        case D3DFMT_A2B10G10R10:
            return 10;
        default:
            return 0;
    }
}

UINT CD3DEnumeration::AlphaChannelBits(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_A8R8G8B8:
        case D3DFMT_A8R3G3B2:
            return 8;
        case D3DFMT_A1R5G5B5:
            return 1;
        case D3DFMT_A4R4G4B4:
            return 4;
        case D3DFMT_A2B10G10R10:
            return 2;
        default:
            return 0;
    }
}

UINT CD3DEnumeration::DepthBits(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D16:
            return 16;
        case D3DFMT_D15S1:
            return 15;
        case D3DFMT_D24X8:
        case D3DFMT_D24S8:
        case D3DFMT_D24X4S4:
            return 24;
        case D3DFMT_D32:
            return 32;
        default:
            return 0;
    }
}

UINT CD3DEnumeration::StencilBits(D3DFORMAT format) {
    switch (format) {
        case D3DFMT_D15S1:
            return 1;
        case D3DFMT_D24S8:
            return 8;
        case D3DFMT_D24X4S4:
            return 4;
        default:
            return 0;
    }
}

HRESULT CD3DEnumeration::Enumerate() {
    if (!m_d3d) {
        return E_FAIL;
    }
    adapterInfos.clear();
    const std::vector<D3DFORMAT> adapterFormats(std::begin(kAdapterFormats), std::end(kAdapterFormats));
    const UINT adapterCount = m_d3d->GetAdapterCount();
    for (UINT ordinal = 0; ordinal < adapterCount; ++ordinal) {
        D3DAdapterInfo adapter;
        adapter.AdapterOrdinal = ordinal;
        m_d3d->GetAdapterIdentifier(ordinal, 0, &adapter.AdapterIdentifier);

        std::vector<D3DFORMAT> usedFormats;
        EnumerateDisplayModes(adapter, adapterFormats, usedFormats);
        EnumerateDevices(adapter, usedFormats);
        if (!adapter.deviceInfos.empty()) {
            adapterInfos.push_back(std::move(adapter));
        }
    }
    return S_OK;
}

void CD3DEnumeration::EnumerateDisplayModes(D3DAdapterInfo& adapter,
                                            const std::vector<D3DFORMAT>& adapterFormats,
                                            std::vector<D3DFORMAT>& usedFormats) {
    const UINT modeCount = m_d3d->GetAdapterModeCount(adapter.AdapterOrdinal);
    for (D3DFORMAT format : adapterFormats) {
        for (UINT index = 0; index < modeCount; ++index) {
            D3DDISPLAYMODE mode{};
            if (FAILED(m_d3d->EnumAdapterModes(adapter.AdapterOrdinal, index, &mode))) {
                continue;
            }
            if (mode.Format != format || mode.Width < AppMinFullscreenWidth ||
                mode.Height < AppMinFullscreenHeight ||
                ColorChannelBits(mode.Format) < AppMinColorChannelBits) {
                continue;
            }
            adapter.displayModes.push_back(mode);
            if (!Contains(usedFormats, mode.Format)) {
                usedFormats.push_back(mode.Format);
            }
        }
    }
    std::sort(adapter.displayModes.begin(), adapter.displayModes.end(), ModeLess);
}

void CD3DEnumeration::EnumerateDevices(D3DAdapterInfo& adapter, const std::vector<D3DFORMAT>& usedFormats) {
    for (D3DDEVTYPE type : kDeviceTypes) {
        D3DDeviceInfo device;
        device.AdapterOrdinal = adapter.AdapterOrdinal;
        device.DevType = type;
        if (FAILED(m_d3d->GetDeviceCaps(adapter.AdapterOrdinal, type, &device.Caps))) {
            continue;
        }
        EnumerateDeviceCombos(device, usedFormats);
        if (!device.deviceCombos.empty()) {
            adapter.deviceInfos.push_back(std::move(device));
        }
    }
}

void CD3DEnumeration::EnumerateDeviceCombos(D3DDeviceInfo& device,
                                            const std::vector<D3DFORMAT>& usedFormats) {
    for (D3DFORMAT adapterFormat : usedFormats) {
        for (D3DFORMAT backBufferFormat : kBackBufferFormats) {
            if (AlphaChannelBits(backBufferFormat) < AppMinAlphaChannelBits) {
                continue;
            }
            for (bool windowed : {false, true}) {
                if (FAILED(m_d3d->CheckDeviceType(device.AdapterOrdinal, device.DevType, adapterFormat,
                                                  backBufferFormat, windowed))) {
                    continue;
                }
                D3DDeviceCombo combo;
                combo.AdapterOrdinal = device.AdapterOrdinal;
                combo.DevType = device.DevType;
                combo.AdapterFormat = adapterFormat;
                combo.BackBufferFormat = backBufferFormat;
                combo.IsWindowed = windowed;
                if (AppUsesDepthBuffer) {
                    BuildDepthStencilFormats(combo);
                    if (combo.depthStencilFormats.empty()) {
                        continue;
                    }
                }
                BuildMultiSampleTypes(combo);
                if (combo.multiSampleTypes.empty()) {
                    continue;
                }
                BuildVertexProcessingTypes(device, combo);
                if (combo.vertexProcessingTypes.empty()) {
                    continue;
                }
                BuildPresentIntervals(device, combo);
                device.deviceCombos.push_back(std::move(combo));
            }
        }
    }
}

void CD3DEnumeration::BuildDepthStencilFormats(D3DDeviceCombo& combo) {
    for (D3DFORMAT format : kDepthStencilFormats) {
        if (DepthBits(format) < AppMinDepthBits || StencilBits(format) < AppMinStencilBits) {
            continue;
        }
        if (SUCCEEDED(m_d3d->CheckDeviceFormat(combo.AdapterOrdinal, combo.DevType, combo.AdapterFormat,
                                               D3DUSAGE_DEPTHSTENCIL, D3DRTYPE_SURFACE, format)) &&
            SUCCEEDED(m_d3d->CheckDepthStencilMatch(combo.AdapterOrdinal, combo.DevType, combo.AdapterFormat,
                                                    combo.BackBufferFormat, format))) {
            combo.depthStencilFormats.push_back(format);
        }
    }
}

void CD3DEnumeration::BuildMultiSampleTypes(D3DDeviceCombo& combo) {
    for (UINT type = D3DMULTISAMPLE_NONE; type <= kLastMultiSampleType; ++type) {
        const auto multiSample = static_cast<D3DMULTISAMPLE_TYPE>(type);
        if (SUCCEEDED(m_d3d->CheckDeviceMultiSampleType(combo.AdapterOrdinal, combo.DevType,
                                                        combo.BackBufferFormat, combo.IsWindowed,
                                                        multiSample))) {
            combo.multiSampleTypes.push_back(multiSample);
        }
    }
}

void CD3DEnumeration::BuildVertexProcessingTypes(const D3DDeviceInfo& device, D3DDeviceCombo& combo) {
    auto offer = [&](VertexProcessingType type) {
        if (!ConfirmDevice || ConfirmDevice(device.Caps, type, combo.AdapterFormat)) {
            combo.vertexProcessingTypes.push_back(type);
        }
    };
    if (device.Caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) {
        if (device.Caps.DevCaps & D3DDEVCAPS_PUREDEVICE) {
            offer(PURE_HARDWARE_VP);
        }
        offer(HARDWARE_VP);
        if (AppUsesMixedVP) {
            offer(MIXED_VP);
        }
    }
    offer(SOFTWARE_VP);
}

void CD3DEnumeration::BuildPresentIntervals(const D3DDeviceInfo& device, D3DDeviceCombo& combo) {
    const DWORD supported = device.Caps.PresentationIntervals;
    const UINT intervals[] = {D3DPRESENT_INTERVAL_IMMEDIATE, D3DPRESENT_INTERVAL_DEFAULT,
                              D3DPRESENT_INTERVAL_ONE,       D3DPRESENT_INTERVAL_TWO,
                              D3DPRESENT_INTERVAL_THREE,     D3DPRESENT_INTERVAL_FOUR};
    for (UINT interval : intervals) {
        if (interval == D3DPRESENT_INTERVAL_DEFAULT) {
            combo.presentIntervals.push_back(interval);
            continue;
        }
        const bool fullScreenOnly = interval == D3DPRESENT_INTERVAL_TWO ||
                                    interval == D3DPRESENT_INTERVAL_THREE ||
                                    interval == D3DPRESENT_INTERVAL_FOUR;
        if (fullScreenOnly && combo.IsWindowed) {
            continue;
        }
        if (supported & interval) {
            combo.presentIntervals.push_back(interval);
        }
    }
}
