// Devices on SDL: the keyboard state, the pointer's motion and wheel events and the first
// joystick. Motion comes from the events, not from the global pointer position: SDL's X11
// back end caches that position and may report it late.

#include <SDL.h>

#include <algorithm>
#include <atomic>

#include "platform/dinput8/device_source.h"
#include "platform/win32/keyboard_map.h"

namespace dinput8 {

namespace {

constexpr int kWheelUnitsPerNotch = 120;

class SdlKeyboard final : public DeviceSource {
public:
    void Start() override {}
    bool Read(std::span<BYTE> record, const DeviceSettings&) override {
        int count = 0;
        const Uint8* scancodes = SDL_GetKeyboardState(&count);
        std::array<bool, 256> keys{};
        for (int scancode = 0; scancode < count; ++scancode) {
            if (scancodes[scancode]) {
                keys[win32::DikFromScancode(scancode)] = true;
            }
        }
        keys[0] = false;  // scancodes without a DirectInput code
        FillKeyboardRecord(record, keys);
        return true;
    }
};

class SdlMouse final : public DeviceSource {
public:
    SdlMouse() { SDL_AddEventWatch(&SdlMouse::WatchMotion, this); }
    ~SdlMouse() override { SDL_DelEventWatch(&SdlMouse::WatchMotion, this); }

    void Start() override {
        m_motion.Start();
        for (std::atomic<LONG>& axis : m_moved) {
            axis = 0;
        }
    }

    bool Read(std::span<BYTE> record, const DeviceSettings& settings) override {
        const Uint32 mask = SDL_GetMouseState(nullptr, nullptr);
        const std::array<LONG, 3> moved{m_moved[0].exchange(0), m_moved[1].exchange(0),
                                        m_moved[2].exchange(0)};
        FillMouseRecord(record, m_motion, moved, settings.relativeAxes, ButtonsOf(mask));
        return true;
    }

private:
    static std::array<bool, 8> ButtonsOf(Uint32 mask) {
        // DirectInput orders left, right, middle, then the extra buttons.
        return {(mask & SDL_BUTTON_LMASK) != 0, (mask & SDL_BUTTON_RMASK) != 0,
                (mask & SDL_BUTTON_MMASK) != 0, (mask & SDL_BUTTON_X1MASK) != 0,
                (mask & SDL_BUTTON_X2MASK) != 0};
    }

    static int WatchMotion(void* self, SDL_Event* event) {
        std::array<std::atomic<LONG>, 3>& moved = static_cast<SdlMouse*>(self)->m_moved;
        if (event->type == SDL_MOUSEMOTION) {
            moved[0] += event->motion.xrel;
            moved[1] += event->motion.yrel;
        } else if (event->type == SDL_MOUSEWHEEL) {
            const int direction = event->wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
            moved[2] += event->wheel.y * direction * kWheelUnitsPerNotch;
        }
        return 1;
    }

    MouseMotion m_motion;
    std::array<std::atomic<LONG>, 3> m_moved{};
};

class SdlJoystick final : public DeviceSource {
public:
    explicit SdlJoystick(SDL_Joystick* joystick) : m_joystick(joystick) {}
    ~SdlJoystick() override {
        SDL_JoystickClose(m_joystick);
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    void Start() override {}

    bool Read(std::span<BYTE> record, const DeviceSettings& settings) override {
        SDL_JoystickUpdate();
        if (!SDL_JoystickGetAttached(m_joystick)) {
            return false;
        }
        RawJoystick raw;
        const int axes = std::min(SDL_JoystickNumAxes(m_joystick), RawJoystick::kAxes);
        for (int axis = 0; axis < axes; ++axis) {
            raw.axes[axis] = SDL_JoystickGetAxis(m_joystick, axis);
        }
        const int hats = std::min(SDL_JoystickNumHats(m_joystick), RawJoystick::kHats);
        for (int hat = 0; hat < hats; ++hat) {
            raw.hats[hat] = SDL_JoystickGetHat(m_joystick, hat);
        }
        const int buttons = std::min(SDL_JoystickNumButtons(m_joystick), RawJoystick::kButtons);
        for (int button = 0; button < buttons; ++button) {
            raw.buttons[button] = SDL_JoystickGetButton(m_joystick, button) != 0;
        }
        FillJoystickRecord(record, raw, settings.axisRange);
        return true;
    }

private:
    SDL_Joystick* m_joystick;
};

std::unique_ptr<DeviceSource> OpenFirstJoystick() {
    if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) {
        return nullptr;
    }
    SDL_Joystick* joystick = SDL_NumJoysticks() > 0 ? SDL_JoystickOpen(0) : nullptr;
    if (!joystick) {
        SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
        return nullptr;
    }
    return std::make_unique<SdlJoystick>(joystick);
}

}  // namespace

std::unique_ptr<DeviceSource> MakeSdlSource(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard:
            return std::make_unique<SdlKeyboard>();
        case DeviceKind::Mouse:
            return std::make_unique<SdlMouse>();
        case DeviceKind::Joystick:
            return OpenFirstJoystick();
    }
    return nullptr;
}

}  // namespace dinput8
