// Real X input, sent with xdotool, reaching the devices through SDL; needs a display (the
// tests run under Xvfb) and xdotool.

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "input/input_devices.h"
#include "platform/win32/window.h"
#include "tests/support/program_run.h"
#include "tests/support/xdotool.h"

using namespace zumbo::test;

namespace {

constexpr int kSpace = 0x39;
constexpr const char* kTitle = "Zumbo xdotool input";
constexpr int kAttempts = 200;

LRESULT DefaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::DefWindowProc(window, message, wParam, lParam);
}

class XdotoolInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveDisplayAndXdotool()) {
            GTEST_SKIP() << "no display or no xdotool";
        }
        unsetenv("ZUMBO_HEADLESS");
        m_window =
            win32::CreateWindow(kTitle, win32::WS_VISIBLE | win32::WS_POPUP, 200, 200, DefaultProcedure);
        ASSERT_NE(m_window, nullptr);
        ASSERT_FALSE(win32::IsHeadless());
        Pump();
        // The devices read in the foreground only: the window takes the keyboard focus.
        ASSERT_TRUE(Xdotool(std::string("search --sync --name '^") + kTitle + "$' windowfocus --sync"));
        ASSERT_EQ(m_devices.Create(m_window), S_OK);
        PollUntil([] { return true; });
    }
    void TearDown() override {
        m_devices.Destroy();
        if (m_window) {
            win32::DestroyWindow(m_window);
        }
    }
    static void Pump() {
        win32::MSG message;
        while (win32::PeekMessage(&message, true)) {
            win32::DispatchMessage(&message);
        }
    }
    // Pumps and polls until the condition holds; X delivers input asynchronously.
    template <class Condition>
    bool PollUntil(Condition condition) {
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            Pump();
            m_devices.Poll();
            if (condition()) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    HWND m_window = nullptr;
    CInputDevices m_devices;
};

}  // namespace

TEST_F(XdotoolInputTest, RealKeyPressReachesTheKeyboardState) {
    ASSERT_TRUE(Xdotool("keydown space"));
    EXPECT_TRUE(PollUntil([&] { return m_devices.Keyboard()->IsDown(kSpace); }));
    EXPECT_EQ(m_devices.Keyboard()->CodeName(kSpace), "Space");
    ASSERT_TRUE(Xdotool("keyup space"));
    EXPECT_TRUE(PollUntil([&] { return m_devices.Keyboard()->WasReleased(kSpace); }));
}

TEST_F(XdotoolInputTest, RealPointerMotionReachesTheMouseState) {
    ASSERT_TRUE(Xdotool("mousemove 100 100"));
    PollUntil([&] { return false; });  // settles: the motion to the start is read and dropped
    ASSERT_TRUE(Xdotool("mousemove_relative -- 25 -10"));
    long movedX = 0;
    long movedY = 0;
    PollUntil([&] {
        movedX += m_devices.Mouse()->AxisValue(0);
        movedY += m_devices.Mouse()->AxisValue(4);
        return movedX == 25 && movedY == -10;
    });
    EXPECT_EQ(movedX, 25);
    EXPECT_EQ(movedY, -10);
}

TEST(XdotoolScreenSaverTest, ARealKeyPressEndsTheProgramInScreenSaverMode) {
    if (!HaveDisplayAndXdotool()) {
        GTEST_SKIP() << "no display or no xdotool";
    }
    zumbo::test::ProgramFolder folder;
    // Presses a key once the program's window is there; the program runs for hours otherwise.
    std::thread presser(
        [] { Xdotool("search --sync --name '^Zumbo$' windowfocus --sync key --delay 100 a"); });
    const zumbo::test::RunResult result = folder.Run({}, {{"ZUMBO_MAX_TICKS", "1000000"}}, 60);
    presser.join();
    EXPECT_EQ(result.exitCode, 0) << result.output;
    const std::vector<std::string> log = folder.LogLines();
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("=========== Program Finished ==========="), std::string::npos);
}
