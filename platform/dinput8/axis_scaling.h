#pragma once
// How DirectInput maps an absolute axis reading onto the range an application asked for.

#include "platform/win32/types.h"

namespace dinput8 {

struct AxisRange {
    LONG min = 0;
    LONG max = 65535;
    // Both in hundredths of a percent of the distance from the centre to an end.
    DWORD deadZone = 0;
    DWORD saturation = 10000;
};

// Within the dead zone the result is the centre of the range; from the saturation outwards it
// is the end; in between it grows linearly.
LONG ScaleAxis(int raw, int rawMin, int rawMax, const AxisRange& range);

}  // namespace dinput8
