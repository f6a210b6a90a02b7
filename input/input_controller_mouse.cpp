#include "input/input_controller_mouse.h"

#include <array>

#include "input/input_device.h"

namespace {

enum eMouseAction { kMouseX, kMouseY, kMouseShoot, kMouseShootRocket, kMouseWheel };

constexpr std::array<CInputController::tAction, 5> kMouseActions = {{
    {kMouseX, 0, ""},
    {kMouseY, 4, ""},
    {kMouseShoot, 0x0c, "dwShoot"},
    {kMouseShootRocket, 0x0d, "dwShootRocket"},
    {kMouseWheel, 8, ""},
}};

void PressOnce(ButtonState& button) {
    button.down = 1;
    button.pressed = 1;
}

}  // namespace

CInputControllerMouse::CInputControllerMouse(CInputDevice* mouse)
    : CInputController(mouse, kMouseActions, kActionCount) {}

void CInputControllerMouse::ApplyAction(ControlState& state, int action, std::int32_t code) const {
    switch (action) {
        case kMouseX:
            state.MouseX += ScaledAxis(code);
            break;
        case kMouseY:
            state.MouseY += ScaledAxis(code);
            break;
        case kMouseShoot:
            ApplyButton(code, state.MouseShoot);
            break;
        case kMouseShootRocket:
            ApplyButton(code, state.MouseShootRocket);
            break;
        case kMouseWheel: {
            // Forwards picks the next rocket, backwards changes the rocket kind.
            const float wheel = ScaledAxis(code);
            if (wheel > 0.0f) {
                PressOnce(state.NextRocket);
            } else if (wheel < 0.0f) {
                PressOnce(state.ChangeRocket);
            }
            break;
        }
        default:
            break;
    }
}
