#pragma once
// The three input devices the engine reads (system keyboard, system mouse, first joystick),
// polled once per tick, and the flag that makes them all read as idle.

#include <memory>

#include "engine/singleton.h"
#include "input/input_device_joystick.h"
#include "input/input_device_keyboard.h"
#include "input/input_device_mouse.h"

class CInputDevices : public tmSingleton<CInputDevices> {
public:
    // The framework's default for the mouse: exclusive while the window is in the foreground.
    static constexpr DWORD kDefaultMouseCooperativeLevel = DISCL_EXCLUSIVE | DISCL_FOREGROUND;

    CInputDevices() = default;
    ~CInputDevices();

    // Creates DirectInput and the three devices for the window; only a failure of DirectInput
    // itself is returned. A device that fails to initialise stays, reading as idle.
    HRESULT Create(HWND window, DWORD mouseCooperativeLevel = kDefaultMouseCooperativeLevel);
    void Poll();
    // A key message since the last tick (suppressed or not), or a newly pressed mouse or
    // joystick button while not suppressed.
    bool AnyNewPress() const;
    // What ends the screen saver: a new press as above, or mouse motion while not suppressed.
    bool AnyNewPressOrMouseMotion() const;
    void Destroy();

    CInputDeviceKeyboard* Keyboard() const { return m_keyboard.get(); }
    CInputDeviceMouse* Mouse() const { return m_mouse.get(); }
    CInputDeviceJoystick* Joystick() const { return m_joystick.get(); }
    HWND Window() const { return m_window; }

    void SetSuppressed(bool suppressed) { m_suppressed = suppressed ? 1 : 0; }
    bool IsSuppressed() const { return m_suppressed != 0; }

    // What the main window's messages bring to the keyboard (nothing without one).
    void NoteKeyMessage();
    void AppendTypedCharacter(WPARAM character);
    // The frame loop's end of a tick: typed text used up, key flag cleared.
    void EndTick();

private:
    std::unique_ptr<CInputDeviceKeyboard> m_keyboard;
    std::unique_ptr<CInputDeviceMouse> m_mouse;
    std::unique_ptr<CInputDeviceJoystick> m_joystick;
    HWND m_window = nullptr;
    IDirectInput8A* m_directInput = nullptr;
    BYTE m_suppressed = 0;
};
