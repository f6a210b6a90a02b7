#include "input/input_devices.h"

CInputDevices::~CInputDevices() {
    Destroy();
}

HRESULT CInputDevices::Create(HWND window, DWORD mouseCooperativeLevel) {
    Destroy();
    void* created = nullptr;
    const HRESULT result =
        DirectInput8Create(nullptr, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created, nullptr);
    if (FAILED(result)) {
        return result;
    }
    m_directInput = static_cast<IDirectInput8A*>(created);
    m_window = window;
    m_keyboard = std::make_unique<CInputDeviceKeyboard>(m_suppressed);
    m_keyboard->Init(m_directInput, window);
    m_mouse = std::make_unique<CInputDeviceMouse>(m_suppressed, mouseCooperativeLevel);
    m_mouse->Init(m_directInput, window);
    m_joystick = std::make_unique<CInputDeviceJoystick>(m_suppressed);
    m_joystick->Init(m_directInput, window);
    return S_OK;
}

void CInputDevices::Poll() {
    for (CInputDevice* device :
         {static_cast<CInputDevice*>(m_keyboard.get()), static_cast<CInputDevice*>(m_mouse.get()),
          static_cast<CInputDevice*>(m_joystick.get())}) {
        if (device) {
            device->Poll();
        }
    }
}

bool CInputDevices::AnyNewPress() const {
    return (m_keyboard && m_keyboard->KeyMessageSeen()) || (m_mouse && m_mouse->AnyButtonPressed()) ||
           (m_joystick && m_joystick->AnyButtonPressed());
}

bool CInputDevices::AnyNewPressOrMouseMotion() const {
    return AnyNewPress() || (m_mouse && m_mouse->HasMoved());
}

void CInputDevices::Destroy() {
    m_keyboard.reset();
    m_mouse.reset();
    m_joystick.reset();
    if (m_directInput) {
        m_directInput->Release();
        m_directInput = nullptr;
    }
}

void CInputDevices::NoteKeyMessage() {
    if (m_keyboard) {
        m_keyboard->NoteKeyMessage();
    }
}

void CInputDevices::AppendTypedCharacter(WPARAM character) {
    if (m_keyboard) {
        m_keyboard->AppendTypedCharacter(character);
    }
}

void CInputDevices::EndTick() {
    if (m_keyboard) {
        m_keyboard->EndTick();
    }
}
