#pragma once
// Joystick bindings: the X and Y axes and three buttons; active only when the options turn the
// joystick on.

#include "input/input_controller.h"

class CInputControllerJoystick : public CInputController {
public:
    static constexpr int kActionCount = 5;

    explicit CInputControllerJoystick(CInputDevice* joystick);

protected:
    void ApplyAction(ControlState& state, int action, std::int32_t code) const override;
    bool IsActive() const override;
};
