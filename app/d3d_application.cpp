#include "app/d3d_application.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/debug_log.h"
#include "app/resource_ids.h"
#include "engine/global_options.h"
#include "platform/win32/timer.h"
#include "platform/win32/window.h"

namespace {

constexpr DWORD kWindowedStyle =
    win32::WS_VISIBLE | win32::WS_CAPTION | win32::WS_SYSMENU | win32::WS_MINIMIZEBOX;
constexpr DWORD kFullscreenStyle = win32::WS_POPUP | win32::WS_VISIBLE | win32::WS_SYSMENU;
constexpr std::size_t kDeviceStatsLimit = 89;
constexpr int kMaxBacklogSteps = 5;
// The smallest client size a window may be tracked to.
constexpr DWORD kMinTrackSize = 100;

bool g_fatalErrorShown = false;

DWORD BehaviorFlags(VertexProcessingType type) {
    switch (type) {
        case SOFTWARE_VP:
            return D3DCREATE_SOFTWARE_VERTEXPROCESSING;
        case MIXED_VP:
            return D3DCREATE_MIXED_VERTEXPROCESSING;
        case HARDWARE_VP:
            return D3DCREATE_HARDWARE_VERTEXPROCESSING;
        case PURE_HARDWARE_VP:
            return D3DCREATE_HARDWARE_VERTEXPROCESSING | D3DCREATE_PUREDEVICE;
    }
    return D3DCREATE_SOFTWARE_VERTEXPROCESSING;
}

// Device creation uses a plain hardware-processing device for the pure type.
DWORD CreationFlags(VertexProcessingType type) {
    return type == PURE_HARDWARE_VP ? DWORD(D3DCREATE_HARDWARE_VERTEXPROCESSING) : BehaviorFlags(type);
}

int Width(const RECT& rect) {
    return rect.right - rect.left;
}
int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

// Names the display that answered without a mode, so that the user knows where to look.
std::string NoDisplayModeDetail() {
    const std::string display = win32::DisplayName();
    if (display.empty()) {
        return "No display is named.";
    }
    return "The display \"" + display + "\" offers no display mode that can be used.";
}

bool SameMode(const D3DDISPLAYMODE& a, const D3DDISPLAYMODE& b) {
    return a.Width == b.Width && a.Height == b.Height && a.RefreshRate == b.RefreshRate;
}

// At least the minimum tracking size and, when a display reports its modes, at most the largest.
DWORD ClampWindowSize(DWORD size, UINT largest) {
    size = std::max(size, kMinTrackSize);
    return largest >= kMinTrackSize ? std::min<DWORD>(size, largest) : size;
}

}  // namespace

std::string ErrorMessageText(HRESULT code) {
    switch (code) {
        case D3DAPPERR_NODIRECT3D:
            return "Could not initialize Direct3D. This\nprogram requires DirectX v9.0 installed.\non your "
                   "system."
                   " Download the latest DirectX from the platform maker's web site.";
        case D3DAPPERR_NOCOMPATIBLEDEVICES:
            return "Could not find any compatible Direct3D\ndevices.";
        case D3DAPPERR_NOWINDOWABLEDEVICES:
            return "This sample cannot run in a desktop\nwindow with the current display settings.\nPlease "
                   "change your "
                   "desktop settings to a\n16- or 32-bit display mode and re-run this\nsample.";
        case D3DAPPERR_NOHARDWAREDEVICE:
            return "No hardware-accelerated Direct3D devices\nwere found.";
        case D3DAPPERR_HALNOTCOMPATIBLE:
            return "This sample requires functionality that is\nnot available on your Direct3D "
                   "hardware\naccelerator.";
        case D3DAPPERR_NOWINDOWEDHAL:
            return "Your Direct3D hardware accelerator cannot\nrender into a window.\nPress F2 while the app "
                   "is "
                   "running to see a\nlist of available devices and modes.";
        case D3DAPPERR_NODESKTOPHAL:
            return "Your Direct3D hardware accelerator cannot\nrender into a window with the "
                   "current\ndesktop display "
                   "settings.\nPress F2 while the app is running to see a\nlist of available devices and "
                   "modes.";
        case D3DAPPERR_NOHALTHISMODE:
            return "This sample requires functionality that is\nnot available on your Direct3D "
                   "hardware\naccelerator "
                   "with the current desktop display\nsettings.\nPress F2 while the app is running to see "
                   "a\nlist of "
                   "available devices and modes.";
        case D3DAPPERR_NONZEROREFCOUNT:
            return "A D3D object has a non-zero reference\ncount (meaning things were not properly\ncleaned "
                   "up).";
        case D3DAPPERR_MEDIANOTFOUND:
        case HRESULT_FILE_NOT_FOUND:
            return "Could not load required media.";
        case D3DAPPERR_RESETFAILED:
            return "Could not reset the Direct3D device.";
        case D3DAPPERR_NULLREFDEVICE:
            return "Warning: Nothing will be rendered.\nThe reference rendering device was selected, but "
                   "your\n"
                   "computer only has a reduced-functionality reference device\ninstalled.  Install the "
                   "DirectX SDK "
                   "to get the full\nreference device.\n";
        case E_OUTOFMEMORY:
            return "Not enough memory.";
        case D3DERR_OUTOFVIDEOMEMORY:
            return "Not enough video memory.";
        default:
            return "Generic application error. Enable\ndebug output for detailed information.";
    }
}

