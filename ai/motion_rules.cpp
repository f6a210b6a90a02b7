#include "ai/motion_rules.h"

#include <cmath>
#include <limits>

namespace {

constexpr double kTicksPerSecond = 60.0;
constexpr double kPi = 3.141592653589793;
// The per-degree factor as the data was tuned with: 1/180 rounded to a float.
constexpr double kOneOver180 = 0.0055555557;

}  // namespace

std::int32_t SecondsToTicks(float seconds) {
    const float ticks = seconds * static_cast<float>(kTicksPerSecond);
    constexpr auto kMaximum = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMinimum = std::numeric_limits<std::int32_t>::min();
    if (std::isnan(ticks)) {
        return 0;
    }
    if (ticks >= static_cast<float>(kMaximum)) {
        return kMaximum;
    }
    if (ticks <= static_cast<float>(kMinimum)) {
        return kMinimum;
    }
    return static_cast<std::int32_t>(ticks);
}

float PerTick(float perSecond) {
    return static_cast<float>(perSecond / kTicksPerSecond);
}

float PerTickSquared(float perSecondSquared) {
    return static_cast<float>(perSecondSquared / (kTicksPerSecond * kTicksPerSecond));
}

float DegreesToRadians(float degrees) {
    return static_cast<float>(degrees * kOneOver180 * kPi);
}

float DegreesPerSecondToRadiansPerTick(float degreesPerSecond) {
    return static_cast<float>(degreesPerSecond * kOneOver180 * kPi / kTicksPerSecond);
}

float ScaleFactorPerTick(float factorPerSecond) {
    return static_cast<float>((factorPerSecond - 1.0) / kTicksPerSecond + 1.0);
}

float AdvanceAngle(float angle, float speed) {
    angle += speed;
    if (angle > kFullTurn) {
        angle -= kFullTurn;
    }
    return angle;
}

float AccelerateSpeed(float speed, float acceleration, bool stopAtZero) {
    const float step = std::fabs(acceleration);
    if (stopAtZero && (std::fabs(speed) < step || std::fabs(speed + acceleration) < step)) {
        return 0.0f;
    }
    return speed + acceleration;
}
