#include <gtest/gtest.h>

#include <cmath>

#include "app/camera_manager.h"
#include "tests/ai/component_fixture.h"

using namespace zumbo::test;

namespace {

constexpr float kDegree = 3.14159265358979f / 180.0f;

class BillBoardTest : public ComponentTest {
protected:
    void TearDown() override {
        CCameraManager::Instance().Reset(1.0f);
        ComponentTest::TearDown();
    }

    static void LookAlong(const D3DXVECTOR3& direction) {
        CCameraManager& cameras = CCameraManager::Instance();
        cameras.SetView(cameras.SceneCamera(), {0, 0, 0}, direction, {0, 1, 0});
    }

    static D3DXVECTOR3 YAxisOf(const D3DXMATRIX& m) { return {m._21, m._22, m._23}; }
};

}  // namespace

TEST_F(BillBoardTest, TurnsTheYAxisOntoTheViewDirection) {
    LookAlong({0, 0, 5});
    CEntity& entity = LoadEntity({{"CAIPosition", {{"p3Position", "1,2,3"}}}}, nullptr, nullptr,
                                 {{"bViewOriented", "true"}});
    Tick(entity, 1);
    ExpectMatrixNear(RotationX(90 * kDegree) * Translation(1, 2, 3), entity.GetPlacementMatrix());

    LookAlong({1, 0, 1});
    Tick(entity, 1);
    ExpectVectorNear({std::sqrt(0.5f), 0, std::sqrt(0.5f)}, YAxisOf(entity.GetPlacementMatrix()));
}

TEST_F(BillBoardTest, AnEntityFacingExactlyAwayFromTheCameraIsLeftAlone) {
    // The y axis points against the view: no single turn takes one onto the other.
    LookAlong({0, -3, 0});
    CEntity& entity = LoadEntity({{"CAIPosition", {{"p3Position", "1,2,3"}}}}, nullptr, nullptr,
                                 {{"bViewOriented", "true"}});
    Tick(entity, 1);
    ExpectMatrixNear(Translation(1, 2, 3), entity.GetPlacementMatrix());
}

TEST_F(BillBoardTest, AParentRelativeBillboardIgnoresTheParentRotation) {
    LookAlong({0, 0, 1});
    CEntity& parent = LoadEntity({{"CAIRotateZ", {{"fRotateAngle", "90"}, {"fRotateSpeed", "0"}}}});
    CEntity& child = LoadEntity({}, nullptr, nullptr, {{"bViewOriented", "true"}});
    parent.AddChild(&child);
    Tick(parent, 1);
    ExpectMatrixNear(RotationX(90 * kDegree) * RotationZ(-90 * kDegree), child.GetPlacementMatrix());
    ExpectMatrixNear(RotationX(90 * kDegree), child.GetWorldPlacementMatrix());
}
