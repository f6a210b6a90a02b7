// The engine's input devices over headless DirectInput devices fed by the test input.

#include <gtest/gtest.h>

#include "app/debug_log.h"
#include "input/button_name.h"
#include "input/input_devices.h"
#include "platform/dinput8/test_input.h"
#include "tests/support/headless_window.h"
#include "tests/support/temp_dir.h"

namespace test_input = dinput8::test;

namespace {

constexpr int kSpace = 0x39;
constexpr int kEscape = 0x01;

class InputDevicesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_window.Handle(), nullptr);
        // Translating button names reads the translation table, which logs what it misses.
        CDebugLog::Instance().SetFolder(m_logs.WindowsPath());
    }
    void TearDown() override { m_devices.Destroy(); }
    void Create() { ASSERT_EQ(m_devices.Create(m_window.Handle()), S_OK); }
    CInputDeviceKeyboard& Keyboard() { return *m_devices.Keyboard(); }
    CInputDeviceMouse& Mouse() { return *m_devices.Mouse(); }
    CInputDeviceJoystick& Joystick() { return *m_devices.Joystick(); }

    zumbo::test::TempDir m_logs;
    zumbo::test::HeadlessWindow m_window;
    CInputDevices m_devices;
};

}  // namespace

TEST_F(InputDevicesTest, HeldKeyIsPressedInItsFirstTickOnlyAndReleasedAfter) {
    Create();
    m_devices.Poll();  // the first read acquires and finds nothing down
    test_input::PressKey(kSpace);
    m_devices.Poll();
    EXPECT_TRUE(Keyboard().IsDown(kSpace));
    EXPECT_TRUE(Keyboard().WasPressed(kSpace));
    EXPECT_EQ(Keyboard().FirstNewPress(), kSpace);
    m_devices.Poll();
    EXPECT_TRUE(Keyboard().IsDown(kSpace));
    EXPECT_FALSE(Keyboard().WasPressed(kSpace));
    EXPECT_EQ(Keyboard().FirstNewPress(), -1);
    test_input::ReleaseKey(kSpace);
    m_devices.Poll();
    EXPECT_FALSE(Keyboard().IsDown(kSpace));
    EXPECT_TRUE(Keyboard().WasReleased(kSpace));
    m_devices.Poll();
    EXPECT_FALSE(Keyboard().WasReleased(kSpace));
}

TEST_F(InputDevicesTest, FirstNewPressTakesTheLowestCode) {
    Create();
    m_devices.Poll();
    test_input::PressKey(kSpace);
    test_input::PressKey(kEscape);
    m_devices.Poll();
    EXPECT_EQ(Keyboard().FirstNewPress(), kEscape);
}

TEST_F(InputDevicesTest, ConsumedEdgeIsNoLongerAPress) {
    Create();
    m_devices.Poll();
    test_input::PressKey(kSpace);
    m_devices.Poll();
    Keyboard().ConsumeEdge(kSpace);
    EXPECT_FALSE(Keyboard().WasPressed(kSpace));
    EXPECT_TRUE(Keyboard().IsDown(kSpace));
    Keyboard().ConsumeEdge(-1);
    Keyboard().ConsumeEdge(256);
}

TEST_F(InputDevicesTest, SuppressionSilencesQueriesButNotTheRawScan) {
    Create();
    m_devices.Poll();
    test_input::PressKey(kSpace);
    test_input::SetMouseButton(0, true);
    test_input::MoveMouse(3, 0);
    m_devices.Poll();
    m_devices.SetSuppressed(true);
    EXPECT_FALSE(Keyboard().IsDown(kSpace));
    EXPECT_FALSE(Keyboard().WasPressed(kSpace));
    EXPECT_FALSE(Mouse().AnyButtonPressed());
    EXPECT_FALSE(Mouse().HasMoved());
    EXPECT_EQ(Keyboard().FirstNewPress(), kSpace);
    EXPECT_EQ(Mouse().FirstNewPress(), CInputDeviceMouse::kFirstButton);
    EXPECT_FALSE(m_devices.AnyNewPressOrMouseMotion());

    // A key message counts even while suppressed.
    m_devices.NoteKeyMessage();
    EXPECT_TRUE(m_devices.AnyNewPress());
    m_devices.SetSuppressed(false);
    EXPECT_TRUE(Keyboard().IsDown(kSpace));
}

TEST_F(InputDevicesTest, KeyMessagesAndTypedTextLastOneTick) {
    Create();
    EXPECT_FALSE(m_devices.AnyNewPress());
    m_devices.NoteKeyMessage();
    m_devices.AppendTypedCharacter('a');
    m_devices.AppendTypedCharacter(0x108);  // only the low byte is kept
    m_devices.AppendTypedCharacter(8);
    EXPECT_TRUE(Keyboard().KeyMessageSeen());
    EXPECT_EQ(Keyboard().TypedText(), std::string("a\x08\x08"));
    EXPECT_TRUE(m_devices.AnyNewPress());
    m_devices.EndTick();
    EXPECT_TRUE(Keyboard().TypedText().empty());
    EXPECT_FALSE(m_devices.AnyNewPress());
}

