#pragma once
// Joystick bindings: the X and Y axes and three buttons; active only when the options turn the
// joystick on.

#include "input/input_controller.h"

class CInputControllerJoystick : public CInputController {
public:
    static constexpr int kActionCount = 5;

    explicit CInputControllerJoystick(CInputDevice* joystick);
    void Update(ControlState& state) override;
};