CD3DApplication::CD3DApplication() {
    s_instance = this;
    m_d3dEnumeration.ConfirmDevice = [this](const D3DCAPS8& caps, VertexProcessingType type,
                                            D3DFORMAT format) {
        return SUCCEEDED(AcceptDevice(caps, BehaviorFlags(type), format));
    };
    m_pauseCount = 1;
    m_bActive = false;
}

CD3DApplication::~CD3DApplication() = default;

bool CD3DApplication::FatalErrorShown() {
    return g_fatalErrorShown;
}

void CD3DApplication::ForgetFatalError() {
    g_fatalErrorShown = false;
}

HRESULT CD3DApplication::AcceptDevice(const D3DCAPS8&, DWORD, D3DFORMAT) {
    return S_OK;
}

LRESULT CD3DApplication::StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (CD3DApplication* application = GetInstance()) {
        return application->HandleMessage(window, message, wParam, lParam);
    }
    return win32::DefWindowProc(window, message, wParam, lParam);
}

HRESULT CD3DApplication::Create(HINSTANCE, int, int) {
    CDebugLog& log = CDebugLog::Instance();
    m_pD3D = Direct3DCreate8(D3D_SDK_VERSION);
    if (!m_pD3D) {
        return ReportError(D3DAPPERR_NODIRECT3D, MSGERR_APPMUSTEXIT);
    }
    log.LogLevel(3, "Device creaded.");

    auto failWith = [this](HRESULT hr, std::string_view detail = {}) {
        m_pD3D->Release();
        m_pD3D = nullptr;
        return ReportError(hr, MSGERR_APPMUSTEXIT, detail);
    };

    m_d3dEnumeration.SetD3D(m_pD3D);
    if (HRESULT hr = m_d3dEnumeration.Enumerate(); FAILED(hr)) {
        return failWith(hr);
    }
    log.LogLevel(3, "Enimeration finished.");
    ClampCreationSize();

    if (HRESULT hr = CreateWindowIfMissing(); FAILED(hr)) {
        return failWith(hr);
    }
    log.LogLevel(3, "Window creation finished.");
    m_dwWindowStyle = win32::GetWindowStyle(m_hWnd);
    win32::GetWindowRect(m_hWnd, &m_rcWindowBounds);
    win32::GetClientRect(m_hWnd, &m_rcWindowClient);

    if (HRESULT hr = ChooseInitialD3DSettings(); FAILED(hr)) {
        return hr == D3DAPPERR_NOCOMPATIBLEDEVICES ? failWith(hr, NoDisplayModeDetail()) : failWith(hr);
    }
    log.LogLevel(3, "ChooseInitialD3DSettings() done.");

    m_timer.Execute(CAppTimer::Command::Start);
    log.LogLevel(3, "Timer started.");

    if (HRESULT hr = InitApplication(); FAILED(hr)) {
        return failWith(hr);
    }
    log.LogLevel(3, "Scene init finished.");

    if (HRESULT hr = Initialize3DEnvironment(); FAILED(hr)) {
        return failWith(hr);
    }
    log.LogLevel(3, "3D Environment initialized.");

    Pause(false);
    return S_OK;
}

void CD3DApplication::ClampCreationSize() {
    // Stored sizes may be anything: a zero size fails the device and a huge one the window.
    D3DDISPLAYMODE largest{};
    for (UINT adapter = 0; adapter < m_pD3D->GetAdapterCount(); ++adapter) {
        D3DDISPLAYMODE mode{};
        for (UINT index = 0; index < m_pD3D->GetAdapterModeCount(adapter); ++index) {
            if (SUCCEEDED(m_pD3D->EnumAdapterModes(adapter, index, &mode))) {
                largest.Width = std::max(largest.Width, mode.Width);
                largest.Height = std::max(largest.Height, mode.Height);
            }
        }
        if (SUCCEEDED(m_pD3D->GetAdapterDisplayMode(adapter, &mode))) {
            largest.Width = std::max(largest.Width, mode.Width);
            largest.Height = std::max(largest.Height, mode.Height);
        }
    }
    const DWORD width = ClampWindowSize(m_dwCreationWidth, largest.Width);
    const DWORD height = ClampWindowSize(m_dwCreationHeight, largest.Height);
    if (width != m_dwCreationWidth || height != m_dwCreationHeight) {
        CDebugLog::Instance().LogLevel(1, "Warning: window size %lux%lu is out of range; using %lux%lu.",
                                       static_cast<unsigned long>(m_dwCreationWidth),
                                       static_cast<unsigned long>(m_dwCreationHeight),
                                       static_cast<unsigned long>(width), static_cast<unsigned long>(height));
    }
    m_dwCreationWidth = width;
    m_dwCreationHeight = height;
}

