// The controllers over headless devices: bindings, the control state they fill and the
// options' "Controls" element.

#include <gtest/gtest.h>

#include "app/debug_log.h"
#include "engine/global_options.h"
#include "input/input_controllers.h"
#include "input/input_devices.h"
#include "platform/dinput8/test_input.h"
#include "platform/win32/window.h"
#include "resource/xml.h"
#include "tests/support/headless_window.h"
#include "tests/support/temp_dir.h"

namespace test_input = dinput8::test;

namespace {

constexpr BYTE kLeftControl = 0x1d;
constexpr BYTE kSpace = 0x39;
constexpr BYTE kZ = 0x2c;
constexpr BYTE kDigit0 = 0x0b;

class InputControllersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_window.Handle(), nullptr);
        CDebugLog::Instance().SetFolder(m_logs.WindowsPath());
        CGlobalOptions::Instance().ResetToDefaults();
    }
    void TearDown() override {
        m_controllers.Destroy();
        m_devices.Destroy();
        CGlobalOptions::Instance().ResetToDefaults();
    }
    void Create() {
        ASSERT_EQ(m_devices.Create(m_window.Handle()), S_OK);
        m_controllers.Create(m_devices);
        Tick();  // the first read acquires the devices
    }
    // One frame as the frame loop runs it.
    const ControlState& Tick() {
        m_devices.Poll();
        m_state.ClearInputs();
        m_controllers.Update(m_state);
        return m_state;
    }
    void PumpMessages() {
        win32::MSG message;
        while (win32::PeekMessage(&message, true)) {
            win32::DispatchMessage(&message);
        }
    }
    // "Controls" with one "Keyboard" child holding dwShoot.
    static std::unique_ptr<enXml> ControlsWithKeyboardShoot(const char* hexText) {
        auto controls = std::make_unique<enXml>("Controls");
        controls->AddNewChild("Keyboard")->AddNewChild("dwShoot")->AddAttribute("Value", hexText);
        return controls;
    }

    zumbo::test::TempDir m_logs;
    zumbo::test::HeadlessWindow m_window;
    CInputDevices m_devices;
    CInputControllers m_controllers;
    ControlState m_state;
};

}  // namespace

TEST_F(InputControllersTest, DefaultBindingsDriveTheirButtons) {
    Create();
    test_input::PressKey(kLeftControl);
    test_input::PressKey(kDigit0);
    const ControlState& state = Tick();
    EXPECT_EQ(state.Shoot.down, 1);
    EXPECT_EQ(state.Shoot.pressed, 1);
    EXPECT_EQ(state.Digit[9].pressed, 1);  // Digit0 is the tenth
    EXPECT_EQ(state.ShootRocket.down, 0);
    test_input::ReleaseKey(kLeftControl);
    const ControlState& after = Tick();
    EXPECT_EQ(after.Shoot.down, 0);
    EXPECT_EQ(after.Shoot.released, 1);
    EXPECT_EQ(after.Digit[9].pressed, 0);
    EXPECT_EQ(after.Digit[9].down, 1);
}

TEST_F(InputControllersTest, OptionsRebindShootToSpace) {
    CGlobalOptions::Instance().controls = ControlsWithKeyboardShoot("39");
    Create();
    EXPECT_EQ(m_controllers.Keyboard()->GetBinding("dwShoot"), 0x39);
    test_input::PressKey(kLeftControl);
    EXPECT_EQ(Tick().Shoot.down, 0);
    test_input::ReleaseKey(kLeftControl);
    test_input::PressKey(kSpace);
    const ControlState& state = Tick();
    EXPECT_EQ(state.Shoot.down, 1);
    EXPECT_EQ(state.Space.down, 1);  // the space key still drives its own action
}

TEST_F(InputControllersTest, BindingNamesAreExactAndUnnamedActionsHaveNone) {
    Create();
    CInputControllerKeyboard& keyboard = *m_controllers.Keyboard();
    EXPECT_EQ(keyboard.GetBinding("dwShoot"), 0x1d);
    EXPECT_EQ(keyboard.GetBinding("dwshoot"), -1);
    EXPECT_EQ(keyboard.GetBinding(""), -1);
    EXPECT_FALSE(keyboard.SetBinding("DWSHOOT", 0x10));
    EXPECT_TRUE(keyboard.SetBinding("dwChangeLaser", 0x10));
    EXPECT_EQ(keyboard.GetBinding("dwChangeLaser"), 0x10);
    EXPECT_EQ(m_controllers.Mouse()->GetBinding("dwShootRocket"), 0x0d);
    EXPECT_EQ(m_controllers.Joystick()->GetBinding("dwChangeRocket"), 0x32);
    keyboard.Clear();
    EXPECT_EQ(keyboard.GetBinding("dwShoot"), -1);
    EXPECT_FALSE(keyboard.SetBinding("dwShoot", 1));
}

TEST_F(InputControllersTest, HeldLeftAltFreezesEveryController) {
    Create();
    win32::PostMessage(m_window.Handle(), win32::WM_SYSKEYDOWN, win32::VK_MENU,
                       1 | (0x38 << 16) | win32::KF_ALTDOWN_BIT);
    PumpMessages();
    test_input::PressKey(kLeftControl);
    test_input::MoveMouse(14, 0);
    const ControlState& frozen = Tick();
    EXPECT_EQ(frozen.Shoot.down, 0);
    EXPECT_FLOAT_EQ(frozen.MouseX, 0.0f);
    win32::PostMessage(m_window.Handle(), win32::WM_SYSKEYUP, win32::VK_MENU,
                       1 | (0x38 << 16) | win32::KF_UP_BIT);
    PumpMessages();
    EXPECT_EQ(Tick().Shoot.down, 1);
}

