#include "input/input_device_keyboard.h"

namespace {
// Longer names do not fit where key bindings are shown.
constexpr std::size_t kLongestKeyName = 20;
}  // namespace

CInputDeviceKeyboard::CInputDeviceKeyboard(const BYTE& suppressed)
    : CInputDevice(suppressed, kKeyCount, 0, kKeyCount) {}

bool CInputDeviceKeyboard::Init(IDirectInput8A* directInput, HWND window) {
    return CreateDevice(directInput, GUID_SysKeyboard, c_dfDIKeyboard, window,
                        DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
}

std::string CInputDeviceKeyboard::ObjectName(int code) const {
    std::string name = CInputDevice::ObjectName(code);
    if (name.empty() || name.size() > kLongestKeyName || name.find('?') != std::string::npos) {
        return std::to_string(code);
    }
    return name;
}

void CInputDeviceKeyboard::ConsumeEdge(int code) {
    if (IsButton(code)) {
        m_previous[code] = m_current[code];
    }
}

void CInputDeviceKeyboard::EndTick() {
    m_typedText.clear();
    m_keyMessageSeen = false;
}
