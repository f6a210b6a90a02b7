#include "ai/water_waves.h"

#include <cmath>

void ApplyWaterWaves(std::span<const tWaterVertex> rest, const tWave& xWave, const tWave& yWave, float t,
                     std::span<tWaterVertex> out) {
    for (std::size_t i = 0; i < rest.size() && i < out.size(); ++i) {
        const tWaterVertex& source = rest[i];
        const float ax = (xWave.speed * t + source.x) * xWave.frequency + xWave.phase;
        const float ay = (yWave.speed * t + source.y) * yWave.frequency + yWave.phase;
        tWaterVertex moved = source;
        moved.z = source.z + xWave.amplitude * std::cos(ax) + yWave.amplitude * std::cos(ay);
        moved.nx = source.nx - std::sin(ax) * (xWave.amplitude * 10.0f);
        moved.ny = source.ny - std::sin(ay) * (yWave.amplitude * 10.0f);
        moved.nz = source.nz;
        const float squared = moved.nx * moved.nx + moved.ny * moved.ny + moved.nz * moved.nz;
        // A zero normal has no direction to keep: it is written as it is.
        if (squared != 0.0f) {
            const float length = std::sqrt(squared);
            moved.nx /= length;
            moved.ny /= length;
            moved.nz /= length;
        }
        out[i] = moved;
    }
}
