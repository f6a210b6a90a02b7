// The framework driven through the recording Direct3D back end and a manual clock.

#include <gtest/gtest.h>

#include <fstream>

#include "app/d3d_application.h"
#include "app/debug_log.h"
#include "engine/global_options.h"
#include "platform/d3d8/recording_control.h"
#include "platform/win32/window.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr std::int64_t kTicksPerSecond = 600000;
constexpr std::int64_t kStep = kTicksPerSecond / 60;

class LoopApplication : public tmSingletonGD<LoopApplication, CD3DApplication> {
public:
    LoopApplication() { ForgetFatalError(); }
    void GameTick() override { ++ticks; }
    HRESULT RenderFrame() override {
        ++renders;
        return S_OK;
    }
    HRESULT RestoreDeviceObjects() override {
        ++restores;
        return S_OK;
    }
    HRESULT InvalidateDeviceObjects() override {
        ++invalidates;
        return S_OK;
    }
    void UseClock(std::int64_t* now) {
        m_timer = CAppTimer([now] { return *now; }, kTicksPerSecond);
    }
    void SetFullscreenMode(DWORD width, DWORD height, DWORD refresh, bool startFullscreen) {
        m_dwFullScreenWidth = width;
        m_dwFullScreenHeight = height;
        m_dwFullScreenRefresh = refresh;
        m_bStartFullscreen = startFullscreen;
    }
    double Accumulator() const { return m_stepAccumulator; }

    int ticks = 0;
    int renders = 0;
    int restores = 0;
    int invalidates = 0;
};

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ZUMBO_HEADLESS", "1", 1);
        CGlobalOptions::Instance().ResetToDefaults();
        CDebugLog::Instance().SetFolder(dir.WindowsPath());
        app = &LoopApplication::Instance();
        app->UseClock(&now);
    }
    void TearDown() override {
        // Running the loop takes the quit message, so the next test starts with an empty queue.
        if (app->GetHWND()) {
            win32::PostMessage(app->GetHWND(), win32::WM_CLOSE, 0, 0);
            app->Pause(false);
            app->Run(0);
        }
        for (win32::MSG message; win32::PeekMessage(&message, true);) {
        }
        app->DestroyInstance();
    }
    void CreateApplication() { ASSERT_EQ(app->Create(nullptr, 101, 141), S_OK); }
    // One idle turn after the clock moved by the given number of clock ticks.
    void Turn(std::int64_t elapsed) {
        now += elapsed;
        ASSERT_EQ(app->Render3DEnvironment(), S_OK);
    }
    int CountInLog(const std::string& text) const {
        std::ifstream in(dir.Path() / "Debug0000.log");
        int count = 0;
        for (std::string line; std::getline(in, line);) {
            count += line.find(text) != std::string::npos;
        }
        return count;
    }

    zumbo::test::TempDir dir;
    std::int64_t now = 1000000;
    LoopApplication* app = nullptr;
};

TEST_F(FrameLoopTest, CreateLeavesAnActiveApplicationWithADevice) {
    CreateApplication();
    EXPECT_TRUE(app->IsActive());
    EXPECT_EQ(app->PauseCount(), 0);
    ASSERT_NE(app->GetDevice(), nullptr);
    EXPECT_EQ(app->DeviceStats().rfind("HAL (hw vp): ", 0), 0u) << app->DeviceStats();
    EXPECT_LE(app->DeviceStats().size(), 89u);
    EXPECT_EQ(app->restores, 1);
}

TEST_F(FrameLoopTest, NoFrameRunsWhenNoTimeElapsed) {
    CreateApplication();
    Turn(0);
    Turn(0);
    EXPECT_EQ(app->ticks, 0);
    EXPECT_EQ(app->renders, 0);
}

TEST_F(FrameLoopTest, AFrameNeedsMoreThanOneStep) {
    CreateApplication();
    Turn(kStep);
    EXPECT_EQ(app->ticks, 0);
    Turn(kStep / 2);
    EXPECT_EQ(app->ticks, 1);
    EXPECT_EQ(app->renders, 1);
    EXPECT_NEAR(app->Accumulator(), 0.5 / 60.0, 1e-9);
    EXPECT_EQ(d3d8::RecordingControl::LastDevice()->Record().presents, 1u);
}

TEST_F(FrameLoopTest, HitchOfThreeStepsRunsThreeFramesInTheFollowingTurns) {
    CreateApplication();
    Turn(3 * kStep + 1);
    EXPECT_EQ(app->ticks, 1);
    Turn(1);
    Turn(1);
    EXPECT_EQ(app->ticks, 3);
    Turn(1);
    EXPECT_EQ(app->ticks, 3);
}

TEST_F(FrameLoopTest, HitchOfTenStepsRunsOneFrameAndKeepsOnlyTheRemainder) {
    CreateApplication();
    Turn(10 * kStep + kStep / 4);
    EXPECT_EQ(app->ticks, 1);
    EXPECT_NEAR(app->Accumulator(), 0.25 / 60.0, 1e-9);
    Turn(1);
    Turn(1);
    EXPECT_EQ(app->ticks, 1);
}

