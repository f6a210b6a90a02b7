#pragma once
// The Direct3D application framework: window, enumeration, device creation and reset, the
// message loop, the fixed 1/60 s frame step, lost-device recovery, the windowed/full-screen
// toggle and fatal error reporting. The program's own behaviour enters through the hooks.

#include <functional>
#include <string>
#include <string_view>

#include "app/app_timer.h"
#include "app/d3d_enumeration.h"
#include "app/d3d_settings.h"
#include "engine/singleton.h"
#include "platform/d3d8/d3d8.h"
#include "platform/win32/types.h"

// Error codes of the framework.
constexpr HRESULT D3DAPPERR_NODIRECT3D = static_cast<HRESULT>(0x82000001u);
constexpr HRESULT D3DAPPERR_NOCOMPATIBLEDEVICES = static_cast<HRESULT>(0x82000003u);
constexpr HRESULT D3DAPPERR_NOWINDOWABLEDEVICES = static_cast<HRESULT>(0x82000004u);
constexpr HRESULT D3DAPPERR_NOHARDWAREDEVICE = static_cast<HRESULT>(0x82000005u);
constexpr HRESULT D3DAPPERR_HALNOTCOMPATIBLE = static_cast<HRESULT>(0x82000006u);
constexpr HRESULT D3DAPPERR_NOWINDOWEDHAL = static_cast<HRESULT>(0x82000007u);
constexpr HRESULT D3DAPPERR_NODESKTOPHAL = static_cast<HRESULT>(0x82000008u);
constexpr HRESULT D3DAPPERR_NOHALTHISMODE = static_cast<HRESULT>(0x82000009u);
constexpr HRESULT D3DAPPERR_NONZEROREFCOUNT = static_cast<HRESULT>(0x8200000Au);
constexpr HRESULT D3DAPPERR_MEDIANOTFOUND = static_cast<HRESULT>(0x8200000Bu);
constexpr HRESULT D3DAPPERR_RESETFAILED = static_cast<HRESULT>(0x8200000Cu);
constexpr HRESULT D3DAPPERR_NULLREFDEVICE = static_cast<HRESULT>(0x8200000Du);

enum ErrorKind { MSG_NONE = 0, MSGERR_APPMUSTEXIT = 1, MSGWARN_SWITCHEDTOREF = 2 };

// The message text for a framework or system error code.
std::string ErrorMessageText(HRESULT code);

class CD3DApplication : public tmSingletonGI<CD3DApplication> {
public:
    CD3DApplication();
    ~CD3DApplication() override;

    virtual void ApplyWindowStyle();
    virtual void UpdateFrameStats();
    virtual HRESULT AcceptDevice(const D3DCAPS8& caps, DWORD behaviorFlags, D3DFORMAT adapterFormat);
    virtual HRESULT InitApplication() { return S_OK; }
    virtual HRESULT InitDeviceObjects() { return S_OK; }
    virtual HRESULT RestoreDeviceObjects() { return S_OK; }
    virtual HRESULT UpdateFrame() { return S_OK; }
    virtual HRESULT RenderFrame() { return S_OK; }
    virtual HRESULT InvalidateDeviceObjects() { return S_OK; }
    virtual HRESULT DeleteDeviceObjects() { return S_OK; }
    virtual HRESULT ShutdownApplication() { return S_OK; }
    virtual void DestroyEnvironment();
    virtual HRESULT ToggleFullScreen();
    virtual void GameTick() = 0;
    virtual HRESULT Create(HINSTANCE instance, int iconId, int unusedId);
    virtual int Run(int acceleratorId);
    virtual LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    virtual void Pause(bool pause);

    // One idle turn's frame: lost-device handling, the fixed step, tick, render and present.
    HRESULT Render3DEnvironment();
    // Shows the message box for an error and returns the code; a fatal error closes the
    // window, and only the first fatal error of the process is ever shown.
    // Shows the message of the code, followed by the detail when one is given.
    HRESULT ReportError(HRESULT code, ErrorKind kind, std::string_view detail = {});

