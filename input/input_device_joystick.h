#pragma once
// The first joystick: axes from -100 to 100 with a 15 % dead zone and saturation at 80 %, and
// 128 buttons (DIJOYSTATE2; button codes 48 to 175).

#include "input/input_device.h"

class CInputDeviceJoystick : public CInputDevice {
public:
    explicit CInputDeviceJoystick(const BYTE& suppressed);

    bool Init(IDirectInput8A* directInput, HWND window) override;
    std::string CodeName(int code) const override;

    static constexpr int kFirstButton = 48;
    static constexpr int kButtonCount = 128;
    static constexpr LONG kAxisMin = -100;
    static constexpr LONG kAxisMax = 100;
    static constexpr DWORD kDeadZone = 1500;
    static constexpr DWORD kSaturation = 8000;

private:
    bool SetAxisRange();
};
