#pragma once
// The unit and stepping rules shared by the motion components: data gives speeds per second,
// components keep them per tick (1/60 s).

#include <cstdint>

constexpr float kFullTurn = 6.2831855f;

// Seconds as whole ticks, truncated; a time beyond the counter's range lasts as long as it can,
// and a time that is not a number is none.
std::int32_t SecondsToTicks(float seconds);
// Speeds and scale velocities given per second, as per tick.
float PerTick(float perSecond);
// An acceleration given per second squared, as per tick squared.
float PerTickSquared(float perSecondSquared);
// Degrees as radians.
float DegreesToRadians(float degrees);
// An angular speed in degrees per second as radians per tick.
float DegreesPerSecondToRadiansPerTick(float degreesPerSecond);
// A multiplicative scale velocity per second (2 doubles in a second) as its per-tick factor.
float ScaleFactorPerTick(float factorPerSecond);

// angle + speed, less one full turn when it exceeds a full turn; negative angles never wrap.
float AdvanceAngle(float angle, float speed);

// The next speed of a mover with an acceleration. With stopAtZero, a mover that would reach or
// cross zero stops there and stays stopped instead of reversing.
float AccelerateSpeed(float speed, float acceleration, bool stopAtZero);
