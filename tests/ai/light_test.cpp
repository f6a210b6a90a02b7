#include <gtest/gtest.h>

#include "ai/light_components.h"
#include "ai/light_manager.h"
#include "platform/d3d8/recording_control.h"
#include "tests/ai/component_fixture.h"
#include "tests/platform/d3d8_test_support.h"

using namespace zumbo::test;

namespace {

constexpr DWORD kSlots = 8;  // the recording device's limit of active lights

class LightTest : public ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        CLightManager::DestroyInstance();
        m_direct3D = d3d8::CreateRecordingDirect3D();
        D3DPRESENT_PARAMETERS parameters = WindowedParameters();
        ASSERT_EQ(m_direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, nullptr,
                                           D3DCREATE_HARDWARE_VERTEXPROCESSING, &parameters, &m_device),
                  D3D_OK);
    }
    void TearDown() override {
        CLightManager::DestroyInstance();
        m_device->Release();
        m_direct3D->Release();
        ComponentTest::TearDown();
    }

    CLightManager& Manager() { return CLightManager::Instance(); }

    // Spawns a white light of this range at x, so that a slot tells which light it holds.
    void Spawn(float x, float range, int fadeIn = 0, int hold = 100, int fadeOut = 0) {
        Manager().SpawnDynamicLight(D3DXVECTOR3(x, 0, 0), D3DCOLORVALUE{1, 1, 1, 1}, range, fadeIn, hold,
                                    fadeOut);
    }

    bool Enabled(DWORD slot) {
        bool enabled = true;
        EXPECT_EQ(m_device->GetLightEnable(slot, &enabled), D3D_OK);
        return enabled;
    }
    D3DLIGHT8 Slot(DWORD slot) {
        D3DLIGHT8 light{};
        EXPECT_EQ(m_device->GetLight(slot, &light), D3D_OK);
        return light;
    }

    IDirect3D8* m_direct3D = nullptr;
    IDirect3DDevice8* m_device = nullptr;
};

std::vector<float> SpawnedXs(const CLightManager& manager) {
    std::vector<float> xs;
    for (const auto& light : manager.DynamicLights()) {
        xs.push_back(-light.light.Position.x);
    }
    return xs;
}

}  // namespace

TEST_F(LightTest, EnvelopeRisesHoldsAndFallsThenTheLightIsRemoved) {
    Manager().SpawnDynamicLight(D3DXVECTOR3(1, 2, 3), D3DCOLORVALUE{0.5f, 1.0f, 0.25f, 0.75f}, 10, 2, 2, 2);
    const float expected[] = {0.0f, 0.5f, 1.0f, 1.0f, 1.0f, 0.5f};
    for (int age = 0; age < 6; ++age) {
        ASSERT_EQ(Manager().DynamicLights().size(), 1u) << age;
        const D3DLIGHT8& light = Manager().DynamicLights()[0].light;
        EXPECT_FLOAT_EQ(light.Diffuse.r, 0.5f * expected[age]) << age;
        EXPECT_FLOAT_EQ(light.Specular.g, 1.0f * expected[age]) << age;
        EXPECT_FLOAT_EQ(light.Ambient.b, 0.25f * expected[age]) << age;
        EXPECT_FLOAT_EQ(light.Diffuse.a, 0.75f) << age;
        Manager().Tick();
    }
    EXPECT_TRUE(Manager().DynamicLights().empty());
}

TEST_F(LightTest, DynamicLightIsAPointLightWithMirroredX) {
    Spawn(4, 12);
    const D3DLIGHT8& light = Manager().DynamicLights()[0].light;
    EXPECT_EQ(light.Type, D3DLIGHT_POINT);
    EXPECT_FLOAT_EQ(light.Position.x, -4.0f);
    EXPECT_FLOAT_EQ(light.Range, 12.0f);
    EXPECT_FLOAT_EQ(light.Attenuation0, 1.0f);
    EXPECT_FLOAT_EQ(light.Attenuation1, 0.0f);
    EXPECT_FLOAT_EQ(light.Falloff, 0.0f);
}

