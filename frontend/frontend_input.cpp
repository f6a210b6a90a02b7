#include "frontend/frontend_input.h"

#include "engine/entity.h"
#include "engine/hit_manager.h"
#include "input/input_devices.h"

namespace frontend_input {

namespace {

constexpr int kPrimaryButton = 0;

}  // namespace

CInputDeviceKeyboard* Keyboard() {
    return CInputDevices::Instance().Keyboard();
}

bool KeyPressed(int key) {
    const CInputDeviceKeyboard* keyboard = Keyboard();
    return keyboard && keyboard->WasPressed(key);
}

bool KeyDown(int key) {
    const CInputDeviceKeyboard* keyboard = Keyboard();
    return keyboard && keyboard->IsDown(key);
}

bool PrimaryButtonPressed() {
    const CInputDevices& devices = CInputDevices::Instance();
    return (devices.Mouse() && devices.Mouse()->WasPressed(kPrimaryButton)) ||
           (devices.Joystick() && devices.Joystick()->WasPressed(kPrimaryButton));
}

bool PrimaryButtonDown() {
    const CInputDevices& devices = CInputDevices::Instance();
    return (devices.Mouse() && devices.Mouse()->IsDown(kPrimaryButton)) ||
           (devices.Joystick() && devices.Joystick()->IsDown(kPrimaryButton));
}

bool PointerOver(const CEntity* entity) {
    const CEntity* hit = enHitManager::Instance().GetMouseHit();
    return entity && hit && (hit == entity || hit->Parent() == entity);
}

}  // namespace frontend_input
