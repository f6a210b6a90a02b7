// The DirectInput stand-in on headless devices fed by the test input.

#include <gtest/gtest.h>

#include <string>

#include "platform/dinput8/axis_scaling.h"
#include "platform/dinput8/dinput.h"
#include "platform/dinput8/test_input.h"
#include "platform/win32/window.h"
#include "tests/support/headless_window.h"

using dinput8::AxisRange;
using dinput8::ScaleAxis;
namespace test_input = dinput8::test;

namespace {

template <class Property>
Property PropertyFor(DWORD how = DIPH_DEVICE, DWORD object = 0) {
    Property property;
    property.diph.dwSize = sizeof property;
    property.diph.dwHeaderSize = sizeof property.diph;
    property.diph.dwHow = how;
    property.diph.dwObj = object;
    return property;
}

DIPROPDWORD DwordProperty(DWORD value) {
    auto property = PropertyFor<DIPROPDWORD>();
    property.dwData = value;
    return property;
}

class DirectInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_window.Handle(), nullptr);
        void* created = nullptr;
        ASSERT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created, nullptr),
                  DI_OK);
        m_input = static_cast<IDirectInput8A*>(created);
    }
    void TearDown() override {
        for (IDirectInputDevice8A* device : m_devices) {
            device->Release();
        }
        if (m_input) {
            m_input->Release();
        }
    }
    IDirectInputDevice8A* Device(REFGUID guid, const DIDATAFORMAT& format, DWORD level) {
        IDirectInputDevice8A* device = nullptr;
        EXPECT_EQ(m_input->CreateDevice(guid, &device, nullptr), DI_OK);
        if (!device) {
            return nullptr;
        }
        m_devices.push_back(device);
        EXPECT_EQ(device->SetDataFormat(&format), DI_OK);
        EXPECT_EQ(device->SetCooperativeLevel(m_window.Handle(), level), DI_OK);
        return device;
    }

    zumbo::test::HeadlessWindow m_window;
    IDirectInput8A* m_input = nullptr;
    std::vector<IDirectInputDevice8A*> m_devices;
};

}  // namespace

TEST(DirectInputCreateTest, RefusesOtherInterfacesAndOldVersions) {
    void* created = reinterpret_cast<void*>(1);
    EXPECT_EQ(DirectInput8Create(nullptr, 0x0700, IID_IDirectInput8A, &created, nullptr),
              DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(created, nullptr);
    EXPECT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, GUID_SysMouse, &created, nullptr),
              DIERR_NOINTERFACE);
    EXPECT_EQ(DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, nullptr, nullptr),
              DIERR_INVALIDPARAM);
}

TEST_F(DirectInputTest, KeyboardReportsInjectedKeysOnceAcquired) {
    IDirectInputDevice8A* keyboard =
        Device(GUID_SysKeyboard, c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), DI_NOEFFECT);

    test_input::PressKey(0x39);
    ASSERT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[0x39], 0x80);
    EXPECT_EQ(keys[0x1C], 0);
    test_input::ReleaseKey(0x39);
    ASSERT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[0x39], 0);

    EXPECT_EQ(keyboard->GetDeviceState(100, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, nullptr), DIERR_INVALIDPARAM);
}

