// The application object run headless in-process, with input injected into the devices.

#include <gtest/gtest.h>

#include "app/debug_log.h"
#include "app/my_d3d_application.h"
#include "app/resource_ids.h"
#include "engine/global_options.h"
#include "platform/dinput8/test_input.h"
#include "platform/win32/window.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr BYTE DIK_A = 0x1E;

class ExitOnInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("ZUMBO_HEADLESS", "1", 1);
        setenv("ZUMBO_FAST_CLOCK", "1", 1);
        setenv("ZUMBO_MAX_TICKS", "20", 1);
        setenv("ZUMBO_REGISTRY", (dir.Path() / "registry.reg").c_str(), 1);
        dinput8::test::ResetInput();
        CGlobalOptions::Instance().ResetToDefaults();
        CDebugLog::Instance().SetFolder(dir.WindowsPath());
    }
    void TearDown() override {
        unsetenv("ZUMBO_FAST_CLOCK");
        unsetenv("ZUMBO_MAX_TICKS");
        dinput8::test::ResetInput();
    }
    // Creates the application, lets the test act, runs it and returns the ticks it ran.
    template <class BeforeRun>
    int RunApplication(const std::string& commandLine, BeforeRun beforeRun) {
        CMyD3DApplication& app = CMyD3DApplication::Instance();
        EXPECT_EQ(app.Create(nullptr, IDI_MAIN_ICON, IDR_MENU), S_OK);
        app.ParseCommandLine(commandLine);
        beforeRun();
        EXPECT_EQ(app.Run(IDR_ACCELERATOR), 0);
        const int ticks = app.TicksRun();
        app.DestroyInstance();
        return ticks;
    }

    zumbo::test::TempDir dir;
};

TEST_F(ExitOnInputTest, WithoutInputTheRunLastsTheRequestedTicks) {
    EXPECT_EQ(RunApplication("", [] {}), 20);
}

// The first tick after creation reads the devices as nothing (they are acquired at its poll);
// motion made while it runs is read at the next poll and ends the program there.
TEST_F(ExitOnInputTest, TheFirstTickReadsNothingAndMotionDuringItEndsTheProgramAtTheNext) {
    CMyD3DApplication& app = CMyD3DApplication::Instance();
    ASSERT_EQ(app.Create(nullptr, IDI_MAIN_ICON, IDR_MENU), S_OK);
    auto idleTurn = [&app] {
        app.Timer().AdvanceFastClock();
        ASSERT_EQ(app.Render3DEnvironment(), S_OK);
    };
    win32::MSG message;
    dinput8::test::MoveMouse(3, 0);
    while (app.TicksRun() < 1) {
        idleTurn();
    }
    EXPECT_FALSE(win32::PeekMessage(&message, false)) << "the first tick ended the program";

    dinput8::test::MoveMouse(3, 0);
    idleTurn();
    ASSERT_EQ(app.TicksRun(), 2);
    ASSERT_TRUE(win32::PeekMessage(&message, true));
    EXPECT_EQ(message.message, win32::WM_COMMAND);
    EXPECT_EQ(message.wParam, IDM_EXIT);
    win32::DispatchMessage(&message);
    EXPECT_EQ(app.Run(IDR_ACCELERATOR), 0);
    EXPECT_EQ(app.TicksRun(), 2);
    app.DestroyInstance();
}

TEST_F(ExitOnInputTest, MotionFromBeforeTheWindowExistedDoesNotCount) {
    dinput8::test::MoveMouse(40, -12, 1);
    EXPECT_EQ(RunApplication("", [] {}), 20);
}

TEST_F(ExitOnInputTest, KeyMessageOrButtonEndsTheProgram) {
    EXPECT_EQ(RunApplication("", [] { dinput8::test::SetMouseButton(1, true); }), 1);
    dinput8::test::ResetInput();
    EXPECT_EQ(
        RunApplication(
            "",
            [] { win32::PostMessage(CMyD3DApplication::Instance().GetHWND(), win32::WM_KEYDOWN, 0x41, 0); }),
        1);
}

TEST_F(ExitOnInputTest, NormalInputIgnoresInput) {
    EXPECT_EQ(RunApplication("/normalinput",
                             [] {
                                 dinput8::test::MoveMouse(5, 5);
                                 dinput8::test::PressKey(DIK_A);
                             }),
              20);
}

}  // namespace
