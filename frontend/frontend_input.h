#pragma once
// What the frontend controls read from the input devices and the hit manager.

class CEntity;
class CInputDeviceKeyboard;

namespace frontend_input {

constexpr int kKeyEscape = 1;
constexpr int kKeyTab = 15;
constexpr int kKeyReturn = 0x1C;
constexpr int kKeyLeftShift = 42;
constexpr int kKeyRightShift = 54;
constexpr int kKeySpace = 0x39;
constexpr int kKeyUp = 200;
constexpr int kKeyLeft = 203;
constexpr int kKeyRight = 205;
constexpr int kKeyDown = 208;

// The keyboard, or null before the input devices exist.
CInputDeviceKeyboard* Keyboard();
bool KeyPressed(int key);
bool KeyDown(int key);
// Mouse button 1 or joystick button 1 went down this tick.
bool PrimaryButtonPressed();
// Mouse button 1 or joystick button 1 is held.
bool PrimaryButtonDown();
// The entity under the pointer is the entity itself or one of its direct children.
bool PointerOver(const CEntity* entity);

}  // namespace frontend_input
