#include "input/input_controllers.h"

#include "engine/global_options.h"
#include "input/input_devices.h"
#include "platform/win32/window.h"
#include "resource/xml.h"

namespace {
constexpr const char* kControlsElement = "Controls";
constexpr const char* kKeyboardElement = "Keyboard";
constexpr const char* kMouseElement = "Mouse";
constexpr const char* kJoystickElement = "Joystick";
}  // namespace

CInputControllers::~CInputControllers() = default;

void CInputControllers::Create(const CInputDevices& devices) {
    m_devices = &devices;
    m_keyboard = std::make_unique<CInputControllerKeyboard>(devices.Keyboard());
    m_keyboard->SetDefaults();
    m_mouse = std::make_unique<CInputControllerMouse>(devices.Mouse());
    m_mouse->SetDefaults();
    m_joystick = std::make_unique<CInputControllerJoystick>(devices.Joystick());
    m_joystick->SetDefaults();
    LoadBindings();
}

std::array<std::pair<CInputController*, const char*>, 3> CInputControllers::Parts() const {
    return {{{m_keyboard.get(), kKeyboardElement},
             {m_mouse.get(), kMouseElement},
             {m_joystick.get(), kJoystickElement}}};
}

void CInputControllers::LoadBindings() {
    const enXml* controls = CGlobalOptions::Instance().controls.get();
    if (!controls) {
        return;
    }
    for (const auto& [controller, elementName] : Parts()) {
        const enXml* element = controls->GetChild(elementName);
        if (controller && element) {
            controller->Load(*element);
        }
    }
}

void CInputControllers::SaveBindings() {
    std::unique_ptr<enXml>& controls = CGlobalOptions::Instance().controls;
    if (!controls) {
        controls = std::make_unique<enXml>(kControlsElement);
    }
    for (const auto& [controller, elementName] : Parts()) {
        if (!controller) {
            continue;
        }
        enXml* element = controls->GetChild(elementName);
        if (!element) {
            element = controls->AddNewChild(elementName);
        }
        controller->Save(*element);
    }
}

void CInputControllers::Update(ControlState& state) {
    // Left Alt held freezes the controls, so Alt+Tab never fires.
    const bool leftAltDown = win32::GetKeyState(static_cast<int>(win32::VK_LMENU)) < 0;
    const bool devicesSuppressed = m_devices && m_devices->IsSuppressed();
    if (leftAltDown || state.SuppressControlsOnce || devicesSuppressed) {
        return;
    }
    for (const auto& [controller, elementName] : Parts()) {
        if (controller) {
            controller->Update(state);
        }
    }
}

void CInputControllers::Destroy() {
    if (m_keyboard || m_mouse || m_joystick) {
        SaveBindings();
    }
    for (const auto& [controller, elementName] : Parts()) {
        if (controller) {
            controller->Clear();
        }
    }
    m_keyboard.reset();
    m_mouse.reset();
    m_joystick.reset();
    m_devices = nullptr;
}
