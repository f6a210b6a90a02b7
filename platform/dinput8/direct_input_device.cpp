#include "platform/dinput8/direct_input_device.h"

#include <SDL.h>

#include <algorithm>

#include "platform/dinput8/object_names.h"
#include "platform/win32/sdl_window.h"
#include "platform/win32/window.h"

namespace dinput8 {

namespace {

constexpr DWORD kWhole = 10000;

constexpr DWORD kExclusivity = DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE;
constexpr DWORD kForegroundness = DISCL_FOREGROUND | DISCL_BACKGROUND;

bool ExactlyOne(DWORD flags, DWORD pair) {
    return (flags & pair) != 0 && (flags & pair) != pair;
}

template <class Property>
bool HasLayoutOf(const DIPROPHEADER* header) {
    return header && header->dwHeaderSize == sizeof(DIPROPHEADER) && header->dwSize == sizeof(Property);
}

}  // namespace

DirectInputDevice::DirectInputDevice(DeviceKind kind, std::unique_ptr<DeviceSource> source)
    : m_kind(kind), m_source(std::move(source)) {
    m_settings.relativeAxes = kind == DeviceKind::Mouse;
}

DWORD DirectInputDevice::AddRef() {
    return ++m_references;
}

DWORD DirectInputDevice::Release() {
    const DWORD remaining = --m_references;
    if (remaining == 0) {
        delete this;
    }
    return remaining;
}

const DIDATAFORMAT& DirectInputDevice::ExpectedFormat() const {
    switch (m_kind) {
        case DeviceKind::Keyboard:
            return c_dfDIKeyboard;
        case DeviceKind::Mouse:
            return c_dfDIMouse2;
        case DeviceKind::Joystick:
            break;
    }
    return c_dfDIJoystick2;
}

HRESULT DirectInputDevice::SetDataFormat(const DIDATAFORMAT* format) {
    if (m_acquired) {
        return DIERR_ACQUIRED;
    }
    if (format != &ExpectedFormat()) {
        return DIERR_INVALIDPARAM;
    }
    m_format = format;
    return DI_OK;
}

HRESULT DirectInputDevice::SetCooperativeLevel(HWND window, DWORD flags) {
    if (!ExactlyOne(flags, kExclusivity) || !ExactlyOne(flags, kForegroundness)) {
        return DIERR_INVALIDPARAM;
    }
    if ((flags & DISCL_FOREGROUND) && !win32::IsWindow(window)) {
        return DIERR_INVALIDPARAM;
    }
    m_window = window;
    m_cooperativeLevel = flags;
    return DI_OK;
}

HRESULT DirectInputDevice::SetProperty(REFGUID property, const DIPROPHEADER* header) {
    if (m_acquired) {
        return DIERR_ACQUIRED;
    }
    if (property == DIPROP_RANGE) {
        return HasLayoutOf<DIPROPRANGE>(header) ? SetRange(*reinterpret_cast<const DIPROPRANGE*>(header))
                                                : DIERR_INVALIDPARAM;
    }
    if (property == DIPROP_AXISMODE || property == DIPROP_DEADZONE || property == DIPROP_SATURATION ||
        property == DIPROP_BUFFERSIZE) {
        return HasLayoutOf<DIPROPDWORD>(header)
                   ? SetDwordProperty(property, *reinterpret_cast<const DIPROPDWORD*>(header))
                   : DIERR_INVALIDPARAM;
    }
    return DIERR_UNSUPPORTED;
}

HRESULT DirectInputDevice::SetDwordProperty(REFGUID property, const DIPROPDWORD& value) {
    if (value.diph.dwHow != DIPH_DEVICE) {
        return DIERR_UNSUPPORTED;
    }
    if (property == DIPROP_AXISMODE) {
        if (value.dwData != DIPROPAXISMODE_ABS && value.dwData != DIPROPAXISMODE_REL) {
            return DIERR_INVALIDPARAM;
        }
        m_settings.relativeAxes = value.dwData == DIPROPAXISMODE_REL;
        return DI_OK;
    }
    if (property == DIPROP_BUFFERSIZE) {
        // Only immediate states are offered; a zero buffer is what that means.
        return value.dwData == 0 ? DI_OK : DIERR_UNSUPPORTED;
    }
    if (m_kind != DeviceKind::Joystick) {
        return DIERR_UNSUPPORTED;
    }
    if (value.dwData > kWhole) {
        return DIERR_INVALIDPARAM;
    }
    (property == DIPROP_DEADZONE ? m_settings.axisRange.deadZone : m_settings.axisRange.saturation) =
        value.dwData;
    return DI_OK;
}

HRESULT DirectInputDevice::SetRange(const DIPROPRANGE& range) {
    if (m_kind != DeviceKind::Joystick || range.diph.dwHow != DIPH_DEVICE) {
        return DIERR_UNSUPPORTED;
    }
    if (range.lMin >= range.lMax) {
        return DIERR_INVALIDPARAM;
    }
    m_settings.axisRange.min = range.lMin;
    m_settings.axisRange.max = range.lMax;
    return DI_OK;
}

HRESULT DirectInputDevice::GetProperty(REFGUID property, DIPROPHEADER* header) {
    if (property != DIPROP_KEYNAME) {
        return DIERR_UNSUPPORTED;
    }
    if (!HasLayoutOf<DIPROPSTRING>(header) || header->dwHow != DIPH_BYOFFSET) {
        return DIERR_INVALIDPARAM;
    }
    return GetKeyName(*reinterpret_cast<DIPROPSTRING*>(header));
}

HRESULT DirectInputDevice::GetKeyName(DIPROPSTRING& name) const {
    const std::string text = ObjectNameAt(m_kind, name.diph.dwObj);
    if (text.empty()) {
        return DIERR_OBJECTNOTFOUND;
    }
    const std::size_t length = std::min<std::size_t>(text.size(), MAX_PATH - 1);
    for (std::size_t i = 0; i < length; ++i) {
        name.wsz[i] = static_cast<unsigned char>(text[i]);
    }
    name.wsz[length] = u'\0';
    return DI_OK;
}

bool DirectInputDevice::HasInputFocus() const {
    if (!(m_cooperativeLevel & DISCL_FOREGROUND)) {
        return true;
    }
    if (!win32::IsWindow(m_window)) {
        return false;
    }
    SDL_Window* native = win32::SdlWindowOf(m_window);
    return !native || SDL_GetKeyboardFocus() == native;
}

HRESULT DirectInputDevice::Acquire() {
    if (!m_format) {
        return DIERR_INVALIDPARAM;
    }
    if (m_acquired) {
        return DI_NOEFFECT;
    }
    if (!HasInputFocus()) {
        return DIERR_OTHERAPPHASPRIO;
    }
    m_acquired = true;
    m_source->Start();
    return DI_OK;
}

HRESULT DirectInputDevice::Unacquire() {
    if (!m_acquired) {
        return DI_NOEFFECT;
    }
    m_acquired = false;
    return DI_OK;
}

HRESULT DirectInputDevice::Poll() {
    return m_acquired ? DI_NOEFFECT : DIERR_NOTACQUIRED;
}

HRESULT DirectInputDevice::GetDeviceState(DWORD size, void* data) {
    if (!data || !m_format || size != m_format->dwDataSize) {
        return DIERR_INVALIDPARAM;
    }
    if (!m_acquired) {
        return DIERR_NOTACQUIRED;
    }
    std::span<BYTE> record(static_cast<BYTE*>(data), size);
    if (!HasInputFocus() || !m_source->Read(record, m_settings)) {
        m_acquired = false;
        return DIERR_INPUTLOST;
    }
    return DI_OK;
}

}  // namespace dinput8
