#include "platform/win32/key_state.h"

namespace win32 {

namespace {
constexpr int kRightShiftScanCode = 0x36;

bool IsKeyDownMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
}
bool IsKeyUpMessage(UINT message) {
    return message == WM_KEYUP || message == WM_SYSKEYUP;
}
}  // namespace

void KeyStateTable::Apply(const MSG& message) {
    // Keys let go in another window send no key-up here: losing the focus lets go of all.
    if (message.message == WM_ACTIVATE && LOWORD(message.wParam) == WA_INACTIVE) {
        ReleaseAll();
        return;
    }
    const bool down = IsKeyDownMessage(message.message);
    if (!down && !IsKeyUpMessage(message.message)) {
        return;
    }
    SetKey(message.wParam, down);
    if (const WPARAM sided = SidedKey(message)) {
        SetKey(sided, down);
    }
}

std::int16_t KeyStateTable::State(int virtualKey) const {
    if (virtualKey < 0 || virtualKey >= static_cast<int>(m_states.size())) {
        return 0;
    }
    const BYTE state = m_states[virtualKey];
    std::int16_t result = (state & kToggled) ? 1 : 0;
    if (state & kDown) {
        result = static_cast<std::int16_t>(result | 0x8000);
    }
    return result;
}

void KeyStateTable::SetKey(WPARAM virtualKey, bool down) {
    if (virtualKey >= m_states.size()) {
        return;
    }
    BYTE& state = m_states[virtualKey];
    if (down && !(state & kDown)) {
        state ^= kToggled;
    }
    state = static_cast<BYTE>(down ? (state | kDown) : (state & ~kDown));
}

void KeyStateTable::ReleaseAll() {
    for (BYTE& state : m_states) {
        state = static_cast<BYTE>(state & ~kDown);
    }
}

WPARAM KeyStateTable::SidedKey(const MSG& message) {
    const bool extended = (message.lParam & KF_EXTENDED_BIT) != 0;
    switch (message.wParam) {
        case VK_MENU:
            return extended ? VK_RMENU : VK_LMENU;
        case VK_CONTROL:
            return extended ? VK_RCONTROL : VK_LCONTROL;
        case VK_SHIFT:
            return ((message.lParam >> 16) & 0xFF) == kRightShiftScanCode ? VK_RSHIFT : VK_LSHIFT;
        default:
            return 0;
    }
}

}  // namespace win32
