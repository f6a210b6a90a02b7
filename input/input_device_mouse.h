#pragma once
// The system mouse: relative X, Y and wheel motion since the last poll and 8 buttons
// (DIMOUSESTATE2; button codes 12 to 19).

#include "input/input_device.h"

class CInputDeviceMouse : public CInputDevice {
public:
    CInputDeviceMouse(const BYTE& suppressed, DWORD cooperativeLevel);

    bool Init(IDirectInput8A* directInput, HWND window) override;
    std::string CodeName(int code) const override;

    // The mouse moved on any of its three axes at the last poll.
    bool HasMoved() const;

    static constexpr int kFirstButton = 12;
    static constexpr int kButtonCount = 8;

private:
    DWORD m_cooperativeLevel;
};
