// The DirectInput mouse and keyboard on SDL; needs a display (CI runs the tests under Xvfb).

#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include "platform/dinput8/dinput.h"
#include "platform/win32/window.h"

namespace {

LRESULT DefaultProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return win32::DefWindowProc(window, message, wParam, lParam);
}

class SdlDirectInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!getenv("DISPLAY")) {
            GTEST_SKIP() << "no display";
        }
        unsetenv("ZUMBO_HEADLESS");
        m_window =
            win32::CreateWindow("Input", win32::WS_VISIBLE | win32::WS_POPUP, 200, 200, DefaultProcedure);
        ASSERT_NE(m_window, nullptr);
        ASSERT_FALSE(win32::IsHeadless());
        void* created = nullptr;
        ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created, nullptr),
                  DI_OK);
        m_input = static_cast<IDirectInput8A*>(created);
    }
    void TearDown() override {
        if (m_device) {
            m_device->Release();
        }
        if (m_input) {
            m_input->Release();
        }
        if (m_window) {
            win32::DestroyWindow(m_window);
        }
    }
    // Background level: the test window need not have the keyboard focus under Xvfb.
    void CreateDevice(REFGUID guid, const DIDATAFORMAT& format) {
        ASSERT_EQ(m_input->CreateDevice(guid, &m_device, nullptr), DI_OK);
        ASSERT_EQ(m_device->SetDataFormat(&format), DI_OK);
        ASSERT_EQ(m_device->SetCooperativeLevel(m_window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
        ASSERT_EQ(m_device->Acquire(), DI_OK);
    }
    static void Pump() {
        win32::MSG message;
        while (win32::PeekMessage(&message, true)) {
            win32::DispatchMessage(&message);
        }
    }

    HWND m_window = nullptr;
    IDirectInput8A* m_input = nullptr;
    IDirectInputDevice8A* m_device = nullptr;
};

}  // namespace

TEST_F(SdlDirectInputTest, MouseReportsPointerMotionAndWheelSinceTheLastRead) {
    CreateDevice(GUID_SysMouse, c_dfDIMouse2);
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.xrel = 10;
    motion.motion.yrel = -5;
    SDL_PushEvent(&motion);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 2;
    wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    SDL_PushEvent(&wheel);
    Pump();

    DIMOUSESTATE2 state;
    ASSERT_EQ(m_device->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 10);
    EXPECT_EQ(state.lY, -5);
    EXPECT_EQ(state.lZ, 240);
    ASSERT_EQ(m_device->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lZ, 0);
}

TEST_F(SdlDirectInputTest, KeyboardStartsWithEveryKeyUp) {
    CreateDevice(GUID_SysKeyboard, c_dfDIKeyboard);
    BYTE keys[256];
    ASSERT_EQ(m_device->GetDeviceState(sizeof keys, keys), DI_OK);
    for (BYTE key : keys) {
        EXPECT_EQ(key, 0);
    }
}