TEST_F(FrameLoopTest, LostDeviceIsLoggedOnEveryTurnAndResetWhenPossible) {
    CreateApplication();
    auto* device = d3d8::RecordingControl::LastDevice();
    device->LoseDevice(3);
    Turn(2 * kStep);
    Turn(2 * kStep);
    EXPECT_EQ(app->ticks, 0);
    EXPECT_TRUE(app->IsDeviceLost());
    EXPECT_EQ(CountInLog("Device Lost -- restoring..."), 2);
    // The device is resettable now: the turn resets it and draws nothing.
    Turn(2 * kStep);
    EXPECT_EQ(device->Record().Calls("Reset"), 1u);
    EXPECT_EQ(app->restores, 2);
    EXPECT_EQ(app->invalidates, 1);
    EXPECT_EQ(app->ticks, 0);
    Turn(2 * kStep);
    EXPECT_FALSE(app->IsDeviceLost());
    EXPECT_EQ(app->ticks, 1);
    EXPECT_EQ(CountInLog("Device Lost -- restoring..."), 4);
}

TEST_F(FrameLoopTest, FailedPresentMarksTheDeviceLost) {
    CreateApplication();
    d3d8::RecordingControl::LastDevice()->FailNextPresent(D3DERR_DEVICELOST);
    Turn(2 * kStep);
    EXPECT_TRUE(app->IsDeviceLost());
}

TEST_F(FrameLoopTest, PauseNestsAndStopsTheClock) {
    CreateApplication();
    app->Pause(true);
    app->Pause(true);
    app->Pause(false);
    EXPECT_FALSE(app->IsActive());
    Turn(5 * kStep);
    EXPECT_EQ(app->ticks, 0);
    app->Pause(false);
    EXPECT_TRUE(app->IsActive());
    Turn(kStep * 3 / 2);
    EXPECT_EQ(app->ticks, 1);
}

TEST_F(FrameLoopTest, FullscreenModeFromSettingsIsUsedWhenOffered) {
    app->SetFullscreenMode(800, 600, 75, true);
    CreateApplication();
    EXPECT_FALSE(app->IsWindowed());
    const D3DDISPLAYMODE& mode = app->Settings().Fullscreen.DisplayMode;
    EXPECT_EQ(mode.Width, 800u);
    EXPECT_EQ(mode.Height, 600u);
    EXPECT_EQ(mode.RefreshRate, 75u);
    EXPECT_EQ(app->BackBufferDesc().Width, 800u);
}

TEST_F(FrameLoopTest, FullscreenModeNotOfferedFallsBackToTheDesktopMode) {
    app->SetFullscreenMode(1234, 567, 75, true);
    CreateApplication();
    const D3DDISPLAYMODE& mode = app->Settings().Fullscreen.DisplayMode;
    EXPECT_EQ(mode.Width, 1024u);
    EXPECT_EQ(mode.Height, 768u);
    EXPECT_EQ(mode.RefreshRate, 60u);
}

TEST_F(FrameLoopTest, ToggleFullScreenResetsTheSameDevice) {
    app->SetFullscreenMode(800, 600, 75, false);
    CreateApplication();
    EXPECT_TRUE(app->IsWindowed());
    IDirect3DDevice8* device = app->GetDevice();
    ASSERT_EQ(app->ToggleFullScreen(), S_OK);
    EXPECT_FALSE(app->IsWindowed());
    EXPECT_EQ(app->BackBufferDesc().Width, 800u);
    ASSERT_EQ(app->ToggleFullScreen(), S_OK);
    EXPECT_TRUE(app->IsWindowed());
    EXPECT_EQ(app->GetDevice(), device);
    EXPECT_EQ(d3d8::RecordingControl::LastDevice()->Record().Calls("Reset"), 2u);
    EXPECT_TRUE(app->IsActive());
}

TEST_F(FrameLoopTest, OnlyTheFirstFatalErrorShowsABox) {
    CreateApplication();
    testing::internal::CaptureStderr();
    app->ReportError(D3DAPPERR_RESETFAILED, MSGERR_APPMUSTEXIT);
    app->ReportError(D3DAPPERR_NOCOMPATIBLEDEVICES, MSGERR_APPMUSTEXIT);
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("Could not reset the Direct3D device.\n\nThis sample will now exit."),
              std::string::npos)
        << shown;
    EXPECT_EQ(shown.find("Could not find any compatible"), std::string::npos) << shown;
    // The fatal error closed the window.
    EXPECT_EQ(app->GetHWND(), nullptr);
}

TEST_F(FrameLoopTest, FailedDeviceCreationIsReported) {
    d3d8::FailNextCreateDevice(E_OUTOFMEMORY);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(FAILED(app->Create(nullptr, 101, 141)));
    const std::string shown = testing::internal::GetCapturedStderr();
    EXPECT_NE(shown.find("Not enough memory."), std::string::npos) << shown;
}

TEST(ErrorMessageTextTest, SystemFileNotFoundReadsAsMissingMedia) {
    EXPECT_EQ(ErrorMessageText(HRESULT_FILE_NOT_FOUND), "Could not load required media.");
    EXPECT_EQ(ErrorMessageText(D3DAPPERR_MEDIANOTFOUND), "Could not load required media.");
    EXPECT_EQ(ErrorMessageText(0x12345),
              "Generic application error. Enable\ndebug output for detailed information.");
}

}  // namespace
