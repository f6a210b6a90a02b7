#pragma once
// Where a DirectInput device gets its readings: SDL, or the state that tests inject when
// headless. A source fills the device's state record in DirectInput's layout.

#include <array>
#include <memory>
#include <span>

#include "platform/dinput8/axis_scaling.h"
#include "platform/dinput8/dinput.h"

namespace dinput8 {

enum class DeviceKind { Keyboard, Mouse, Joystick };

struct DeviceSettings {
    bool relativeAxes = false;
    AxisRange axisRange;
};

class DeviceSource {
public:
    virtual ~DeviceSource() = default;
    // Begins a period of acquisition: relative motion counts from here.
    virtual void Start() = 0;
    // Fills the record; false when the device is gone.
    virtual bool Read(std::span<BYTE> record, const DeviceSettings& settings) = 0;
};

// Raw readings, before they take DirectInput's layout.
struct RawJoystick {
    static constexpr int kAxes = 8;  // X, Y, Z, Rx, Ry, Rz, two sliders
    static constexpr int kHats = 4;
    static constexpr int kButtons = 128;
    static constexpr int kRawMin = -32768;
    static constexpr int kRawMax = 32767;
    std::array<int, kAxes> axes{};
    std::array<int, kHats> hats{};  // SDL hat bits: up 1, right 2, down 4, left 8
    std::array<bool, kButtons> buttons{};
};

// Motion gathered between two reads, reported as deltas (relative axes) or as running totals.
class MouseMotion {
public:
    void Start() { m_totals = {}; }
    void Fill(DIMOUSESTATE2& state, std::array<LONG, 3> moved, bool relative);

private:
    std::array<LONG, 3> m_totals{};
};

void FillKeyboardRecord(std::span<BYTE> record, const std::array<bool, 256>& keysDown);
void FillJoystickRecord(std::span<BYTE> record, const RawJoystick& joystick, const AxisRange& range);
void FillMouseRecord(std::span<BYTE> record, MouseMotion& motion, std::array<LONG, 3> moved, bool relative,
                     const std::array<bool, 8>& buttonsDown);

std::unique_ptr<DeviceSource> MakeHeadlessSource(DeviceKind kind);
// Null when the device is missing (no joystick attached).
std::unique_ptr<DeviceSource> MakeSdlSource(DeviceKind kind);

}  // namespace dinput8
