#pragma once
// The actions and axes that the input controllers fill each frame and the application reads.

#include <cstdint>

struct ButtonState {
    std::uint8_t down = 0;      // the bound object is held
    std::uint8_t pressed = 0;   // it went down this tick
    std::uint8_t released = 0;  // it went up this tick
};

struct ControlState {
    ButtonState Left, Right, Up, Down;
    ButtonState Pause, Escape, F12, F11;
    ButtonState Digit[10];  // Digit1 .. Digit9, Digit0
    ButtonState ChangeLaser;
    ButtonState ChangeRocket;
    ButtonState NextRocket;
    ButtonState Tab, LeftShift, RightShift, Space, Return;
    ButtonState Shoot, ShootRocket;
    float MouseX = 0.0f;
    float MouseY = 0.0f;
    ButtonState MouseShoot, MouseShootRocket;
    float JoystickX = 0.0f;
    float JoystickY = 0.0f;
    ButtonState JoystickShoot, JoystickShootRocket;
    std::uint8_t SuppressControlsOnce = 0;
    // Derived by the frame loop from Left, Right, Up and Down: -1, 0 or +1.
    float X = 0.0f;
    float Y = 0.0f;

    // Clears every button state and analogue value; the suppress flag stays.
    void ClearInputs() {
        const std::uint8_t suppress = SuppressControlsOnce;
        *this = ControlState{};
        SuppressControlsOnce = suppress;
    }
};
