#include "input/input_device_joystick.h"

#include "input/button_name.h"

CInputDeviceJoystick::CInputDeviceJoystick(const BYTE& suppressed)
    : CInputDevice(suppressed, sizeof(DIJOYSTATE2), kFirstButton, kButtonCount) {}

bool CInputDeviceJoystick::Init(IDirectInput8A* directInput, HWND window) {
    if (!CreateDevice(directInput, GUID_Joystick, c_dfDIJoystick2, window,
                      DISCL_EXCLUSIVE | DISCL_FOREGROUND)) {
        return false;
    }
    const bool configured = SetWholeDeviceProperty(DIPROP_AXISMODE, DIPROPAXISMODE_ABS) && SetAxisRange() &&
                            SetWholeDeviceProperty(DIPROP_DEADZONE, kDeadZone) &&
                            SetWholeDeviceProperty(DIPROP_SATURATION, kSaturation);
    if (!configured) {
        Release();
    }
    return configured;
}

bool CInputDeviceJoystick::SetAxisRange() {
    DIPROPRANGE range;
    range.diph.dwSize = sizeof range;
    range.diph.dwHeaderSize = sizeof range.diph;
    range.diph.dwHow = DIPH_DEVICE;
    range.lMin = kAxisMin;
    range.lMax = kAxisMax;
    return SUCCEEDED(m_device->SetProperty(DIPROP_RANGE, &range.diph));
}

std::string CInputDeviceJoystick::CodeName(int code) const {
    return ButtonCodeName(code - (kFirstButton - 1));
}