HRESULT CD3DApplication::CreateWindowIfMissing() {
    if (m_hWnd) {
        return S_OK;
    }
    RECT rect{0, 0, LONG(m_dwCreationWidth), LONG(m_dwCreationHeight)};
    win32::AdjustWindowRect(&rect, kWindowedStyle, false);
    m_hWnd = win32::CreateWindow(m_strWindowTitle, kWindowedStyle, Width(rect), Height(rect), StaticWndProc);
    if (!m_hWnd) {
        return E_FAIL;
    }
    if (!m_hWndFocus) {
        m_hWndFocus = m_hWnd;
    }
    return S_OK;
}

// ---- Choosing the initial settings ----

CD3DApplication::ComboChoice CD3DApplication::SearchCombos(bool windowed, bool requireHAL, bool requireREF,
                                                           const ComboRule& rule) {
    ComboChoice best;
    for (auto& adapter : m_d3dEnumeration.adapterInfos) {
        D3DDISPLAYMODE desktop{};
        m_pD3D->GetAdapterDisplayMode(windowed ? 0 : adapter.AdapterOrdinal, &desktop);
        for (auto& device : adapter.deviceInfos) {
            if ((requireHAL && device.DevType != D3DDEVTYPE_HAL) ||
                (requireREF && device.DevType != D3DDEVTYPE_REF)) {
                continue;
            }
            for (auto& combo : device.deviceCombos) {
                if (combo.IsWindowed != windowed) {
                    continue;
                }
                const ComboVerdict verdict = rule(best, combo, desktop);
                if (verdict.take) {
                    best = ComboChoice{&adapter, &device, &combo, desktop};
                    if (verdict.stop) {
                        return best;
                    }
                }
            }
        }
    }
    return best;
}

void CD3DApplication::TakeCombo(D3DModeSettings& settings, const ComboChoice& choice,
                                const D3DDISPLAYMODE& mode) {
    const D3DDeviceCombo& combo = *choice.combo;
    settings.pAdapterInfo = choice.adapter;
    settings.pDeviceInfo = choice.device;
    settings.pDeviceCombo = choice.combo;
    settings.DisplayMode = mode;
    settings.DepthStencilBufferFormat =
        combo.depthStencilFormats.empty() ? D3DFMT_UNKNOWN : combo.depthStencilFormats.front();
    settings.MultisampleType = combo.multiSampleTypes.front();
    settings.MultisampleQuality = 0;
    settings.VertexProcessing = combo.vertexProcessingTypes.front();
    settings.PresentInterval = combo.presentIntervals.front();
}

bool CD3DApplication::FindBestWindowedMode(bool requireHAL, bool requireREF) {
    // HAL first; a HAL combination whose back-buffer format equals the desktop's ends the search.
    const ComboChoice best = SearchCombos(
        true, requireHAL, requireREF,
        [](const ComboChoice& current, const D3DDeviceCombo& combo, const D3DDISPLAYMODE& desktop) {
            if (combo.AdapterFormat != desktop.Format) {
                return ComboVerdict{};
            }
            const bool hal = combo.DevType == D3DDEVTYPE_HAL;
            const bool formatsMatch = combo.BackBufferFormat == combo.AdapterFormat;
            const bool take =
                !current.combo || (current.combo->DevType != D3DDEVTYPE_HAL && hal) || (hal && formatsMatch);
            return ComboVerdict{take, hal && formatsMatch};
        });
    if (!best.combo) {
        return false;
    }
    D3DDISPLAYMODE mode = best.desktop;
    mode.Width = Width(m_rcWindowClient);
    mode.Height = Height(m_rcWindowClient);
    TakeCombo(m_d3dSettings.Windowed, best, mode);
    return true;
}

