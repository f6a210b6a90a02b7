#include <memory>

#include "platform/dinput8/direct_input_device.h"
#include "platform/win32/window.h"

namespace dinput8 {

namespace {

class DirectInput final : public IDirectInput8A {
public:
    DWORD AddRef() override { return ++m_references; }

    DWORD Release() override {
        const DWORD remaining = --m_references;
        if (remaining == 0) {
            delete this;
        }
        return remaining;
    }

    HRESULT CreateDevice(REFGUID device, IDirectInputDevice8A** created, void* outer) override {
        if (!created || outer) {
            return DIERR_INVALIDPARAM;
        }
        *created = nullptr;
        DeviceKind kind;
        if (device == GUID_SysKeyboard) {
            kind = DeviceKind::Keyboard;
        } else if (device == GUID_SysMouse) {
            kind = DeviceKind::Mouse;
        } else if (device == GUID_Joystick) {
            kind = DeviceKind::Joystick;
        } else {
            return DIERR_DEVICENOTREG;
        }
        auto source = win32::IsHeadless() ? MakeHeadlessSource(kind) : MakeSdlSource(kind);
        if (!source) {
            return DIERR_DEVICENOTREG;
        }
        *created = new DirectInputDevice(kind, std::move(source));
        return DI_OK;
    }

private:
    ~DirectInput() override = default;
    DWORD m_references = 1;
};

}  // namespace

}  // namespace dinput8

HRESULT DirectInput8Create(HINSTANCE, DWORD version, REFIID interfaceId, void** created, void* outer) {
    if (!created) {
        return DIERR_INVALIDPARAM;
    }
    *created = nullptr;
    if (outer) {
        return DIERR_INVALIDPARAM;
    }
    if (version < DIRECTINPUT_VERSION) {
        return DIERR_OLDDIRECTINPUTVERSION;
    }
    if (!(interfaceId == IID_IDirectInput8A)) {
        return DIERR_NOINTERFACE;
    }
    *created = static_cast<IDirectInput8A*>(new dinput8::DirectInput);
    return DI_OK;
}
