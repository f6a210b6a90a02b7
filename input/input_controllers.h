#pragma once
// The keyboard, mouse and joystick controllers together, with their bindings kept in the
// options' "Controls" element.

#include <array>
#include <memory>
#include <utility>

#include "input/input_controller_joystick.h"
#include "input/input_controller_keyboard.h"
#include "input/input_controller_mouse.h"

class CInputDevices;

class CInputControllers {
public:
    CInputControllers() = default;
    ~CInputControllers();
    CInputControllers(const CInputControllers&) = delete;
    CInputControllers& operator=(const CInputControllers&) = delete;

    // Builds the three controllers on the devices with their defaults, then loads the bindings.
    void Create(const CInputDevices& devices);
    void LoadBindings();
    // Creates "Controls" in the global options when missing and writes every controller's
    // bindings into its child.
    void SaveBindings();
    // Fills the control state, unless left Alt is held, the state asks to skip this frame or
    // the devices are suppressed.
    void Update(ControlState& state);
    // Saves the bindings, then drops the controllers.
    void Destroy();

    CInputControllerKeyboard* Keyboard() const { return m_keyboard.get(); }
    CInputControllerMouse* Mouse() const { return m_mouse.get(); }
    CInputControllerJoystick* Joystick() const { return m_joystick.get(); }

private:
    // Each controller with the name of its child of "Controls", in update order.
    std::array<std::pair<CInputController*, const char*>, 3> Parts() const;

    std::unique_ptr<CInputControllerKeyboard> m_keyboard;
    std::unique_ptr<CInputControllerMouse> m_mouse;
    std::unique_ptr<CInputControllerJoystick> m_joystick;
    const CInputDevices* m_devices = nullptr;
};
