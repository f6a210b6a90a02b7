#pragma once
// Mouse bindings: the X and Y motion, two fire buttons and the wheel choosing rockets.

#include "input/input_controller.h"

class CInputControllerMouse : public CInputController {
public:
    static constexpr int kActionCount = 5;

    explicit CInputControllerMouse(CInputDevice* mouse);
    void Update(ControlState& state) override;
};