    HWND GetHWND() const { return m_hWnd; }
    IDirect3DDevice8* GetDevice() const { return m_pd3dDevice; }
    bool IsActive() const { return m_bActive; }
    bool IsWindowed() const { return m_bWindowed; }
    bool IsDeviceLost() const { return m_bDeviceLost; }
    int PauseCount() const { return m_pauseCount; }
    const D3DSURFACE_DESC& BackBufferDesc() const { return m_d3dsdBackBuffer; }
    const D3DSettings& Settings() const { return m_d3dSettings; }
    const std::string& DeviceStats() const { return m_strDeviceStats; }
    float FramesPerSecond() const { return m_fFPS; }
    CAppTimer& Timer() { return m_timer; }
    void SetRenderingOff(bool off) { m_bRenderingOff = off; }
    bool IsRenderingOff() const { return m_bRenderingOff; }
    static bool FatalErrorShown();

protected:
    // A new process starts without a fatal error shown; tests that run several applications
    // in one process start each one the same way.
    static void ForgetFatalError();

protected:
    HRESULT ChooseInitialD3DSettings();
    HRESULT Initialize3DEnvironment();
    HRESULT Reset3DEnvironment();
    void Cleanup3DEnvironment();
    void BuildPresentParamsFromSettings();
    void HandlePossibleSizeChange();
    HRESULT ReleaseDevice();

    CD3DEnumeration m_d3dEnumeration;
    D3DSettings m_d3dSettings;

    // Settings the application may change before Create.
    std::string m_strWindowTitle = "Game";
    DWORD m_dwCreationWidth = 640;
    DWORD m_dwCreationHeight = 480;
    DWORD m_dwFullScreenWidth = 800;
    DWORD m_dwFullScreenHeight = 600;
    DWORD m_dwFullScreenRefresh = 75;
    bool m_bStartFullscreen = true;
    bool m_bShowCursorWhenFullscreen = false;
    bool m_bClipCursorWhenFullscreen = true;

    // State.
    HWND m_hWnd = nullptr;
    HWND m_hWndFocus = nullptr;
    IDirect3D8* m_pD3D = nullptr;
    IDirect3DDevice8* m_pd3dDevice = nullptr;
    D3DPRESENT_PARAMETERS m_d3dpp{};
    D3DCAPS8 m_d3dCaps{};
    D3DSURFACE_DESC m_d3dsdBackBuffer{};
    DWORD m_dwWindowStyle = 0;
    RECT m_rcWindowBounds{};
    RECT m_rcWindowClient{};
    bool m_bWindowed = true;
    bool m_bActive = false;
    bool m_bDeviceLost = false;
    bool m_bMinimized = false;
    bool m_bMaximized = false;
    bool m_bIgnoreSizeChange = false;
    bool m_bRenderingOff = false;
    bool m_bDeviceObjectsInited = false;
    bool m_bDeviceObjectsRestored = false;
    int m_pauseCount = 0;
    double m_stepAccumulator = 0.0;
    float m_fTime = 0.0f;
    float m_fElapsedTime = 0.0f;
    float m_fFPS = 0.0f;
    std::string m_strDeviceStats;
    CAppTimer m_timer;

private:
    static LRESULT StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HRESULT CreateWindowIfMissing();
    void ClampCreationSize();
    HRESULT TryInitialize3DEnvironment();
    struct ComboChoice {
        D3DAdapterInfo* adapter = nullptr;
        D3DDeviceInfo* device = nullptr;
        D3DDeviceCombo* combo = nullptr;
        D3DDISPLAYMODE desktop{};
    };
    struct ComboVerdict {
        bool take = false;  // the combination replaces the current choice
        bool stop = false;  // and nothing better can follow
    };
    using ComboRule = std::function<ComboVerdict(const ComboChoice& current, const D3DDeviceCombo& combo,
                                                 const D3DDISPLAYMODE& desktop)>;
    // Walks the windowed or full-screen combinations; the rule decides which one is best.
    ComboChoice SearchCombos(bool windowed, bool requireHAL, bool requireREF, const ComboRule& rule);
    static void TakeCombo(D3DModeSettings& settings, const ComboChoice& choice, const D3DDISPLAYMODE& mode);
    bool FindBestWindowedMode(bool requireHAL, bool requireREF);
    bool FindBestFullscreenMode(bool requireHAL, bool requireREF);
    void ApplyRegistryFullscreenMode();
    void BuildDeviceStats();
    void ApplyCursorRules();
    void ReadBackBufferDesc();
    void RestoreWindowPosition();
    void InvalidateAndDeleteDeviceObjects();
    void CloseApplication();
    HRESULT SwitchToReferenceDevice(HRESULT failure);
    LRESULT HandleSize(WPARAM kind);

    double m_statsLastTime = 0.0;
    DWORD m_statsFrames = 0;
    bool m_bClosing = false;
    bool m_bWindowActive = false;
};