bool CD3DApplication::FindBestFullscreenMode(bool requireHAL, bool requireREF) {
    // HAL first, then the desktop's adapter format, then a back buffer of the adapter format.
    const ComboChoice best = SearchCombos(
        false, requireHAL, requireREF,
        [](const ComboChoice& current, const D3DDeviceCombo& combo, const D3DDISPLAYMODE& desktop) {
            const bool hal = combo.DevType == D3DDEVTYPE_HAL;
            const bool matchesDesktop = combo.AdapterFormat == desktop.Format;
            const bool formatsMatch = combo.BackBufferFormat == combo.AdapterFormat;
            const bool take =
                !current.combo || (current.combo->DevType != D3DDEVTYPE_HAL && hal) ||
                (hal && current.combo->AdapterFormat != current.desktop.Format && matchesDesktop) ||
                (hal && matchesDesktop && formatsMatch);
            return ComboVerdict{take, hal && matchesDesktop && formatsMatch};
        });
    if (!best.combo) {
        return false;
    }
    // The desktop mode if listed; else the last mode of the desktop's width; else the first.
    D3DDISPLAYMODE chosen{};
    bool haveMode = false;
    for (const auto& mode : best.adapter->displayModes) {
        if (mode.Format != best.combo->AdapterFormat) {
            continue;
        }
        if (SameMode(mode, best.desktop)) {
            chosen = mode;
            haveMode = true;
            break;
        }
        if (mode.Width == best.desktop.Width || !haveMode) {
            chosen = mode;
            haveMode = true;
        }
    }
    if (!haveMode) {
        return false;
    }
    TakeCombo(m_d3dSettings.Fullscreen, best, chosen);
    return true;
}

void CD3DApplication::ApplyRegistryFullscreenMode() {
    if (m_dwFullScreenWidth == 0 || m_dwFullScreenHeight == 0 || m_dwFullScreenRefresh == 0) {
        return;
    }
    D3DModeSettings& settings = m_d3dSettings.Fullscreen;
    for (const auto& mode : settings.pAdapterInfo->displayModes) {
        if (mode.Format == settings.pDeviceCombo->AdapterFormat && mode.Width == m_dwFullScreenWidth &&
            mode.Height == m_dwFullScreenHeight && mode.RefreshRate == m_dwFullScreenRefresh) {
            settings.DisplayMode = mode;
            return;
        }
    }
}

HRESULT CD3DApplication::ChooseInitialD3DSettings() {
    const bool foundFullscreen = FindBestFullscreenMode(false, false);
    const bool foundWindowed = FindBestWindowedMode(false, false);
    if (foundFullscreen) {
        ApplyRegistryFullscreenMode();
    }
    if (!foundFullscreen && !foundWindowed) {
        return D3DAPPERR_NOCOMPATIBLEDEVICES;
    }
    m_d3dSettings.IsWindowed = !((m_bStartFullscreen && foundFullscreen) || !foundWindowed);
    return S_OK;
}

// ---- Device life ----

void CD3DApplication::BuildPresentParamsFromSettings() {
    const D3DModeSettings& settings = m_d3dSettings.Current();
    m_d3dpp = D3DPRESENT_PARAMETERS{};
    m_d3dpp.Windowed = m_d3dSettings.IsWindowed;
    m_d3dpp.BackBufferCount = 1;
    m_d3dpp.MultiSampleType = settings.MultisampleType;
    m_d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    m_d3dpp.EnableAutoDepthStencil = m_d3dEnumeration.AppUsesDepthBuffer;
    m_d3dpp.AutoDepthStencilFormat = settings.DepthStencilBufferFormat;
    m_d3dpp.hDeviceWindow = m_hWnd;
    m_d3dpp.FullScreen_PresentationInterval = settings.PresentInterval;
    if (m_d3dSettings.IsWindowed) {
        m_d3dpp.BackBufferWidth = Width(m_rcWindowClient);
        m_d3dpp.BackBufferHeight = Height(m_rcWindowClient);
        m_d3dpp.BackBufferFormat = settings.pDeviceCombo->BackBufferFormat;
        m_d3dpp.FullScreen_RefreshRateInHz = 0;
    } else {
        m_d3dpp.BackBufferWidth = settings.DisplayMode.Width;
        m_d3dpp.BackBufferHeight = settings.DisplayMode.Height;
        m_d3dpp.BackBufferFormat = settings.pDeviceCombo->BackBufferFormat;
        m_d3dpp.FullScreen_RefreshRateInHz = settings.DisplayMode.RefreshRate;
    }
}

void CD3DApplication::BuildDeviceStats() {
    const D3DModeSettings& settings = m_d3dSettings.Current();
    const D3DDEVTYPE type = settings.pDeviceInfo->DevType;
    const bool hal = type == D3DDEVTYPE_HAL;
    std::string stats = hal ? "HAL" : type == D3DDEVTYPE_REF ? "REF" : "SW";
    switch (settings.VertexProcessing) {
        case HARDWARE_VP:
        case PURE_HARDWARE_VP:
            stats += hal ? " (hw vp)" : " (simulated hw vp)";
            break;
        case MIXED_VP:
            stats += hal ? " (mixed vp)" : " (simulated mixed vp)";
            break;
        case SOFTWARE_VP:
            stats += " (sw vp)";
            break;
    }
    if (hal) {
        stats += ": ";
        stats += settings.pAdapterInfo->AdapterIdentifier.Description;
    }
    if (stats.size() > kDeviceStatsLimit) {
        stats.resize(kDeviceStatsLimit);
    }
    m_strDeviceStats = stats;
}

