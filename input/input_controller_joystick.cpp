#include "input/input_controller_joystick.h"

#include <array>

#include "engine/global_options.h"
#include "input/input_device.h"

namespace {

enum eJoystickAction { kJoystickX, kJoystickY, kJoystickShoot, kJoystickShootRocket, kJoystickChangeRocket };

constexpr std::array<CInputController::tAction, 5> kJoystickActions = {{
    {kJoystickX, 0, ""},
    {kJoystickY, 4, ""},
    {kJoystickShoot, 0x30, "dwShoot"},
    {kJoystickShootRocket, 0x31, "dwShootRocket"},
    {kJoystickChangeRocket, 0x32, "dwChangeRocket"},
}};

}  // namespace

CInputControllerJoystick::CInputControllerJoystick(CInputDevice* joystick)
    : CInputController(joystick, kJoystickActions, kActionCount) {}

bool CInputControllerJoystick::IsActive() const {
    return CGlobalOptions::Instance().bActivateJoystick;
}

void CInputControllerJoystick::ApplyAction(ControlState& state, int action, std::int32_t code) const {
    switch (action) {
        case kJoystickX:
            state.JoystickX += ScaledAxis(code);
            break;
        case kJoystickY:
            state.JoystickY += ScaledAxis(code);
            break;
        case kJoystickShoot:
            ApplyButton(code, state.JoystickShoot);
            break;
        case kJoystickShootRocket:
            ApplyButton(code, state.JoystickShootRocket);
            break;
        case kJoystickChangeRocket:
            ApplyButton(code, state.ChangeRocket);
            break;
        default:
            break;
    }
}
