#pragma once
// Input for the headless devices: tests press keys, move the mouse and work a joystick here,
// and the DirectInput devices read it as if it came from the hardware.

#include "platform/win32/types.h"

namespace dinput8::test {

void PressKey(BYTE dik);
void ReleaseKey(BYTE dik);
// Motion adds up until the mouse device reads it.
void MoveMouse(LONG dx, LONG dy, LONG wheel = 0);
void SetMouseButton(int index, bool down);
// Whether a joystick is plugged in; DirectInput finds it when the device is created.
void ConnectJoystick(bool connected);
// Raw reading from -32768 to 32767; axes 0 to 7 are X, Y, Z, Rx, Ry, Rz and two sliders.
void SetJoystickAxis(int axis, int raw);
void SetJoystickButton(int index, bool down);
// Everything up, nothing moved, no joystick.
void ResetInput();

}  // namespace dinput8::test
