#include <vector>

#include "platform/win32/window.h"

struct HACCEL__ {
    std::vector<win32::ACCEL> entries;
};

namespace win32 {

namespace {
constexpr BYTE kModifierFlags = FSHIFT | FCONTROL | FALT;

bool IsDown(WPARAM virtualKey) {
    return GetKeyState(static_cast<int>(virtualKey)) < 0;
}

// The modifiers held with the key of a message: Alt from the message itself (as Win32 does
// for system keys), Shift and Control from the key states.
BYTE ModifiersOf(const MSG& message) {
    BYTE modifiers = 0;
    if (message.lParam & KF_ALTDOWN_BIT) {
        modifiers |= FALT;
    }
    if (IsDown(VK_CONTROL)) {
        modifiers |= FCONTROL;
    }
    if (IsDown(VK_SHIFT)) {
        modifiers |= FSHIFT;
    }
    return modifiers;
}

bool Matches(const ACCEL& entry, const MSG& message) {
    if (entry.fVirt & FVIRTKEY) {
        const bool keyPress = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
        return keyPress && message.wParam == entry.key &&
               (entry.fVirt & kModifierFlags) == ModifiersOf(message);
    }
    return message.message == WM_CHAR && message.wParam == entry.key;
}
}  // namespace

HACCEL CreateAcceleratorTable(std::span<const ACCEL> entries) {
    if (entries.empty()) {
        return nullptr;
    }
    return new HACCEL__{std::vector<ACCEL>(entries.begin(), entries.end())};
}

bool DestroyAcceleratorTable(HACCEL table) {
    if (!table) {
        return false;
    }
    delete table;
    return true;
}

bool TranslateAccelerator(HWND window, HACCEL table, const MSG* message) {
    if (!table || !message || !IsWindow(window)) {
        return false;
    }
    for (const ACCEL& entry : table->entries) {
        if (Matches(entry, *message)) {
            SendMessage(window, WM_COMMAND, entry.cmd, 0);
            return true;
        }
    }
    return false;
}

}  // namespace win32
