// The OpenGL back end's memory of what it last gave OpenGL: it must report every real change
// (a missed one draws with stale state) and no repeat (a false one costs a state change).

#include <gtest/gtest.h>

#include "platform/d3d8/d3d8_types.h"
#include "platform/d3d8/gl_state_shadow.h"

namespace {

using d3d8::GlSlot;
using d3d8::GlStateShadow;

TEST(GlStateShadowTest, ReportsTheFirstSettingAndEveryChangeButNoRepeat) {
    GlStateShadow shadow;
    EXPECT_TRUE(shadow.Changed(GlSlot::DepthFunction, 0, 0x0203u));
    EXPECT_FALSE(shadow.Changed(GlSlot::DepthFunction, 0, 0x0203u));
    EXPECT_TRUE(shadow.Changed(GlSlot::DepthFunction, 0, 0x0201u));
    // Going back to an earlier value is a change too.
    EXPECT_TRUE(shadow.Changed(GlSlot::DepthFunction, 0, 0x0203u));
    EXPECT_FALSE(shadow.Changed(GlSlot::DepthFunction, 0, 0x0203u));
}

TEST(GlStateShadowTest, EveryValueOfASettingCounts) {
    GlStateShadow shadow;
    const float colour[4] = {0.1f, 0.2f, 0.3f, 0.4f};
    EXPECT_TRUE(shadow.Changed(GlSlot::Fog, 0, 1, 2.0f, colour));
    float lastChannel[4] = {0.1f, 0.2f, 0.3f, 0.5f};
    EXPECT_TRUE(shadow.Changed(GlSlot::Fog, 0, 1, 2.0f, lastChannel));
    EXPECT_TRUE(shadow.Changed(GlSlot::Fog, 0, 1, 2.5f, lastChannel));
    EXPECT_FALSE(shadow.Changed(GlSlot::Fog, 0, 1, 2.5f, lastChannel));

    // A whole matrix, down to its last element.
    D3DMATRIX matrix{};
    EXPECT_TRUE(shadow.Changed(GlSlot::Projection, 0, matrix));
    matrix._44 = 1.0f;
    EXPECT_TRUE(shadow.Changed(GlSlot::Projection, 0, matrix));
    // The same key with values of another length: the screen projection after a matrix.
    EXPECT_TRUE(shadow.Changed(GlSlot::Projection, 0, true, 0u, 0u, 64u, 64u));
    EXPECT_FALSE(shadow.Changed(GlSlot::Projection, 0, true, 0u, 0u, 64u, 64u));
}

TEST(GlStateShadowTest, KeysOfAnotherSlotOrIndexAreIndependent) {
    GlStateShadow shadow;
    EXPECT_TRUE(shadow.Changed(GlSlot::TextureEnable, 0, true));
    EXPECT_TRUE(shadow.Changed(GlSlot::TextureEnable, 1, true));
    EXPECT_TRUE(shadow.Changed(GlSlot::ClientArray, 0, true));
    EXPECT_FALSE(shadow.Changed(GlSlot::TextureEnable, 0, true));
    EXPECT_TRUE(shadow.Changed(GlSlot::TextureEnable, 1, false));
    EXPECT_FALSE(shadow.Changed(GlSlot::ClientArray, 0, true));
    // Texture names beyond 16 bits stay apart.
    EXPECT_TRUE(shadow.Changed(GlSlot::Sampler, 0x10001u, 1));
    EXPECT_TRUE(shadow.Changed(GlSlot::Sampler, 0x00001u, 2));
    EXPECT_FALSE(shadow.Changed(GlSlot::Sampler, 0x10001u, 1));
}

TEST(GlStateShadowTest, ForgettingMakesTheNextSettingGoOut) {
    GlStateShadow shadow;
    EXPECT_TRUE(shadow.Changed(GlSlot::CurrentColour, 0, 1.0f));
    EXPECT_TRUE(shadow.Changed(GlSlot::ColourMask, 0, true, true, true, true));
    shadow.Forget(GlSlot::CurrentColour, 0);
    EXPECT_TRUE(shadow.Changed(GlSlot::CurrentColour, 0, 1.0f));
    EXPECT_FALSE(shadow.Changed(GlSlot::ColourMask, 0, true, true, true, true));
    shadow.ForgetAll();
    EXPECT_TRUE(shadow.Changed(GlSlot::CurrentColour, 0, 1.0f));
    EXPECT_TRUE(shadow.Changed(GlSlot::ColourMask, 0, true, true, true, true));
}

}  // namespace
