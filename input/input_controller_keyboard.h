#pragma once
// Keyboard bindings: arrows, fire keys, navigation keys and digits, by DirectInput key code.

#include "input/input_controller.h"

class CInputControllerKeyboard : public CInputController {
public:
    static constexpr int kActionCount = 36;

    explicit CInputControllerKeyboard(CInputDevice* keyboard);

protected:
    void ApplyAction(ControlState& state, int action, std::int32_t code) const override;

private:
    // The button an action drives; null for the rows that drive nothing.
    static ButtonState* Target(ControlState& state, int action);
};