TEST_F(InputDevicesTest, MouseMotionAccumulatesUntilThePoll) {
    Create();
    m_devices.Poll();
    EXPECT_FALSE(m_devices.AnyNewPressOrMouseMotion());
    test_input::MoveMouse(10, 0);
    test_input::MoveMouse(4, -3, -120);
    m_devices.Poll();
    EXPECT_EQ(Mouse().AxisValue(0), 14);
    EXPECT_EQ(Mouse().AxisValue(4), -3);
    EXPECT_EQ(Mouse().AxisValue(8), -120);
    EXPECT_EQ(Mouse().AxisValue(2), 14);  // codes round down to the axis
    EXPECT_EQ(Mouse().AxisValue(20), 0);  // outside the record
    EXPECT_EQ(Mouse().AxisValue(-4), 0);
    EXPECT_TRUE(Mouse().HasMoved());
    EXPECT_TRUE(m_devices.AnyNewPressOrMouseMotion());
    m_devices.Poll();
    EXPECT_FALSE(Mouse().HasMoved());
}

TEST_F(InputDevicesTest, MouseWheelAloneCountsAsMotion) {
    Create();
    m_devices.Poll();
    test_input::MoveMouse(0, 0, 120);
    m_devices.Poll();
    EXPECT_TRUE(m_devices.AnyNewPressOrMouseMotion());
}

TEST_F(InputDevicesTest, MouseButtonsUseIndexForQueriesAndOffsetForCodes) {
    Create();
    m_devices.Poll();
    test_input::SetMouseButton(0, true);
    m_devices.Poll();
    EXPECT_TRUE(Mouse().IsDown(0));
    EXPECT_TRUE(Mouse().WasPressed(0));
    EXPECT_FALSE(Mouse().IsDown(8));
    EXPECT_EQ(Mouse().FirstNewPress(), 12);
    EXPECT_TRUE(m_devices.AnyNewPress());
    EXPECT_EQ(Mouse().CodeName(12), "Button 1");
    EXPECT_EQ(Mouse().ObjectName(0), "Button 0");
}

TEST_F(InputDevicesTest, WithoutJoystickEveryJoystickQueryIsIdle) {
    Create();
    EXPECT_FALSE(Joystick().HasDevice());
    m_devices.Poll();
    EXPECT_FALSE(Joystick().IsDown(0));
    EXPECT_FALSE(Joystick().AnyButtonPressed());
    EXPECT_EQ(Joystick().FirstNewPress(), -1);
    EXPECT_EQ(Joystick().AxisValue(0), 0);
    EXPECT_EQ(Joystick().ObjectName(0), "");
}

TEST_F(InputDevicesTest, JoystickAxesUseTheDeadZoneAndSaturation) {
    test_input::ConnectJoystick(true);
    Create();
    ASSERT_TRUE(Joystick().HasDevice());
    test_input::SetJoystickAxis(0, 4000);    // 12 % of the way: dead
    test_input::SetJoystickAxis(1, -30000);  // 92 %: saturated
    test_input::SetJoystickAxis(2, 15564);   // 47.5 %: half way through the live zone
    test_input::SetJoystickButton(1, true);
    m_devices.Poll();
    EXPECT_EQ(Joystick().AxisValue(0), 0);
    EXPECT_EQ(Joystick().AxisValue(4), -100);
    EXPECT_EQ(Joystick().AxisValue(8), 50);
    EXPECT_TRUE(Joystick().WasPressed(1));
    EXPECT_EQ(Joystick().FirstNewPress(), 49);
    EXPECT_EQ(Joystick().CodeName(49), "Button 2");
    EXPECT_TRUE(m_devices.AnyNewPress());
}

TEST_F(InputDevicesTest, UnpluggedJoystickReadsAsEverythingUp) {
    test_input::ConnectJoystick(true);
    Create();
    test_input::SetJoystickButton(0, true);
    m_devices.Poll();
    EXPECT_TRUE(Joystick().IsDown(0));
    test_input::ConnectJoystick(false);
    m_devices.Poll();
    EXPECT_FALSE(Joystick().IsDown(0));
    EXPECT_TRUE(Joystick().WasReleased(0));
}

TEST_F(InputDevicesTest, KeyNamesFallBackToTheCode) {
    Create();
    EXPECT_EQ(Keyboard().ObjectName(0x1E), "A");
    EXPECT_EQ(Keyboard().CodeName(0x39), "Space");
    EXPECT_EQ(Keyboard().ObjectName(0x00), "0");  // no such key
}

TEST_F(InputDevicesTest, DevicesCreatedWithoutAWindowStayIdle) {
    ASSERT_EQ(m_devices.Create(nullptr), S_OK);
    EXPECT_FALSE(Keyboard().HasDevice());
    EXPECT_FALSE(Mouse().HasDevice());
    test_input::PressKey(kSpace);
    m_devices.Poll();
    EXPECT_FALSE(Keyboard().IsDown(kSpace));
    EXPECT_EQ(Keyboard().FirstNewPress(), -1);
}

TEST(ButtonNameTest, FillsOnlyTheFirstNumberDirective) {
    EXPECT_EQ(FormatButtonName("Button %d", 3), "Button 3");
    EXPECT_EQ(FormatButtonName("Taste %d (%d)", 3), "Taste 3 (%d)");
    EXPECT_EQ(FormatButtonName("100%% %s %d", 2), "100% %s 2");
    EXPECT_EQ(FormatButtonName("Knopf", 2), "Knopf");
    EXPECT_EQ(FormatButtonName("%", 2), "%");
}