void CD3DApplication::ApplyCursorRules() {
    if (!m_bWindowed && m_bShowCursorWhenFullscreen) {
        m_pd3dDevice->ShowCursor(true);
    }
    if (m_bClipCursorWhenFullscreen) {
        if (m_bWindowed) {
            win32::ClipCursor(nullptr);
        } else {
            RECT bounds{};
            win32::GetWindowRect(m_hWnd, &bounds);
            win32::ClipCursor(&bounds);
        }
    }
}

void CD3DApplication::RestoreWindowPosition() {
    win32::SetWindowPos(m_hWnd, m_rcWindowBounds.left, m_rcWindowBounds.top, Width(m_rcWindowBounds),
                        Height(m_rcWindowBounds), win32::SWP_SHOWWINDOW);
}

void CD3DApplication::InvalidateAndDeleteDeviceObjects() {
    if (m_bDeviceObjectsRestored) {
        m_bDeviceObjectsRestored = false;
        InvalidateDeviceObjects();
    }
    if (m_bDeviceObjectsInited) {
        m_bDeviceObjectsInited = false;
        DeleteDeviceObjects();
    }
}

HRESULT CD3DApplication::ReleaseDevice() {
    if (!m_pd3dDevice) {
        return S_OK;
    }
    const unsigned long remaining = m_pd3dDevice->Release();
    m_pd3dDevice = nullptr;
    return remaining > 0 ? D3DAPPERR_NONZEROREFCOUNT : S_OK;
}

HRESULT CD3DApplication::TryInitialize3DEnvironment() {
    const D3DModeSettings& settings = m_d3dSettings.Current();
    m_bWindowed = m_d3dSettings.IsWindowed;
    ApplyWindowStyle();
    BuildPresentParamsFromSettings();

    const D3DDeviceInfo& device = *settings.pDeviceInfo;
    if (device.DevType == D3DDEVTYPE_REF && device.Caps.MaxTextureWidth == 0) {
        ReportError(D3DAPPERR_NULLREFDEVICE, MSG_NONE);
    }

    HRESULT hr = m_pD3D->CreateDevice(settings.pAdapterInfo->AdapterOrdinal, device.DevType, m_hWndFocus,
                                      CreationFlags(settings.VertexProcessing), &m_d3dpp, &m_pd3dDevice);
    if (FAILED(hr)) {
        m_pd3dDevice = nullptr;
        return hr;
    }
    if (m_bWindowed) {
        RestoreWindowPosition();
    }
    m_pd3dDevice->GetDeviceCaps(&m_d3dCaps);
    BuildDeviceStats();
    ReadBackBufferDesc();
    ApplyCursorRules();

    hr = InitDeviceObjects();
    if (FAILED(hr)) {
        DeleteDeviceObjects();
    } else {
        m_bDeviceObjectsInited = true;
        hr = RestoreDeviceObjects();
        if (FAILED(hr)) {
            InvalidateDeviceObjects();
        } else {
            m_bDeviceObjectsRestored = true;
            return S_OK;
        }
    }
    InvalidateAndDeleteDeviceObjects();
    if (ReleaseDevice() == D3DAPPERR_NONZEROREFCOUNT) {
        ReportError(D3DAPPERR_NONZEROREFCOUNT, MSGERR_APPMUSTEXIT);
    }
    return hr;
}

HRESULT CD3DApplication::Initialize3DEnvironment() {
    HRESULT hr = TryInitialize3DEnvironment();
    if (SUCCEEDED(hr)) {
        return hr;
    }
    return SwitchToReferenceDevice(hr);
}

HRESULT CD3DApplication::SwitchToReferenceDevice(HRESULT failure) {
    // A failed hardware device falls back once to a windowed reference device.
    if (failure == D3DAPPERR_MEDIANOTFOUND || failure == HRESULT_FILE_NOT_FOUND) {
        return failure;
    }
    const D3DModeSettings& settings = m_d3dSettings.Current();
    if (!settings.pDeviceInfo || settings.pDeviceInfo->DevType != D3DDEVTYPE_HAL) {
        return failure;
    }
    if (!FindBestWindowedMode(false, true)) {
        return failure;
    }
    m_d3dSettings.IsWindowed = true;
    m_bWindowed = true;
    ApplyWindowStyle();
    RestoreWindowPosition();
    ReportError(failure, MSGWARN_SWITCHEDTOREF);
    return TryInitialize3DEnvironment();
}

