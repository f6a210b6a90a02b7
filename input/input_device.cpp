#include "input/input_device.h"

#include <algorithm>
#include <cstring>

CInputDevice::CInputDevice(const BYTE& suppressed, std::size_t recordSize, int firstButton, int buttonCount)
    : m_current(recordSize, 0),
      m_previous(recordSize, 0),
      m_suppressed(suppressed),
      m_firstButton(firstButton),
      m_buttonCount(buttonCount) {}

CInputDevice::~CInputDevice() {
    CInputDevice::Release();
}

bool CInputDevice::CreateDevice(IDirectInput8A* directInput, REFGUID device, const DIDATAFORMAT& format,
                                HWND window, DWORD cooperativeLevel) {
    if (!directInput || FAILED(directInput->CreateDevice(device, &m_device, nullptr))) {
        m_device = nullptr;
        return false;
    }
    if (FAILED(m_device->SetDataFormat(&format)) ||
        FAILED(m_device->SetCooperativeLevel(window, cooperativeLevel))) {
        Release();
        return false;
    }
    return true;
}

bool CInputDevice::SetWholeDeviceProperty(REFGUID property, DWORD value) {
    DIPROPDWORD setting;
    setting.diph.dwSize = sizeof setting;
    setting.diph.dwHeaderSize = sizeof setting.diph;
    setting.diph.dwHow = DIPH_DEVICE;
    setting.dwData = value;
    return SUCCEEDED(m_device->SetProperty(property, &setting.diph));
}

bool CInputDevice::Release() {
    if (m_device) {
        m_device->Unacquire();
        m_device->Release();
        m_device = nullptr;
    }
    return true;
}

void CInputDevice::Poll() {
    m_previous = m_current;
    if (!m_device) {
        return;
    }
    // A lost or not yet acquired device is acquired again on the first failed read.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (ReadState()) {
            return;
        }
        m_device->Acquire();
        m_device->Poll();
    }
    std::fill(m_current.begin(), m_current.end(), 0);
}

bool CInputDevice::ReadState() {
    return SUCCEEDED(m_device->GetDeviceState(static_cast<DWORD>(m_current.size()), m_current.data()));
}

std::string CInputDevice::ObjectName(int index) const {
    if (!m_device || index < 0) {
        return {};
    }
    DIPROPSTRING name;
    name.diph.dwSize = sizeof name;
    name.diph.dwHeaderSize = sizeof name.diph;
    name.diph.dwObj = static_cast<DWORD>(m_firstButton + index);
    name.diph.dwHow = DIPH_BYOFFSET;
    if (FAILED(m_device->GetProperty(DIPROP_KEYNAME, &name.diph))) {
        return {};
    }
    std::string narrow;
    for (std::size_t i = 0; i < MAX_PATH && name.wsz[i] != u'\0'; ++i) {
        narrow += name.wsz[i] < 0x100 ? static_cast<char>(name.wsz[i]) : '?';
    }
    return narrow;
}

int CInputDevice::FirstNewPress() const {
    for (int index = 0; index < m_buttonCount; ++index) {
        if (CurrentDown(index) && !PreviousDown(index)) {
            return m_firstButton + index;
        }
    }
    return -1;
}

bool CInputDevice::CurrentDown(int index) const {
    return IsButton(index) && m_current[m_firstButton + index] != 0;
}

bool CInputDevice::PreviousDown(int index) const {
    return IsButton(index) && m_previous[m_firstButton + index] != 0;
}

bool CInputDevice::IsDown(int index) const {
    return !Suppressed() && CurrentDown(index);
}

bool CInputDevice::WasPressed(int index) const {
    return !Suppressed() && CurrentDown(index) && !PreviousDown(index);
}

bool CInputDevice::WasReleased(int index) const {
    return !Suppressed() && !CurrentDown(index) && PreviousDown(index);
}

bool CInputDevice::AnyButtonPressed() const {
    return !Suppressed() && FirstNewPress() >= 0;
}

LONG CInputDevice::AxisValue(int code) const {
    const int offset = code & ~3;
    if (code < 0 || static_cast<std::size_t>(offset) + sizeof(LONG) > m_current.size()) {
        return 0;
    }
    LONG value = 0;
    std::memcpy(&value, m_current.data() + offset, sizeof value);
    return value;
}
