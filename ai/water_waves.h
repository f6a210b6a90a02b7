#pragma once
// The water surface of the screen saver: two cosine waves travelling along the mesh's x and y
// axes lift each vertex and tilt its normal.

#include <span>

// A vertex of the water mesh as the mesh stores it: position, normal, texture coordinates.
struct tWaterVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(tWaterVertex) == 32);

struct tWave {
    float amplitude = 0.0f;
    float frequency = 0.0f;
    float phase = 0.0f;
    float speed = 0.0f;
};

// Writes the rest vertices moved by the two waves at wave time t into out (same length).
void ApplyWaterWaves(std::span<const tWaterVertex> rest, const tWave& xWave, const tWave& yWave, float t,
                     std::span<tWaterVertex> out);
