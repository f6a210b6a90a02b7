#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ai/water_waves.h"

namespace {

TEST(WaterWavesTest, StillWaterIsWrittenUnchanged) {
    const std::vector<tWaterVertex> rest{{1, 2, 3, 0, 0, 1, 0.25f, 0.75f}, {-4, 5, 0, 0.6f, 0, 0.8f, 1, 0}};
    std::vector<tWaterVertex> out(rest.size());
    ApplyWaterWaves(rest, tWave{}, tWave{}, 7.5f, out);
    for (std::size_t i = 0; i < rest.size(); ++i) {
        EXPECT_FLOAT_EQ(out[i].x, rest[i].x);
        EXPECT_FLOAT_EQ(out[i].y, rest[i].y);
        EXPECT_FLOAT_EQ(out[i].z, rest[i].z);
        EXPECT_FLOAT_EQ(out[i].nx, rest[i].nx);
        EXPECT_FLOAT_EQ(out[i].ny, rest[i].ny);
        EXPECT_FLOAT_EQ(out[i].nz, rest[i].nz);
        EXPECT_FLOAT_EQ(out[i].u, rest[i].u);
        EXPECT_FLOAT_EQ(out[i].v, rest[i].v);
    }
}

// Hand-worked: x wave amplitude 2, frequency pi/2, phase 0, speed 1 at t = 1 on the vertex at
// x = 0: ax = pi/2, so the height adds 2 cos(pi/2) = 0 and the normal's x is 0 - 1 * 20 = -20.
// The y wave (amplitude 0.5, frequency 0, phase 0) adds 0.5 cos 0 = 0.5 and leaves ny alone.
// The normal (-20, 0, 1) has length sqrt(401).
TEST(WaterWavesTest, HeightAndNormalFollowTheTwoWaves) {
    const std::vector<tWaterVertex> rest{{0, 3, 10, 0, 0, 1, 0.5f, 0.5f}};
    std::vector<tWaterVertex> out(1);
    const float halfPi = 1.5707964f;
    ApplyWaterWaves(rest, tWave{2.0f, halfPi, 0.0f, 1.0f}, tWave{0.5f, 0.0f, 0.0f, 9.0f}, 1.0f, out);
    EXPECT_NEAR(out[0].z, 10.5f, 1e-5f);
    const float length = std::sqrt(401.0f);
    EXPECT_NEAR(out[0].nx, -20.0f / length, 1e-5f);
    EXPECT_NEAR(out[0].ny, 0.0f, 1e-6f);
    EXPECT_NEAR(out[0].nz, 1.0f / length, 1e-6f);
    EXPECT_FLOAT_EQ(out[0].x, 0.0f);
    EXPECT_FLOAT_EQ(out[0].y, 3.0f);
    EXPECT_FLOAT_EQ(out[0].u, 0.5f);
}

// The wave travels: a crest at x = 0 when t = 0 is found at x = -speed * t later, since the
// argument is (speed t + x) frequency.
TEST(WaterWavesTest, CrestTravelsAgainstTheSpeedAndZeroNormalsStayUnnormalised) {
    const tWave wave{1.0f, 0.1f, 0.0f, 4.0f};
    std::vector<tWaterVertex> rest{{-8, 0, 0, 0, 0, 1, 0, 0}};
    std::vector<tWaterVertex> out(1);
    ApplyWaterWaves(rest, wave, tWave{}, 2.0f, out);
    EXPECT_NEAR(out[0].z, 1.0f, 1e-6f) << "cos 0 at the crest";

    rest = {{0, 0, 0, 0, 0, 0, 0, 0}};
    ApplyWaterWaves(rest, tWave{}, tWave{}, 0.0f, out);
    EXPECT_EQ(out[0].nx, 0.0f);
    EXPECT_EQ(out[0].nz, 0.0f);
    EXPECT_FALSE(std::isnan(out[0].nx));
}

}  // namespace