TEST_F(DirectInputTest, FormatsAndCooperativeLevelsAreChecked) {
    IDirectInputDevice8A* keyboard = nullptr;
    ASSERT_EQ(m_input->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr), DI_OK);
    m_devices.push_back(keyboard);
    EXPECT_EQ(keyboard->Acquire(), DIERR_INVALIDPARAM);  // no data format yet
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIMouse2), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(m_window.Handle(),
                                            DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(m_window.Handle(), DISCL_NONEXCLUSIVE), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND),
              DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard->SetCooperativeLevel(nullptr, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(keyboard->Acquire(), DI_OK);
    EXPECT_EQ(keyboard->SetDataFormat(&c_dfDIKeyboard), DIERR_ACQUIRED);

    IDirectInputDevice8A* unknown = reinterpret_cast<IDirectInputDevice8A*>(1);
    EXPECT_EQ(m_input->CreateDevice(IID_IDirectInput8A, &unknown, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(unknown, nullptr);
}

TEST_F(DirectInputTest, ForegroundDeviceLosesInputWhenItsWindowGoes) {
    IDirectInputDevice8A* keyboard =
        Device(GUID_SysKeyboard, c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    win32::DestroyWindow(m_window.Handle());
    BYTE keys[256];
    EXPECT_EQ(keyboard->GetDeviceState(sizeof keys, keys), DIERR_INPUTLOST);
    EXPECT_EQ(keyboard->Acquire(), DIERR_OTHERAPPHASPRIO);
}

TEST_F(DirectInputTest, MouseMotionAddsUpBetweenReads) {
    IDirectInputDevice8A* mouse = Device(GUID_SysMouse, c_dfDIMouse2, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    test_input::MoveMouse(50, 50);  // before acquisition: not counted
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    test_input::MoveMouse(3, -2);
    test_input::MoveMouse(4, 1, 120);
    test_input::SetMouseButton(1, true);
    DIMOUSESTATE2 state;
    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 7);
    EXPECT_EQ(state.lY, -1);
    EXPECT_EQ(state.lZ, 120);
    EXPECT_EQ(state.rgbButtons[0], 0);
    EXPECT_EQ(state.rgbButtons[1], 0x80);

    ASSERT_EQ(mouse->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 0);
    EXPECT_EQ(state.lZ, 0);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
}

TEST_F(DirectInputTest, MouseInAbsoluteModeReportsRunningTotals) {
    IDirectInputDevice8A* mouse = Device(GUID_SysMouse, c_dfDIMouse2, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    const DIPROPDWORD absolute = DwordProperty(DIPROPAXISMODE_ABS);
    ASSERT_EQ(mouse->SetProperty(DIPROP_AXISMODE, &absolute.diph), DI_OK);
    ASSERT_EQ(mouse->Acquire(), DI_OK);
    DIMOUSESTATE2 state;
    test_input::MoveMouse(5, 0);
    mouse->GetDeviceState(sizeof state, &state);
    test_input::MoveMouse(5, 2);
    mouse->GetDeviceState(sizeof state, &state);
    EXPECT_EQ(state.lX, 10);
    EXPECT_EQ(state.lY, 2);
}

TEST_F(DirectInputTest, PropertiesAreValidated) {
    IDirectInputDevice8A* mouse = Device(GUID_SysMouse, c_dfDIMouse2, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    const DIPROPDWORD deadZone = DwordProperty(1500);
    EXPECT_EQ(mouse->SetProperty(DIPROP_DEADZONE, &deadZone.diph), DIERR_UNSUPPORTED);
    DIPROPDWORD badHeader = DwordProperty(DIPROPAXISMODE_REL);
    badHeader.diph.dwSize = 4;
    EXPECT_EQ(mouse->SetProperty(DIPROP_AXISMODE, &badHeader.diph), DIERR_INVALIDPARAM);
    EXPECT_EQ(mouse->SetProperty(DIPROP_AXISMODE, nullptr), DIERR_INVALIDPARAM);
    const DIPROPDWORD badMode = DwordProperty(7);
    EXPECT_EQ(mouse->SetProperty(DIPROP_AXISMODE, &badMode.diph), DIERR_INVALIDPARAM);
}

TEST_F(DirectInputTest, KeyNamesAreReadByOffset) {
    IDirectInputDevice8A* keyboard =
        Device(GUID_SysKeyboard, c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    IDirectInputDevice8A* mouse = Device(GUID_SysMouse, c_dfDIMouse2, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    auto name = PropertyFor<DIPROPSTRING>(DIPH_BYOFFSET, 0x1E);
    ASSERT_EQ(keyboard->GetProperty(DIPROP_KEYNAME, &name.diph), DI_OK);
    EXPECT_EQ(std::u16string(name.wsz), u"A");
    name.diph.dwObj = 0x00;
    EXPECT_EQ(keyboard->GetProperty(DIPROP_KEYNAME, &name.diph), DIERR_OBJECTNOTFOUND);
    name.diph.dwObj = 12 + 2;
    ASSERT_EQ(mouse->GetProperty(DIPROP_KEYNAME, &name.diph), DI_OK);
    EXPECT_EQ(std::u16string(name.wsz), u"Button 2");
    name.diph.dwObj = 20;
    EXPECT_EQ(mouse->GetProperty(DIPROP_KEYNAME, &name.diph), DIERR_OBJECTNOTFOUND);
    name.diph.dwHow = DIPH_DEVICE;
    EXPECT_EQ(mouse->GetProperty(DIPROP_KEYNAME, &name.diph), DIERR_INVALIDPARAM);
}

TEST_F(DirectInputTest, JoystickExistsOnlyWhenConnected) {
    IDirectInputDevice8A* joystick = reinterpret_cast<IDirectInputDevice8A*>(1);
    EXPECT_EQ(m_input->CreateDevice(GUID_Joystick, &joystick, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(joystick, nullptr);
}

TEST_F(DirectInputTest, JoystickScalesItsAxesAndReportsButtons) {
    test_input::ConnectJoystick(true);
    IDirectInputDevice8A* joystick =
        Device(GUID_Joystick, c_dfDIJoystick2, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    auto range = PropertyFor<DIPROPRANGE>();
    range.lMin = -100;
    range.lMax = 100;
    ASSERT_EQ(joystick->SetProperty(DIPROP_RANGE, &range.diph), DI_OK);
    const DIPROPDWORD deadZone = DwordProperty(1500);
    const DIPROPDWORD saturation = DwordProperty(8000);
    ASSERT_EQ(joystick->SetProperty(DIPROP_DEADZONE, &deadZone.diph), DI_OK);
    ASSERT_EQ(joystick->SetProperty(DIPROP_SATURATION, &saturation.diph), DI_OK);
    const DIPROPDWORD tooMuch = DwordProperty(10001);
    EXPECT_EQ(joystick->SetProperty(DIPROP_SATURATION, &tooMuch.diph), DIERR_INVALIDPARAM);
    range.lMin = 100;
    EXPECT_EQ(joystick->SetProperty(DIPROP_RANGE, &range.diph), DIERR_INVALIDPARAM);

    ASSERT_EQ(joystick->Acquire(), DI_OK);
    test_input::SetJoystickAxis(0, 32767);
    test_input::SetJoystickAxis(1, -3000);
    test_input::SetJoystickButton(2, true);
    DIJOYSTATE2 state;
    ASSERT_EQ(joystick->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 100);
    EXPECT_EQ(state.lY, 0);
    EXPECT_EQ(state.rgbButtons[2], 0x80);
    EXPECT_EQ(state.rgdwPOV[0], 0xFFFFFFFFu);

    test_input::ConnectJoystick(false);
    EXPECT_EQ(joystick->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
}

TEST(AxisScalingTest, DeadZoneAndSaturationShapeTheJoystickRange) {
    const AxisRange joystick{-100, 100, 1500, 8000};
    EXPECT_EQ(ScaleAxis(0, -10000, 10000, joystick), 0);
    EXPECT_EQ(ScaleAxis(1500, -10000, 10000, joystick), 0);  // edge of the dead zone
    EXPECT_EQ(ScaleAxis(-1500, -10000, 10000, joystick), 0);
    EXPECT_EQ(ScaleAxis(8000, -10000, 10000, joystick), 100);  // saturation reached
    EXPECT_EQ(ScaleAxis(9000, -10000, 10000, joystick), 100);
    EXPECT_EQ(ScaleAxis(-10000, -10000, 10000, joystick), -100);
    EXPECT_EQ(ScaleAxis(4750, -10000, 10000, joystick), 50);  // half way from 15 % to 80 %
    EXPECT_EQ(ScaleAxis(-4750, -10000, 10000, joystick), -50);
    EXPECT_EQ(ScaleAxis(20000, -10000, 10000, joystick), 100);  // beyond the end
}

TEST(AxisScalingTest, PlainRangeIsLinearAndDegenerateInputIsSafe) {
    const AxisRange plain{0, 65535, 0, 10000};
    EXPECT_EQ(ScaleAxis(-32768, -32768, 32767, plain), 0);
    EXPECT_EQ(ScaleAxis(32767, -32768, 32767, plain), 65535);
    EXPECT_NEAR(ScaleAxis(0, -32768, 32767, plain), 32768, 1);
    const AxisRange allDead{-100, 100, 10000, 10000};
    EXPECT_EQ(ScaleAxis(32767, -32768, 32767, allDead), 0);
    const AxisRange saturationBelowDeadZone{-100, 100, 5000, 1000};
    EXPECT_EQ(ScaleAxis(6000, -10000, 10000, saturationBelowDeadZone), 100);
    EXPECT_EQ(ScaleAxis(4000, -10000, 10000, saturationBelowDeadZone), 0);
    EXPECT_EQ(ScaleAxis(5, 10, 10, plain), 0);
}