TEST_F(LightTest, EnvelopeOfZeroOrNegativeLengthsNeverDividesByZero) {
    EXPECT_FLOAT_EQ(CLightManager::Intensity(0, 0, 0, 0), 1.0f);
    EXPECT_FLOAT_EQ(CLightManager::Intensity(1, 0, 0, 0), 0.0f);
    EXPECT_FLOAT_EQ(CLightManager::Intensity(0, -3, -3, -3), 0.0f);
    EXPECT_FLOAT_EQ(CLightManager::Intensity(5, 2147483647, 2147483647, 2), 5.0f / 2147483647.0f);
    Spawn(0, 1, 0, 0, 0);
    Manager().Tick();
    EXPECT_TRUE(Manager().DynamicLights().empty());
}

TEST_F(LightTest, StaticLightsFirstThenDynamicAndEveryFreeSlotDisabled) {
    D3DLIGHT8 statics[3]{};
    for (int k = 0; k < 3; ++k) {
        statics[k].Type = D3DLIGHT_DIRECTIONAL;
        statics[k].Range = 100.0f + k;
        Manager().AddStaticLight(&statics[k]);
    }
    for (int k = 0; k < 7; ++k) {
        Spawn(static_cast<float>(k), 10.0f + k);
    }
    Manager().ApplyToDevice(m_device, true, true);
    for (DWORD slot = 0; slot < 3; ++slot) {
        EXPECT_TRUE(Enabled(slot));
        EXPECT_FLOAT_EQ(Slot(slot).Range, 100.0f + slot);
    }
    // Five slots remain for seven dynamic lights: the two weakest (ranges 10 and 11) give way.
    for (DWORD slot = 3; slot < kSlots; ++slot) {
        EXPECT_TRUE(Enabled(slot));
        EXPECT_FLOAT_EQ(Slot(slot).Range, 12.0f + (slot - 3)) << slot;
    }

    // Without the static flag the dynamic lights start at slot 0; the last slot stays dark.
    Manager().ApplyToDevice(m_device, false, true);
    for (DWORD slot = 0; slot < 7; ++slot) {
        EXPECT_TRUE(Enabled(slot));
        EXPECT_FLOAT_EQ(Slot(slot).Range, 10.0f + slot);
    }
    EXPECT_FALSE(Enabled(7));

    // Lights that ended leave their slots disabled on the next application.
    Manager().RemoveStaticLight(&statics[1]);
    Manager().ApplyToDevice(m_device, true, false);
    EXPECT_FLOAT_EQ(Slot(0).Range, 100.0f);
    EXPECT_FLOAT_EQ(Slot(1).Range, 102.0f);
    for (DWORD slot = 2; slot < kSlots; ++slot) {
        EXPECT_FALSE(Enabled(slot)) << slot;
    }
}

TEST_F(LightTest, MoreStaticLightsThanSlotsStopAtTheLimit) {
    std::vector<D3DLIGHT8> statics(kSlots + 2);
    for (auto& light : statics) {
        Manager().AddStaticLight(&light);
    }
    Spawn(0, 50);
    Manager().ApplyToDevice(m_device, true, true);
    EXPECT_EQ(d3d8::RecordingControl::LastDevice()->Record().Calls("SetLight"), kSlots);
    D3DLIGHT8 beyond{};
    EXPECT_NE(m_device->GetLight(kSlots, &beyond), D3D_OK);
}

TEST_F(LightTest, FullStoreEvictsTheWeakestByIntensityTimesRangeTheSameWayEveryRun) {
    // Ranges 10..16; the light of range 16 is still fading in (intensity 0.25 at age 0 + 1 tick
    // of a 4-tick fade-in), so 16 x 0.25 = 4 is the weakest of all.
    for (int k = 0; k < 6; ++k) {
        Spawn(static_cast<float>(k), 10.0f + k);
    }
    Spawn(6, 16, 4, 10, 0);
    Manager().Tick();
    Spawn(7, 1);
    EXPECT_EQ(SpawnedXs(Manager()), (std::vector<float>{0, 1, 2, 3, 4, 5, 7}));
    Spawn(8, 12);  // the new light of range 1 is now the weakest
    EXPECT_EQ(SpawnedXs(Manager()), (std::vector<float>{0, 1, 2, 3, 4, 5, 8}));
    Spawn(9, 11);
    EXPECT_EQ(SpawnedXs(Manager()), (std::vector<float>{1, 2, 3, 4, 5, 8, 9}));
    // Lights at x 1 and x 9 both have range 11: the earlier one gives way.
    Spawn(10, 20);
    EXPECT_EQ(SpawnedXs(Manager()), (std::vector<float>{2, 3, 4, 5, 8, 9, 10}));
}