void CD3DApplication::ReadBackBufferDesc() {
    IDirect3DSurface8* backBuffer = nullptr;
    if (SUCCEEDED(m_pd3dDevice->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) && backBuffer) {
        backBuffer->GetDesc(&m_d3dsdBackBuffer);
        backBuffer->Release();
    }
}

HRESULT CD3DApplication::Reset3DEnvironment() {
    if (m_bDeviceObjectsRestored) {
        m_bDeviceObjectsRestored = false;
        InvalidateDeviceObjects();
    }
    if (HRESULT hr = m_pd3dDevice->Reset(&m_d3dpp); FAILED(hr)) {
        return hr;
    }
    ReadBackBufferDesc();
    ApplyCursorRules();
    if (HRESULT hr = RestoreDeviceObjects(); FAILED(hr)) {
        InvalidateDeviceObjects();
        return hr;
    }
    m_bDeviceObjectsRestored = true;
    return S_OK;
}

// ---- Frames ----

HRESULT CD3DApplication::Render3DEnvironment() {
    if (m_bDeviceLost || FAILED(m_pd3dDevice->TestCooperativeLevel())) {
        CDebugLog::Instance().LogLevel(1, "Device Lost -- restoring...");
        m_bDeviceLost = true;
        const HRESULT hr = m_pd3dDevice->TestCooperativeLevel();
        if (hr == D3DERR_DEVICELOST) {
            return S_OK;
        }
        if (hr == D3DERR_DEVICENOTRESET) {
            if (m_bWindowed) {
                D3DDISPLAYMODE desktop{};
                m_pD3D->GetAdapterDisplayMode(m_d3dSettings.Current().pAdapterInfo->AdapterOrdinal, &desktop);
                m_d3dpp.BackBufferFormat = desktop.Format;
            }
            return Reset3DEnvironment();
        }
        if (FAILED(hr)) {
            return hr;
        }
        m_bDeviceLost = false;
    }

    const double appTime = m_timer.Execute(CAppTimer::Command::GetAppTime);
    const double elapsed = m_timer.Execute(CAppTimer::Command::GetElapsedTime);
    if (elapsed == 0.0) {
        return S_OK;
    }
    m_stepAccumulator += elapsed;
    if (m_stepAccumulator <= CAppTimer::kFixedStep) {
        return S_OK;
    }

    m_fTime = static_cast<float>(appTime);
    m_fElapsedTime = static_cast<float>(elapsed);
    if (HRESULT hr = UpdateFrame(); FAILED(hr)) {
        return hr;
    }
    GameTick();

    if (m_stepAccumulator <= kMaxBacklogSteps * CAppTimer::kFixedStep) {
        m_stepAccumulator -= CAppTimer::kFixedStep;
    } else {
        m_stepAccumulator = std::fmod(m_stepAccumulator, CAppTimer::kFixedStep);
    }

    if (!m_bRenderingOff) {
        if (HRESULT hr = RenderFrame(); FAILED(hr)) {
            return hr;
        }
    }
    UpdateFrameStats();
    if (!m_bRenderingOff && m_pd3dDevice &&
        FAILED(m_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr))) {
        m_bDeviceLost = true;
    }
    return S_OK;
}

void CD3DApplication::UpdateFrameStats() {
    ++m_statsFrames;
    const double now = m_timer.Execute(CAppTimer::Command::GetAbsoluteTime);
    if (now - m_statsLastTime > 1.0) {
        m_fFPS = static_cast<float>(m_statsFrames / (now - m_statsLastTime));
        m_statsLastTime = now;
        m_statsFrames = 0;
    }
}

int CD3DApplication::Run(int acceleratorId) {
    HACCEL accelerators = LoadAcceleratorTable(acceleratorId);
    win32::MSG message;
    for (;;) {
        bool gotMessage;
        if (m_bActive) {
            gotMessage = win32::PeekMessage(&message, true);
        } else {
            gotMessage = true;
            if (!win32::GetMessage(&message)) {
                break;
            }
        }
        if (gotMessage) {
            if (message.message == win32::WM_QUIT) {
                break;
            }
            if (!accelerators || !win32::TranslateAccelerator(m_hWnd, accelerators, &message)) {
                win32::DispatchMessage(&message);
            }
            continue;
        }
        if (m_bDeviceLost) {
            win32::Sleep(100);
        }
        if (m_bActive && m_hWnd) {
            m_timer.AdvanceFastClock();
            if (FAILED(Render3DEnvironment())) {
                win32::SendMessage(m_hWnd, win32::WM_CLOSE, 0, 0);
            }
        }
    }
    if (accelerators) {
        win32::DestroyAcceleratorTable(accelerators);
    }
    return static_cast<int>(message.wParam);
}

