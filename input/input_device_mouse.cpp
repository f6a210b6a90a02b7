#include "input/input_device_mouse.h"

#include "input/button_name.h"

namespace {
constexpr int kAxisCodes[] = {0, 4, 8};
}  // namespace

CInputDeviceMouse::CInputDeviceMouse(const BYTE& suppressed, DWORD cooperativeLevel)
    : CInputDevice(suppressed, sizeof(DIMOUSESTATE2), kFirstButton, kButtonCount),
      m_cooperativeLevel(cooperativeLevel) {}

bool CInputDeviceMouse::Init(IDirectInput8A* directInput, HWND window) {
    if (!CreateDevice(directInput, GUID_SysMouse, c_dfDIMouse2, window, m_cooperativeLevel)) {
        return false;
    }
    if (!SetWholeDeviceProperty(DIPROP_AXISMODE, DIPROPAXISMODE_REL)) {
        Release();
        return false;
    }
    return true;
}

std::string CInputDeviceMouse::CodeName(int code) const {
    return ButtonCodeName(code - (kFirstButton - 1));
}

bool CInputDeviceMouse::HasMoved() const {
    if (Suppressed()) {
        return false;
    }
    for (int code : kAxisCodes) {
        if (AxisValue(code) != 0) {
            return true;
        }
    }
    return false;
}
