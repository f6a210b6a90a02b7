#pragma once
// The names DirectInput gives the objects of a device, looked up by their offset in the
// device's state record.

#include <string>

#include "platform/dinput8/device_source.h"

namespace dinput8 {

// Empty when the offset names no object.
std::string ObjectNameAt(DeviceKind kind, DWORD offset);

}  // namespace dinput8
