#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ai/screen_saver_logic.h"
#include "app/camera_manager.h"
#include "tests/ai/component_fixture.h"

namespace {

using zumbo::test::ComponentTest;

class ScreenSaverLogicTest : public ComponentTest {
protected:
    void SetUp() override {
        ComponentTest::SetUp();
        CAIScreenSaverLogic::ResetProcessState();
    }
};

TEST_F(ScreenSaverLogicTest, ConstructionPlacesTheSceneCamera) {
    auto logic = Create(
        {"CAIScreenSaverLogic", {{"fFOV", "60"}, {"p3EyePoint", "1,2,3"}, {"p3LookAtPoint", "4,5,6"}}});
    ASSERT_NE(logic, nullptr);
    const CCamera& camera = CCameraManager::Instance().SceneCamera();
    EXPECT_NEAR(camera.fieldOfView, 1.0471976f, 1e-6f) << "60 degrees is pi/3";
    EXPECT_FLOAT_EQ(camera.eye.x, 1.0f);
    EXPECT_FLOAT_EQ(camera.lookAt.z, 6.0f);
    EXPECT_FLOAT_EQ(camera.up.z, 1.0f);
    EXPECT_FLOAT_EQ(camera.nearPlane, 1.0f);
    EXPECT_FLOAT_EQ(camera.farPlane, 300.0f);

    Create({"CAIScreenSaverLogic", {}});
    EXPECT_NEAR(CCameraManager::Instance().SceneCamera().fieldOfView, 0.7853982f, 1e-6f)
        << "45 degrees by default";
    EXPECT_FLOAT_EQ(CCameraManager::Instance().SceneCamera().eye.y, -271.0f);
}

// A scene without its water is logged once and the logic goes on without it.
TEST_F(ScreenSaverLogicTest, MissingWaterIsLoggedOnceAndNothingElseBreaks) {
    CEntity& owner = LoadEntity({{"CAIScreenSaverLogic", {{"fXAmplitude", "1"}, {"fXFrequency", "1"}}}});
    Tick(owner, 5);
    const auto messages = LogMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(),
                         "Warning: the screen saver scene has no \"water\" child with a mesh."),
              1);
}

}  // namespace
