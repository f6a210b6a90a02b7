#include "platform/d3d8/direct3d_base.h"

#include <algorithm>
#include <cstring>

#include "platform/d3d8/device_state.h"
#include "platform/d3d8/pixel_format.h"
#include "platform/d3d8/vertex_format.h"
#include "platform/win32/window.h"

namespace d3d8 {
namespace {

constexpr DWORD kVertexProcessingFlags = D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                         D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                         D3DCREATE_MIXED_VERTEXPROCESSING;

// Exactly one kind of vertex processing; a pure device needs hardware processing.
bool AreBehaviourFlagsValid(DWORD flags) {
    const DWORD processing = flags & kVertexProcessingFlags;
    if (processing != D3DCREATE_SOFTWARE_VERTEXPROCESSING &&
        processing != D3DCREATE_HARDWARE_VERTEXPROCESSING && processing != D3DCREATE_MIXED_VERTEXPROCESSING) {
        return false;
    }
    return (flags & D3DCREATE_PUREDEVICE) == 0 || processing == D3DCREATE_HARDWARE_VERTEXPROCESSING;
}

// A back buffer may add alpha to the display format, nothing else.
bool IsBackBufferFormatFor(D3DFORMAT display, D3DFORMAT backBuffer) {
    return backBuffer == display || (display == D3DFMT_X8R8G8B8 && backBuffer == D3DFMT_A8R8G8B8) ||
           (display == D3DFMT_X1R5G5B5 && backBuffer == D3DFMT_A1R5G5B5);
}

bool IsOfferedDepthFormat(D3DFORMAT format) {
    return format == D3DFMT_D16 || format == D3DFMT_D24X8 || format == D3DFMT_D24S8;
}

bool ClientSize(HWND window, UINT* width, UINT* height) {
    RECT client{};
    if (window == nullptr || !win32::GetClientRect(window, &client)) {
        return false;
    }
    *width = static_cast<UINT>(client.right - client.left);
    *height = static_cast<UINT>(client.bottom - client.top);
    return true;
}

void CopyText(char (&target)[MAX_DEVICE_IDENTIFIER_STRING], const std::string& text) {
    const std::size_t length = std::min<std::size_t>(text.size(), MAX_DEVICE_IDENTIFIER_STRING - 1);
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

}  // namespace

D3DCAPS8 FixedFunctionCaps() {
    D3DCAPS8 caps{};
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.Caps3 = D3DCAPS3_ALPHA_FULLSCREEN_FLIP_OR_DISCARD;
    // Synchronised presentation only: a screen saver must not spin a core.
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_ONE;
    caps.CursorCaps = D3DCURSORCAPS_COLOR;
    caps.DevCaps = D3DDEVCAPS_EXECUTESYSTEMMEMORY | D3DDEVCAPS_TLVERTEXSYSTEMMEMORY |
                   D3DDEVCAPS_TEXTURESYSTEMMEMORY | D3DDEVCAPS_TEXTUREVIDEOMEMORY |
                   D3DDEVCAPS_DRAWPRIMTLVERTEX | D3DDEVCAPS_CANRENDERAFTERFLIP | D3DDEVCAPS_DRAWPRIMITIVES2 |
                   D3DDEVCAPS_DRAWPRIMITIVES2EX | D3DDEVCAPS_HWTRANSFORMANDLIGHT |
                   D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_PUREDEVICE;
    caps.PrimitiveMiscCaps = D3DPMISCCAPS_MASKZ | D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW |
                             D3DPMISCCAPS_CULLCCW | D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_BLENDOP;
    caps.RasterCaps = D3DPRASTERCAPS_DITHER | D3DPRASTERCAPS_ZTEST | D3DPRASTERCAPS_FOGVERTEX |
                      D3DPRASTERCAPS_FOGTABLE | D3DPRASTERCAPS_MIPMAPLODBIAS;
    caps.ZCmpCaps = caps.AlphaCmpCaps = D3DPCMPCAPS_ALL;
    caps.SrcBlendCaps = caps.DestBlendCaps = D3DPBLENDCAPS_ALL;
    caps.ShadeCaps =
        D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB | D3DPSHADECAPS_ALPHAGOURAUDBLEND;
    caps.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_PROJECTED |
                       D3DPTEXTURECAPS_MIPMAP;
    caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                             D3DPTFILTERCAPS_MIPFPOINT | D3DPTFILTERCAPS_MIPFLINEAR |
                             D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    caps.TextureAddressCaps =
        D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP | D3DPTADDRESSCAPS_BORDER;
    caps.MaxTextureWidth = caps.MaxTextureHeight = 4096;
    caps.MaxTextureRepeat = 8192;
    caps.MaxTextureAspectRatio = 4096;
    caps.MaxAnisotropy = 1;
    caps.MaxVertexW = 1.0e10f;
    caps.FVFCaps = kMaxTexCoordSets;
    caps.TextureOpCaps = 0x03FFFFFF;  // D3DTEXOPCAPS_DISABLE .. D3DTEXOPCAPS_LERP
    caps.MaxTextureBlendStages = kTextureStageCount;
    caps.MaxSimultaneousTextures = kTextureStageCount;
    caps.VertexProcessingCaps = D3DVTXPCAPS_TEXGEN | D3DVTXPCAPS_MATERIALSOURCE7 |
                                D3DVTXPCAPS_DIRECTIONALLIGHTS | D3DVTXPCAPS_POSITIONALLIGHTS |
                                D3DVTXPCAPS_LOCALVIEWER;
    caps.MaxActiveLights = kActiveLightLimit;
    caps.MaxUserClipPlanes = kClipPlaneCount;
    caps.MaxPointSize = 64.0f;
    caps.MaxPrimitiveCount = 0xFFFFF;
    caps.MaxVertexIndex = 0xFFFFFF;
    caps.MaxStreams = 1;
    caps.MaxStreamStride = 255;
    return caps;
}

Direct3DBase::Direct3DBase(std::vector<Adapter> adapters, const D3DCAPS8& caps)
    : m_adapters(std::move(adapters)), m_caps(caps) {}

HRESULT Direct3DBase::GetAdapterIdentifier(UINT adapter, DWORD /*flags*/,
                                           D3DADAPTER_IDENTIFIER8* identifier) {
    if (adapter >= m_adapters.size() || identifier == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *identifier = D3DADAPTER_IDENTIFIER8{};
    CopyText(identifier->Driver, m_adapters[adapter].driver);
    CopyText(identifier->Description, m_adapters[adapter].description);
    identifier->VendorId = m_adapters[adapter].vendorId;
    identifier->DeviceId = m_adapters[adapter].deviceId;
    return D3D_OK;
}

UINT Direct3DBase::GetAdapterModeCount(UINT adapter) {
    return adapter < m_adapters.size() ? static_cast<UINT>(m_adapters[adapter].modes.size()) : 0;
}

HRESULT Direct3DBase::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) {
    if (adapter >= m_adapters.size() || mode >= m_adapters[adapter].modes.size() || displayMode == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *displayMode = m_adapters[adapter].modes[mode];
    return D3D_OK;
}

HRESULT Direct3DBase::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) {
    if (adapter >= m_adapters.size() || displayMode == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *displayMode = m_adapters[adapter].desktop;
    return D3D_OK;
}

HRESULT Direct3DBase::CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT displayFormat,
                                      D3DFORMAT backBufferFormat, bool windowed) {
    if (const HRESULT result = CheckAdapter(adapter, type); FAILED(result)) {
        return result;
    }
    return IsDisplayFormat(adapter, displayFormat, windowed) &&
                   IsBackBufferFormatFor(displayFormat, backBufferFormat)
               ? D3D_OK
               : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DBase::CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat, DWORD usage,
                                        D3DRESOURCETYPE resourceType, D3DFORMAT checkFormat) {
    if (const HRESULT result = CheckAdapter(adapter, type); FAILED(result)) {
        return result;
    }
    if (!IsDisplayFormat(adapter, adapterFormat, false) && !IsDisplayFormat(adapter, adapterFormat, true)) {
        return D3DERR_NOTAVAILABLE;
    }
    if (usage & D3DUSAGE_DEPTHSTENCIL) {
        return resourceType == D3DRTYPE_SURFACE && IsOfferedDepthFormat(checkFormat) ? D3D_OK
                                                                                     : D3DERR_NOTAVAILABLE;
    }
    PixelFormat unused{};
    const bool textureLike = resourceType == D3DRTYPE_TEXTURE || resourceType == D3DRTYPE_SURFACE;
    return textureLike && (usage & D3DUSAGE_RENDERTARGET) == 0 && DescribeTextureFormat(checkFormat, &unused)
               ? D3D_OK
               : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DBase::CheckDeviceMultiSampleType(UINT adapter, D3DDEVTYPE type, D3DFORMAT /*surfaceFormat*/,
                                                 bool /*windowed*/, D3DMULTISAMPLE_TYPE multiSampleType) {
    if (const HRESULT result = CheckAdapter(adapter, type); FAILED(result)) {
        return result;
    }
    return multiSampleType == D3DMULTISAMPLE_NONE ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DBase::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT adapterFormat,
                                             D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) {
    if (const HRESULT result = CheckAdapter(adapter, type); FAILED(result)) {
        return result;
    }
    return IsOfferedDepthFormat(depthStencilFormat) &&
                   IsBackBufferFormatFor(adapterFormat, renderTargetFormat)
               ? D3D_OK
               : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DBase::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) {
    if (const HRESULT result = CheckAdapter(adapter, type); FAILED(result)) {
        return result;
    }
    if (caps == nullptr) {
        return D3DERR_INVALIDCALL;
    }
    *caps = m_caps;
    caps->AdapterOrdinal = adapter;
    return D3D_OK;
}

HRESULT Direct3DBase::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                   D3DPRESENT_PARAMETERS* presentationParameters, IDirect3DDevice8** device) {
    if (device == nullptr || presentationParameters == nullptr || !AreBehaviourFlagsValid(behaviorFlags)) {
        return D3DERR_INVALIDCALL;
    }
    *device = nullptr;
    if (const HRESULT result = CheckAdapter(adapter, type); FAILED(result)) {
        return result;
    }
    D3DPRESENT_PARAMETERS presentation = *presentationParameters;
    if (const HRESULT result = CompletePresentation(adapter, focusWindow, presentation); FAILED(result)) {
        return result;
    }
    const D3DDEVICE_CREATION_PARAMETERS creation{adapter, type, focusWindow, behaviorFlags};
    const HRESULT result = MakeDevice(creation, presentation, device);
    if (SUCCEEDED(result)) {
        *presentationParameters = presentation;
    }
    return result;
}

HRESULT Direct3DBase::CompletePresentation(UINT adapter, HWND focusWindow,
                                           D3DPRESENT_PARAMETERS& presentation) {
    if (adapter >= m_adapters.size() || presentation.BackBufferCount > 3 ||
        presentation.MultiSampleType != D3DMULTISAMPLE_NONE) {
        return D3DERR_INVALIDCALL;
    }
    if (presentation.BackBufferCount == 0) {
        presentation.BackBufferCount = 1;
    }
    if (presentation.EnableAutoDepthStencil && !IsOfferedDepthFormat(presentation.AutoDepthStencilFormat)) {
        return D3DERR_INVALIDCALL;
    }
    if (presentation.Windowed) {
        const HWND window = presentation.hDeviceWindow != nullptr ? presentation.hDeviceWindow : focusWindow;
        if (presentation.BackBufferWidth == 0 || presentation.BackBufferHeight == 0) {
            UINT width = 0;
            UINT height = 0;
            if (!ClientSize(window, &width, &height)) {
                return D3DERR_INVALIDCALL;
            }
            presentation.BackBufferWidth =
                presentation.BackBufferWidth == 0 ? width : presentation.BackBufferWidth;
            presentation.BackBufferHeight =
                presentation.BackBufferHeight == 0 ? height : presentation.BackBufferHeight;
        }
        if (presentation.BackBufferFormat == D3DFMT_UNKNOWN) {
            presentation.BackBufferFormat = m_adapters[adapter].desktop.Format;
        }
        const bool sizeOk = presentation.BackBufferWidth > 0 && presentation.BackBufferHeight > 0 &&
                            presentation.BackBufferWidth <= m_caps.MaxTextureWidth &&
                            presentation.BackBufferHeight <= m_caps.MaxTextureHeight;
        const bool formatOk =
            IsBackBufferFormatFor(m_adapters[adapter].desktop.Format, presentation.BackBufferFormat);
        return sizeOk && formatOk && presentation.FullScreen_RefreshRateInHz == 0 ? D3D_OK
                                                                                  : D3DERR_INVALIDCALL;
    }
    const bool modeOk = std::any_of(
        m_adapters[adapter].modes.begin(), m_adapters[adapter].modes.end(), [&](const D3DDISPLAYMODE& mode) {
            return mode.Width == presentation.BackBufferWidth &&
                   mode.Height == presentation.BackBufferHeight &&
                   IsBackBufferFormatFor(mode.Format, presentation.BackBufferFormat) &&
                   (presentation.FullScreen_RefreshRateInHz == 0 ||
                    mode.RefreshRate == presentation.FullScreen_RefreshRateInHz);
        });
    return modeOk ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT Direct3DBase::CheckAdapter(UINT adapter, D3DDEVTYPE type) const {
    if (adapter >= m_adapters.size()) {
        return D3DERR_INVALIDCALL;
    }
    return type == D3DDEVTYPE_HAL ? D3D_OK : D3DERR_NOTAVAILABLE;
}

bool Direct3DBase::IsDisplayFormat(UINT adapter, D3DFORMAT format, bool windowed) const {
    if (windowed) {
        return format == m_adapters[adapter].desktop.Format;
    }
    const auto& modes = m_adapters[adapter].modes;
    return std::any_of(modes.begin(), modes.end(),
                       [format](const D3DDISPLAYMODE& mode) { return mode.Format == format; });
}

}  // namespace d3d8