TEST_F(LightTest, StaticLightComponentReadsItsPropertiesAndUnregistersOnDestruction) {
    CEntity& entity = LoadEntity({});
    auto component = Create({"CAIStaticLight",
                             {{"sType", "sPoT"},
                              {"p3Diffuse", "0.5,0.25,0"},
                              {"p3Position", "1,2,3"},
                              {"fRange", "40"},
                              {"fTheta", "0.5"},
                              {"fAttenuation1", "0.125"}}},
                            &entity);
    ASSERT_NE(component, nullptr);
    ASSERT_EQ(Manager().StaticLights().size(), 1u);
    const D3DLIGHT8& light = *Manager().StaticLights()[0];
    EXPECT_EQ(light.Type, D3DLIGHT_SPOT);
    EXPECT_FLOAT_EQ(light.Diffuse.r, 0.5f);
    EXPECT_FLOAT_EQ(light.Diffuse.g, 0.25f);
    EXPECT_FLOAT_EQ(light.Diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(light.Specular.r, 1.0f);  // default white
    EXPECT_FLOAT_EQ(light.Position.z, 3.0f);  // not mirrored: static lights are used as given
    EXPECT_FLOAT_EQ(light.Direction.z, 1.0f);
    EXPECT_FLOAT_EQ(light.Range, 40.0f);
    EXPECT_FLOAT_EQ(light.Theta, 0.5f);
    EXPECT_FLOAT_EQ(light.Attenuation1, 0.125f);
    EXPECT_FLOAT_EQ(light.Phi, 0.0f);
    component.reset();
    EXPECT_TRUE(Manager().StaticLights().empty());

    auto unknown = Create({"CAIStaticLight", {{"sType", "Laser"}}}, &entity);
    EXPECT_EQ(Manager().StaticLights()[0]->Type, D3DLIGHT_DIRECTIONAL);
}

TEST_F(LightTest, SpawnerLightsAtTheEntityWithTheMultipliedColourAndDiesOnItsFirstTick) {
    CEntity& entity = LoadEntity({}, "CAINoPhysics", nullptr, {{"p3Position", "5,6,7"}});
    Tick(entity, 1);
    auto spawner = Create({"CAISpawnDynamicLight",
                           {{"p3Color", "0.5,0.25,1"},
                            {"fMultiplier", "2"},
                            {"fRange", "8"},
                            {"iFadeInTime", "0"},
                            {"iDelay", "3"},
                            {"iFadeOutTime", "1"}}},
                          &entity);
    spawner->Update();
    EXPECT_TRUE(entity.IsKilled());
    ASSERT_EQ(Manager().DynamicLights().size(), 1u);
    const auto& record = Manager().DynamicLights()[0];
    EXPECT_FLOAT_EQ(record.light.Position.x, -5.0f);
    EXPECT_FLOAT_EQ(record.light.Position.y, 6.0f);
    EXPECT_FLOAT_EQ(record.light.Position.z, 7.0f);
    EXPECT_FLOAT_EQ(record.light.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(record.light.Diffuse.g, 0.5f);
    EXPECT_FLOAT_EQ(record.light.Diffuse.b, 2.0f);
    EXPECT_FLOAT_EQ(record.light.Diffuse.a, 1.0f);
    EXPECT_EQ(record.hold, 3);
    // Fade-in 0, hold 3, fade-out 1: four ticks of light.
    for (int tick = 0; tick < 3; ++tick) {
        Manager().Tick();
    }
    EXPECT_EQ(Manager().DynamicLights().size(), 1u);
    Manager().Tick();
    EXPECT_TRUE(Manager().DynamicLights().empty());
}