void CD3DApplication::Pause(bool pause) {
    if (pause) {
        if (++m_pauseCount == 1) {
            m_timer.Execute(CAppTimer::Command::Stop);
        }
    } else if (m_pauseCount > 0 && --m_pauseCount == 0) {
        m_timer.Execute(CAppTimer::Command::Start);
    }
    m_bActive = m_pauseCount == 0;
}

// ---- Window messages ----

void CD3DApplication::ApplyWindowStyle() {
    if (!m_hWnd) {
        return;
    }
    win32::SetWindowStyle(m_hWnd, m_bWindowed ? m_dwWindowStyle : kFullscreenStyle);
}

void CD3DApplication::HandlePossibleSizeChange() {
    if (m_bIgnoreSizeChange) {
        return;
    }
    const RECT oldClient = m_rcWindowClient;
    win32::GetWindowRect(m_hWnd, &m_rcWindowBounds);
    win32::GetClientRect(m_hWnd, &m_rcWindowClient);
    if (Width(oldClient) == Width(m_rcWindowClient) && Height(oldClient) == Height(m_rcWindowClient)) {
        return;
    }
    Pause(true);
    m_d3dpp.BackBufferWidth = Width(m_rcWindowClient);
    m_d3dpp.BackBufferHeight = Height(m_rcWindowClient);
    if (m_pd3dDevice) {
        if (HRESULT hr = Reset3DEnvironment(); FAILED(hr)) {
            ReportError(hr == D3DERR_OUTOFVIDEOMEMORY ? hr : D3DAPPERR_RESETFAILED, MSGERR_APPMUSTEXIT);
        }
    }
    Pause(false);
}

LRESULT CD3DApplication::HandleSize(WPARAM kind) {
    if (m_bWindowed) {
        m_dwWindowStyle = win32::GetWindowStyle(m_hWnd);
    }
    if (kind == win32::SIZE_MINIMIZED) {
        if (m_bClipCursorWhenFullscreen && m_bWindowed) {
            win32::ClipCursor(nullptr);
        }
        Pause(true);
        m_bMinimized = true;
        m_bMaximized = false;
    } else if (kind == win32::SIZE_MAXIMIZED) {
        if (m_bMinimized) {
            Pause(false);
        }
        m_bMinimized = false;
        m_bMaximized = true;
        HandlePossibleSizeChange();
    } else if (kind == win32::SIZE_RESTORED) {
        if (m_bMaximized) {
            m_bMaximized = false;
            HandlePossibleSizeChange();
        } else if (m_bMinimized) {
            Pause(false);
            m_bMinimized = false;
            HandlePossibleSizeChange();
        }
    }
    return 0;
}

void CD3DApplication::CloseApplication() {
    // Guards against a fatal error raised while closing, which closes the window again.
    if (m_bClosing) {
        return;
    }
    m_bClosing = true;
    Cleanup3DEnvironment();
    if (m_hWnd) {
        win32::DestroyWindow(m_hWnd);
    }
    win32::PostQuitMessage(0);
    m_hWnd = nullptr;
}

LRESULT CD3DApplication::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace win32;
    switch (message) {
        case WM_PAINT:
            if (m_pd3dDevice && !m_bActive && m_bWindowed && m_bDeviceObjectsInited &&
                m_bDeviceObjectsRestored && !m_bRenderingOff) {
                RenderFrame();
                m_pd3dDevice->Present(nullptr, nullptr, nullptr, nullptr);
            }
            break;
        case WM_ERASEBKGND:
            if (m_bRenderingOff) {
                return 1;
            }
            break;
        case WM_ACTIVATE:
            m_bWindowActive = (wParam & 0xFFFF) != WA_INACTIVE;
            CGlobalOptions::Instance().bInactive = !m_bWindowActive;
            break;
        case WM_ENTERSIZEMOVE:
        case WM_ENTERMENULOOP:
            Pause(true);
            break;
        case WM_EXITMENULOOP:
            Pause(false);
            break;
        case WM_EXITSIZEMOVE:
            Pause(false);
            HandlePossibleSizeChange();
            break;
        case WM_SIZE:
            return HandleSize(wParam);
        case WM_SETCURSOR:
            if (m_bActive && !m_bWindowed) {
                win32::SetCursor(nullptr);
                if (m_bShowCursorWhenFullscreen && m_pd3dDevice) {
                    m_pd3dDevice->ShowCursor(true);
                }
                return 1;
            }
            break;
        case WM_MOUSEMOVE:
            if (m_bActive && m_pd3dDevice) {
                POINT cursor{};
                win32::GetCursorPos(&cursor);
                if (!m_bWindowed) {
                    win32::ScreenToClient(m_hWnd, &cursor);
                }
                m_pd3dDevice->SetCursorPosition(cursor.x, cursor.y, 0);
            }
            break;
        case WM_NCHITTEST:
            if (!m_bWindowed) {
                return HTCLIENT;
            }
            break;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMQUERYSUSPEND || wParam == PBT_APMRESUMESUSPEND) {
                return 1;
            }
            break;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_MOVE:
                case SC_SIZE:
                case SC_MAXIMIZE:
                case SC_KEYMENU:
                case SC_MONITORPOWER:
                    if (!m_bWindowed) {
                        return 1;
                    }
                    break;
            }
            break;
        case WM_CLOSE:
            CloseApplication();
            return 0;
    }
    return DefWindowProc(window, message, wParam, lParam);
}