TEST_F(InputControllersTest, SuppressionSkipsTheControllers) {
    Create();
    test_input::PressKey(kLeftControl);
    m_state.SuppressControlsOnce = 1;
    EXPECT_EQ(Tick().Shoot.down, 0);
    m_state.SuppressControlsOnce = 0;
    m_devices.SetSuppressed(true);
    EXPECT_EQ(Tick().Shoot.down, 0);
    m_devices.SetSuppressed(false);
    EXPECT_EQ(Tick().Shoot.down, 1);
}

TEST_F(InputControllersTest, MouseMotionIsASeventhPerUnit) {
    Create();
    test_input::MoveMouse(14, -7);
    const ControlState& state = Tick();
    EXPECT_NEAR(state.MouseX, 2.0f, 1e-5f);
    EXPECT_NEAR(state.MouseY, -1.0f, 1e-5f);
    test_input::SetMouseButton(0, true);
    const ControlState& clicked = Tick();
    EXPECT_FLOAT_EQ(clicked.MouseX, 0.0f);
    EXPECT_EQ(clicked.MouseShoot.pressed, 1);
    EXPECT_EQ(clicked.MouseShootRocket.down, 0);
}

TEST_F(InputControllersTest, WheelChoosesRocketsAndOrsWithTheKeyboard) {
    Create();
    test_input::MoveMouse(0, 0, -120);
    test_input::PressKey(kZ);
    const ControlState& backwards = Tick();
    EXPECT_EQ(backwards.ChangeRocket.down, 1);
    EXPECT_EQ(backwards.ChangeRocket.pressed, 1);
    EXPECT_EQ(backwards.NextRocket.down, 0);
    test_input::ReleaseKey(kZ);
    test_input::MoveMouse(0, 0, 120);
    const ControlState& forwards = Tick();
    EXPECT_EQ(forwards.NextRocket.down, 1);
    EXPECT_EQ(forwards.NextRocket.pressed, 1);
    EXPECT_EQ(forwards.ChangeRocket.down, 0);
    EXPECT_EQ(forwards.ChangeRocket.released, 1);  // Z let go
}

TEST_F(InputControllersTest, JoystickCountsOnlyWhenTheOptionsActivateIt) {
    test_input::ConnectJoystick(true);
    Create();
    test_input::SetJoystickAxis(0, 32767);
    test_input::SetJoystickButton(2, true);
    const ControlState& off = Tick();
    EXPECT_FLOAT_EQ(off.JoystickX, 0.0f);
    EXPECT_EQ(off.ChangeRocket.down, 0);
    CGlobalOptions::Instance().bActivateJoystick = true;
    const ControlState& on = Tick();
    EXPECT_NEAR(on.JoystickX, 100.0f / 7.0f, 1e-4f);
    EXPECT_EQ(on.ChangeRocket.down, 1);
    EXPECT_EQ(on.JoystickShoot.down, 0);
}

TEST_F(InputControllersTest, BindingsRoundTripThroughTheOptionsControls) {
    CGlobalOptions::Instance().controls = ControlsWithKeyboardShoot("39");
    Create();
    ASSERT_TRUE(m_controllers.Mouse()->SetBinding("dwShoot", 0x0e));
    m_controllers.Destroy();
    const enXml* controls = CGlobalOptions::Instance().controls.get();
    ASSERT_NE(controls, nullptr);
    std::uint32_t value = 0;
    ASSERT_NE(controls->GetChild("Keyboard"), nullptr);
    ASSERT_TRUE(controls->GetChild("Keyboard")->GetValueHex("dwShoot", value));
    EXPECT_EQ(value, 0x39u);
    ASSERT_TRUE(controls->GetChild("Keyboard")->GetValueHex("dwChangeRocket", value));
    EXPECT_EQ(value, 0x2cu);
    ASSERT_TRUE(controls->GetChild("Mouse")->GetValueHex("dwShoot", value));
    EXPECT_EQ(value, 0x0eu);
    ASSERT_NE(controls->GetChild("Joystick"), nullptr);
    // A second start reads back what the first one saved.
    m_controllers.Create(m_devices);
    EXPECT_EQ(m_controllers.Keyboard()->GetBinding("dwShoot"), 0x39);
    EXPECT_EQ(m_controllers.Mouse()->GetBinding("dwShoot"), 0x0e);
    EXPECT_EQ(m_controllers.Joystick()->GetBinding("dwShoot"), 0x30);
}

TEST_F(InputControllersTest, UnboundActionIsSavedAndReadBackAsUnbound) {
    Create();
    ASSERT_TRUE(m_controllers.Keyboard()->SetBinding("dwUp", -1));
    m_controllers.Destroy();
    m_controllers.Create(m_devices);
    EXPECT_EQ(m_controllers.Keyboard()->GetBinding("dwUp"), -1);
    test_input::PressKey(0xc8);
    EXPECT_EQ(Tick().Up.down, 0);
}
