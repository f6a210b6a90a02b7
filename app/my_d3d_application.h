#pragma once
// The main program's application object: start-up (debug log, call-stack logger, settings),
// the command line, the device hooks and the fixed-order game tick.

#include <string>

#include "app/d3d_application.h"
#include "app/external_debug.h"
#include "input/control_state.h"
#include "input/input_controllers.h"

class CMyD3DApplication : public tmSingletonGD<CMyD3DApplication, CD3DApplication> {
public:
    CMyD3DApplication();
    ~CMyD3DApplication() override;

    HRESULT AcceptDevice(const D3DCAPS8& caps, DWORD behaviorFlags, D3DFORMAT adapterFormat) override;
    HRESULT InitApplication() override;
    HRESULT InitDeviceObjects() override;
    HRESULT RestoreDeviceObjects() override;
    HRESULT UpdateFrame() override;
    HRESULT RenderFrame() override;
    HRESULT InvalidateDeviceObjects() override;
    HRESULT DeleteDeviceObjects() override;
    HRESULT ShutdownApplication() override;
    void GameTick() override;
    LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void Pause(bool pause) override;

    // Applies the switches of a Windows-style command line.
    void ParseCommandLine(const std::string& commandLine);

    const std::string& SceneName() const { return m_sceneName; }
    bool ExitOnInput() const { return m_bExitOnInput; }
    ControlState& Controls() { return m_controlState; }
    int TicksRun() const { return m_ticksRun; }

    // Splits a command line into tokens: quoted pieces stay whole, the rest splits at blanks.
    static std::vector<std::string> TokenizeCommandLine(const std::string& commandLine);

private:
    void ReadRegistrySettings();
    // The entity, hit and game managers go at shutdown, after the device objects.
    void DestroyEngineManagers();
    void WriteRegistrySettings();
    void DeriveAxes();
    void CountTicks();

    std::string m_sceneName = "Intro.xml";
    bool m_bExitOnInput = true;
    ControlState m_controlState;
    CInputControllers m_inputControllers;
    CExternalDebug m_externalDebug;
    int m_secondMarkCount = 0;
    int m_ticksRun = 0;
    // The client size of the last windowed device that came up; a size no device worked with is
    // never stored.
    RECT m_workingClient{};
    long m_maxTicks = 0;  // ZUMBO_MAX_TICKS; 0 means no limit
};
