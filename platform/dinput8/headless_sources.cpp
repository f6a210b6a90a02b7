// Devices without hardware: they report what tests inject, and idle otherwise.

#include <mutex>

#include "platform/dinput8/device_source.h"
#include "platform/dinput8/test_input.h"

namespace dinput8 {

namespace {

// The input hardware of a headless machine.
struct InjectedInput {
    std::mutex mutex;
    std::array<bool, 256> keys{};
    std::array<LONG, 3> mouseMotion{};
    std::array<bool, 8> mouseButtons{};
    bool joystickConnected = false;
    RawJoystick joystick;
};

InjectedInput& Injected() {
    static InjectedInput input;
    return input;
}

template <class Change>
void WithInput(Change change) {
    InjectedInput& input = Injected();
    std::lock_guard lock(input.mutex);
    change(input);
}

class HeadlessKeyboard final : public DeviceSource {
public:
    void Start() override {}
    bool Read(std::span<BYTE> record, const DeviceSettings&) override {
        WithInput([&](InjectedInput& input) { FillKeyboardRecord(record, input.keys); });
        return true;
    }
};

class HeadlessMouse final : public DeviceSource {
public:
    void Start() override {
        m_motion.Start();
        WithInput([](InjectedInput& input) { input.mouseMotion = {}; });
    }
    bool Read(std::span<BYTE> record, const DeviceSettings& settings) override {
        WithInput([&](InjectedInput& input) {
            FillMouseRecord(record, m_motion, input.mouseMotion, settings.relativeAxes, input.mouseButtons);
            input.mouseMotion = {};
        });
        return true;
    }

private:
    MouseMotion m_motion;
};

class HeadlessJoystick final : public DeviceSource {
public:
    void Start() override {}
    bool Read(std::span<BYTE> record, const DeviceSettings& settings) override {
        bool connected = false;
        WithInput([&](InjectedInput& input) {
            connected = input.joystickConnected;
            if (connected) {
                FillJoystickRecord(record, input.joystick, settings.axisRange);
            }
        });
        return connected;
    }
};

}  // namespace

std::unique_ptr<DeviceSource> MakeHeadlessSource(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard:
            return std::make_unique<HeadlessKeyboard>();
        case DeviceKind::Mouse:
            return std::make_unique<HeadlessMouse>();
        case DeviceKind::Joystick: {
            bool connected = false;
            WithInput([&](InjectedInput& input) { connected = input.joystickConnected; });
            return connected ? std::make_unique<HeadlessJoystick>() : nullptr;
        }
    }
    return nullptr;
}

namespace test {

void PressKey(BYTE dik) {
    WithInput([&](InjectedInput& input) { input.keys[dik] = true; });
}

void ReleaseKey(BYTE dik) {
    WithInput([&](InjectedInput& input) { input.keys[dik] = false; });
}

void MoveMouse(LONG dx, LONG dy, LONG wheel) {
    WithInput([&](InjectedInput& input) {
        input.mouseMotion[0] += dx;
        input.mouseMotion[1] += dy;
        input.mouseMotion[2] += wheel;
    });
}

void SetMouseButton(int index, bool down) {
    WithInput([&](InjectedInput& input) {
        if (index >= 0 && index < static_cast<int>(input.mouseButtons.size())) {
            input.mouseButtons[index] = down;
        }
    });
}

void ConnectJoystick(bool connected) {
    WithInput([&](InjectedInput& input) { input.joystickConnected = connected; });
}

void SetJoystickAxis(int axis, int raw) {
    WithInput([&](InjectedInput& input) {
        if (axis >= 0 && axis < RawJoystick::kAxes) {
            input.joystick.axes[axis] = raw;
        }
    });
}

void SetJoystickButton(int index, bool down) {
    WithInput([&](InjectedInput& input) {
        if (index >= 0 && index < RawJoystick::kButtons) {
            input.joystick.buttons[index] = down;
        }
    });
}

void ResetInput() {
    WithInput([](InjectedInput& input) {
        input.keys = {};
        input.mouseMotion = {};
        input.mouseButtons = {};
        input.joystickConnected = false;
        input.joystick = RawJoystick{};
    });
}

}  // namespace test

}  // namespace dinput8