// ---- Full screen, clean-up, errors ----

HRESULT CD3DApplication::ToggleFullScreen() {
    const D3DModeSettings& before = m_d3dSettings.Current();
    const UINT adapterBefore = before.pAdapterInfo->AdapterOrdinal;
    const D3DDEVTYPE deviceBefore = before.pDeviceInfo->DevType;
    const D3DModeSettings& after =
        m_d3dSettings.IsWindowed ? m_d3dSettings.Fullscreen : m_d3dSettings.Windowed;
    if (!after.pAdapterInfo) {
        // Nothing to switch to: the device stays as it is, untouched.
        CDebugLog::Instance().LogLevel(1,
                                       "Warning: no %s mode is available; the display mode stays as it is.",
                                       m_d3dSettings.IsWindowed ? "full-screen" : "windowed");
        return S_FALSE;
    }

    Pause(true);
    m_bIgnoreSizeChange = true;
    m_d3dSettings.IsWindowed = !m_d3dSettings.IsWindowed;
    m_bWindowed = m_d3dSettings.IsWindowed;
    ApplyWindowStyle();

    HRESULT hr;
    if (after.pAdapterInfo->AdapterOrdinal == adapterBefore && after.pDeviceInfo &&
        after.pDeviceInfo->DevType == deviceBefore) {
        BuildPresentParamsFromSettings();
        hr = Reset3DEnvironment();
    } else {
        InvalidateAndDeleteDeviceObjects();
        if (ReleaseDevice() == D3DAPPERR_NONZEROREFCOUNT) {
            ReportError(D3DAPPERR_NONZEROREFCOUNT, MSGERR_APPMUSTEXIT);
        }
        hr = Initialize3DEnvironment();
    }

    m_bIgnoreSizeChange = false;
    if (FAILED(hr) && !m_bWindowed) {
        m_d3dSettings.IsWindowed = true;
        m_bWindowed = true;
        ApplyWindowStyle();
    }
    if (m_bWindowed) {
        RestoreWindowPosition();
    }
    Pause(false);
    if (FAILED(hr)) {
        return ReportError(hr == D3DERR_OUTOFVIDEOMEMORY ? hr : D3DAPPERR_RESETFAILED, MSGERR_APPMUSTEXIT);
    }
    return S_OK;
}

void CD3DApplication::Cleanup3DEnvironment() {
    InvalidateAndDeleteDeviceObjects();
    if (ReleaseDevice() == D3DAPPERR_NONZEROREFCOUNT) {
        ReportError(D3DAPPERR_NONZEROREFCOUNT, MSGERR_APPMUSTEXIT);
    }
    if (m_pD3D) {
        m_pD3D->Release();
        m_pD3D = nullptr;
    }
    ShutdownApplication();
}

void CD3DApplication::DestroyEnvironment() {
    Cleanup3DEnvironment();
    if (m_hWnd) {
        win32::DestroyWindow(m_hWnd);
        m_hWnd = nullptr;
    }
}

HRESULT CD3DApplication::ReportError(HRESULT code, ErrorKind kind, std::string_view detail) {
    std::string text = ErrorMessageText(code);
    if (!detail.empty()) {
        text += "\n\n";
        text += detail;
    }
    if (kind == MSGERR_APPMUSTEXIT) {
        if (g_fatalErrorShown) {
            return code;
        }
        g_fatalErrorShown = true;
        text += "\n\nThis sample will now exit.";
        win32::MessageBox(m_hWnd, text, m_strWindowTitle, win32::MB_ICONERROR | win32::MB_OK);
        if (m_hWnd) {
            win32::SendMessage(m_hWnd, win32::WM_CLOSE, 0, 0);
        }
        return code;
    }
    if (kind == MSGWARN_SWITCHEDTOREF) {
        text +=
            "\n\nSwitching to the reference rasterizer,\na software device that implements the "
            "entire\nDirect3D "
            "feature set, but runs very slowly.";
    }
    win32::MessageBox(m_hWnd, text, m_strWindowTitle, win32::MB_ICONWARNING | win32::MB_OK);
    return code;
}
