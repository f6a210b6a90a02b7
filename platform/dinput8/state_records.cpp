// DirectInput's state records filled from raw readings.

#include <algorithm>
#include <cstring>

#include "platform/dinput8/device_source.h"

namespace dinput8 {

namespace {
constexpr BYTE kDown = 0x80;
constexpr DWORD kPovCentred = 0xFFFFFFFFu;
constexpr int kHatUp = 1;
constexpr int kHatRight = 2;
constexpr int kHatDown = 4;
constexpr int kHatLeft = 8;

// Hundredths of a degree clockwise from north.
DWORD PovOfHat(int hat) {
    switch (hat) {
        case kHatUp:
            return 0;
        case kHatUp | kHatRight:
            return 4500;
        case kHatRight:
            return 9000;
        case kHatDown | kHatRight:
            return 13500;
        case kHatDown:
            return 18000;
        case kHatDown | kHatLeft:
            return 22500;
        case kHatLeft:
            return 27000;
        case kHatUp | kHatLeft:
            return 31500;
        default:
            return kPovCentred;
    }
}

template <class Record>
void CopyOut(std::span<BYTE> record, const Record& state) {
    std::memcpy(record.data(), &state, std::min(record.size(), sizeof state));
}
}  // namespace

void MouseMotion::Fill(DIMOUSESTATE2& state, std::array<LONG, 3> moved, bool relative) {
    for (std::size_t axis = 0; axis < moved.size(); ++axis) {
        m_totals[axis] += moved[axis];
    }
    const std::array<LONG, 3>& reported = relative ? moved : m_totals;
    state.lX = reported[0];
    state.lY = reported[1];
    state.lZ = reported[2];
}

void FillMouseRecord(std::span<BYTE> record, MouseMotion& motion, std::array<LONG, 3> moved, bool relative,
                     const std::array<bool, 8>& buttonsDown) {
    DIMOUSESTATE2 state{};
    motion.Fill(state, moved, relative);
    for (std::size_t button = 0; button < buttonsDown.size(); ++button) {
        state.rgbButtons[button] = buttonsDown[button] ? kDown : 0;
    }
    CopyOut(record, state);
}

void FillKeyboardRecord(std::span<BYTE> record, const std::array<bool, 256>& keysDown) {
    const std::size_t count = std::min(record.size(), keysDown.size());
    for (std::size_t key = 0; key < count; ++key) {
        record[key] = keysDown[key] ? kDown : 0;
    }
}

void FillJoystickRecord(std::span<BYTE> record, const RawJoystick& joystick, const AxisRange& range) {
    DIJOYSTATE2 state{};
    LONG* axes[RawJoystick::kAxes] = {&state.lX,  &state.lY,  &state.lZ,           &state.lRx,
                                      &state.lRy, &state.lRz, &state.rglSlider[0], &state.rglSlider[1]};
    for (int axis = 0; axis < RawJoystick::kAxes; ++axis) {
        *axes[axis] = ScaleAxis(joystick.axes[axis], RawJoystick::kRawMin, RawJoystick::kRawMax, range);
    }
    for (int hat = 0; hat < RawJoystick::kHats; ++hat) {
        state.rgdwPOV[hat] = PovOfHat(joystick.hats[hat]);
    }
    for (int button = 0; button < RawJoystick::kButtons; ++button) {
        state.rgbButtons[button] = joystick.buttons[button] ? kDown : 0;
    }
    CopyOut(record, state);
}

}  // namespace dinput8
