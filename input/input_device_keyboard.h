#pragma once
// The system keyboard: 256 key bytes indexed by DirectInput key code, plus what the main
// window's key and character messages bring between ticks.

#include <string>

#include "input/input_device.h"

class CInputDeviceKeyboard : public CInputDevice {
public:
    explicit CInputDeviceKeyboard(const BYTE& suppressed);

    bool Init(IDirectInput8A* directInput, HWND window) override;
    std::string ObjectName(int code) const override;
    std::string CodeName(int code) const override { return ObjectName(code); }

    // Makes WasPressed and WasReleased answer false for the key until it changes again.
    void ConsumeEdge(int code);

    // A key-down or system-key-down message arrived since the last tick.
    void NoteKeyMessage() { m_keyMessageSeen = true; }
    bool KeyMessageSeen() const { return m_keyMessageSeen; }
    // Keeps the low byte of a character message, unfiltered.
    void AppendTypedCharacter(WPARAM character) { m_typedText += static_cast<char>(character & 0xFF); }
    const std::string& TypedText() const { return m_typedText; }
    // The frame loop's end of a tick: the typed text is used up and the key flag cleared.
    void EndTick();

    static constexpr int kKeyCount = 256;

private:
    std::string m_typedText;
    bool m_keyMessageSeen = false;
};
