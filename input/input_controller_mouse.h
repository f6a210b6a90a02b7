#pragma once
// Mouse bindings: the X and Y motion, two fire buttons and the wheel choosing rockets.

#include "input/input_controller.h"

class CInputControllerMouse : public CInputController {
public:
    static constexpr int kActionCount = 5;

    explicit CInputControllerMouse(CInputDevice* mouse);

protected:
    void ApplyAction(ControlState& state, int action, std::int32_t code) const override;
};
