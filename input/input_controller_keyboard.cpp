#include "input/input_controller_keyboard.h"

#include <array>

#include "input/input_device.h"

namespace {

// Actions 4 to 10, 14 and 19 (keypad keys, right control, keypad multiply) have rows but drive
// nothing.
constexpr std::array<CInputController::tAction, 36> kKeyboardActions = {{
    {0, 0xcb, "dwLeft"},
    {1, 0xcd, "dwRight"},
    {2, 0xc8, "dwUp"},
    {3, 0xd0, "dwDown"},
    {4, 0x4b, ""},
    {5, 0x4d, ""},
    {6, 0x48, ""},
    {7, 0x50, ""},
    {8, 0x47, ""},
    {9, 0x49, ""},
    {10, 0x4c, ""},
    {11, 0x1d, "dwShoot"},
    {12, 0x39, "dwShootRocket"},
    {13, 0x0f, ""},
    {14, 0x9d, ""},
    {15, 0x2a, ""},
    {16, 0x36, ""},
    {17, 0x39, ""},
    {18, 0x1c, ""},
    {19, 0x37, ""},
    {20, 0xc5, ""},
    {21, 0x01, ""},
    {22, 0x58, ""},
    {23, 0x57, ""},
    {24, 0x02, ""},
    {25, 0x03, ""},
    {26, 0x04, ""},
    {27, 0x05, ""},
    {28, 0x06, ""},
    {29, 0x07, ""},
    {30, 0x08, ""},
    {31, 0x09, ""},
    {32, 0x0a, ""},
    {33, 0x0b, ""},
    {34, 0x2d, "dwChangeLaser"},
    {35, 0x2c, "dwChangeRocket"},
}};

constexpr int kFirstDigitAction = 24;
constexpr int kDigitCount = 10;

}  // namespace

CInputControllerKeyboard::CInputControllerKeyboard(CInputDevice* keyboard)
    : CInputController(keyboard, kKeyboardActions, kActionCount) {}

ButtonState* CInputControllerKeyboard::Target(ControlState& state, int action) {
    if (action >= kFirstDigitAction && action < kFirstDigitAction + kDigitCount) {
        return &state.Digit[action - kFirstDigitAction];
    }
    switch (action) {
        case 0:
            return &state.Left;
        case 1:
            return &state.Right;
        case 2:
            return &state.Up;
        case 3:
            return &state.Down;
        case 11:
            return &state.Shoot;
        case 12:
            return &state.ShootRocket;
        case 13:
            return &state.Tab;
        case 15:
            return &state.LeftShift;
        case 16:
            return &state.RightShift;
        case 17:
            return &state.Space;
        case 18:
            return &state.Return;
        case 20:
            return &state.Pause;
        case 21:
            return &state.Escape;
        case 22:
            return &state.F12;
        case 23:
            return &state.F11;
        case 34:
            return &state.ChangeLaser;
        case 35:
            return &state.ChangeRocket;
        default:
            return nullptr;
    }
}

void CInputControllerKeyboard::ApplyAction(ControlState& state, int action, std::int32_t code) const {
    if (ButtonState* target = Target(state, action)) {
        ApplyButton(code, *target);
    }
}
