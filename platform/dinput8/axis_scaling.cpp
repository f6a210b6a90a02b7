#include "platform/dinput8/axis_scaling.h"

#include <algorithm>
#include <cmath>

namespace dinput8 {

namespace {
constexpr double kWhole = 10000.0;

// Position of the reading between the centre (0) and an end (+-1) after dead zone and
// saturation.
double EffectiveDeflection(int raw, int rawMin, int rawMax, const AxisRange& range) {
    const double centre = (static_cast<double>(rawMin) + rawMax) / 2.0;
    const double half = (static_cast<double>(rawMax) - rawMin) / 2.0;
    const double deflection = std::clamp((raw - centre) / half, -1.0, 1.0);
    const double deadZone = std::min<double>(range.deadZone, kWhole);
    const double saturation = std::clamp<double>(range.saturation, deadZone, kWhole);
    const double magnitude = std::fabs(deflection) * kWhole;
    if (magnitude <= deadZone) {
        return 0.0;
    }
    const double scaled = magnitude >= saturation ? 1.0 : (magnitude - deadZone) / (saturation - deadZone);
    return deflection < 0 ? -scaled : scaled;
}
}  // namespace

LONG ScaleAxis(int raw, int rawMin, int rawMax, const AxisRange& range) {
    if (rawMax <= rawMin) {
        return range.min;
    }
    const double centre = (static_cast<double>(range.min) + range.max) / 2.0;
    const double half = (static_cast<double>(range.max) - range.min) / 2.0;
    return static_cast<LONG>(std::lround(centre + EffectiveDeflection(raw, rawMin, rawMax, range) * half));
}

}  // namespace dinput8
