#include "platform/dinput8/object_names.h"

#include <SDL.h>

#include <array>
#include <cstddef>

#include "platform/win32/keyboard_map.h"

namespace dinput8 {

namespace {

std::string KeyName(DWORD dik) {
    if (dik > 0xFF) {
        return {};
    }
    const int scancode = win32::ScancodeFromDik(static_cast<BYTE>(dik));
    return scancode == SDL_SCANCODE_UNKNOWN ? std::string{}
                                            : SDL_GetScancodeName(static_cast<SDL_Scancode>(scancode));
}

std::string MouseObjectName(DWORD offset) {
    constexpr std::array<const char*, 3> kAxes{"X-axis", "Y-axis", "Wheel"};
    if (offset % 4 == 0 && offset / 4 < kAxes.size()) {
        return kAxes[offset / 4];
    }
    constexpr DWORD kFirstButton = offsetof(DIMOUSESTATE2, rgbButtons);
    if (offset >= kFirstButton && offset < sizeof(DIMOUSESTATE2)) {
        return "Button " + std::to_string(offset - kFirstButton);
    }
    return {};
}

std::string JoystickObjectName(DWORD offset) {
    constexpr std::array<const char*, 8> kAxes{"X Axis",     "Y Axis",     "Z Axis", "X Rotation",
                                               "Y Rotation", "Z Rotation", "Slider", "Slider"};
    if (offset % 4 == 0 && offset / 4 < kAxes.size()) {
        return kAxes[offset / 4];
    }
    constexpr DWORD kFirstPov = offsetof(DIJOYSTATE2, rgdwPOV);
    constexpr DWORD kFirstButton = offsetof(DIJOYSTATE2, rgbButtons);
    constexpr DWORD kEndOfButtons = kFirstButton + sizeof(DIJOYSTATE2::rgbButtons);
    if (offset >= kFirstPov && offset < kFirstButton && offset % 4 == 0) {
        return "Hat Switch";
    }
    if (offset >= kFirstButton && offset < kEndOfButtons) {
        return "Button " + std::to_string(offset - kFirstButton);
    }
    return {};
}

}  // namespace

std::string ObjectNameAt(DeviceKind kind, DWORD offset) {
    switch (kind) {
        case DeviceKind::Keyboard:
            return KeyName(offset);
        case DeviceKind::Mouse:
            return MouseObjectName(offset);
        case DeviceKind::Joystick:
            return JoystickObjectName(offset);
    }
    return {};
}

}  // namespace dinput8
