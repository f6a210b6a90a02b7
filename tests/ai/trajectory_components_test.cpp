#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "ai/matrix_components.h"
#include "ai/random_move_rotate.h"
#include "ai/scale.h"
#include "engine/ai_factory.h"
#include "resource/xml.h"
#include "tests/ai/component_fixture.h"

using namespace zumbo::test;

namespace {

constexpr float kDegree = 3.14159265358979f / 180.0f;

class TrajectoryTest : public ComponentTest {};

}  // namespace

TEST_F(TrajectoryTest, EveryMotionClassIsCreatedByItsExactNameWithItsOwner) {
    CEntity& owner = LoadEntity({});
    const char* names[] = {"CAIIdentityMatrix",
                           "CAIMoveY",
                           "CAIMoveZ",
                           "CAIMoveByVector",
                           "CAIMoveSinX",
                           "CAIMoveWithParent",
                           "CAIRandomMoveRotate",
                           "CAIRotateX",
                           "CAIRotateY",
                           "CAIRotateZ",
                           "CAISinRotateY",
                           "CAIRotateAroundAxis",
                           "CAIScale",
                           "CAIScaleWithParent",
                           "CAIVolumePingPong",
                           "CAIBillBoard",
                           "CAIPosition",
                           "CAIMoveByCircle",
                           "CAINoPhysics",
                           "CAIDefaultPhysics",
                           "CAIDefaultLifeTime",
                           "CAISingleLoopAnimationLifeTime",
                           "CAISingleTickLifeTime"};
    for (const char* name : names) {
        const std::unique_ptr<C_AI> component = Create({name, {}}, &owner);
        ASSERT_NE(nullptr, component) << name;
        EXPECT_EQ(&owner, component->GetOwner()) << name;
    }
    EXPECT_EQ(nullptr, Create({"caimovey", {}}, &owner));
    EXPECT_EQ(nullptr, Create({"CAIMatrix", {}}, &owner));
}

TEST_F(TrajectoryTest, IdentityMatrixAndFixedMatrixBuildTheTrajectory) {
    CEntity& entity = LoadEntity({});
    entity.GetTrajectoryMatrix() = Translation(5, 5, 5);
    CAIIdentityMatrix reset(&entity);
    reset.Update();
    ExpectMatrixNear(Identity(), entity.GetTrajectoryMatrix());

    CAIMatrix fixed(&entity);
    ExpectMatrixNear(Identity(), fixed.GetMatrix());
    D3DXMATRIX stray = RotationZ(0.5f) * Translation(1, 2, 3);
    stray._14 = 9.0f;
    fixed.SetMatrix(stray);
    entity.GetTrajectoryMatrix() = RotationX(0.25f);
    fixed.Update();
    ExpectMatrixNear(RotationX(0.25f) * RotationZ(0.5f) * Translation(1, 2, 3), entity.GetTrajectoryMatrix());
}

TEST_F(TrajectoryTest, PositionSetsTheTranslationAndKeepsTheRotation) {
    CEntity& entity = LoadEntity({{"CAIRotateZ", {{"fRotateAngle", "90"}, {"fRotateSpeed", "0"}}},
                                  {"CAIPosition", {{"p3Position", "1,2,3"}}}});
    Tick(entity, 2);
    ExpectMatrixNear(RotationZ(90 * kDegree) * Translation(1, 2, 3), entity.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, MoveYAndMoveZAccumulateTheirDistance) {
    CEntity& byDefault = LoadEntity({{"CAIMoveY", {}}});
    Tick(byDefault, 3);
    ExpectMatrixNear(Translation(0, 4.5f, 0), byDefault.GetPlacementMatrix());

    CEntity& perSecond = LoadEntity({{"CAIMoveY", {{"fSpeed", "90"}}}});
    Tick(perSecond, 3);
    ExpectMatrixNear(Translation(0, 4.5f, 0), perSecond.GetPlacementMatrix());

    CEntity& alongZ = LoadEntity({{"CAIMoveZ", {{"fSpeed", "-60"}}}});
    Tick(alongZ, 4);
    ExpectMatrixNear(Translation(0, 0, -4), alongZ.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, MoveSinXSwingsWithItsPhase) {
    CEntity& entity = LoadEntity({{"CAIMoveSinX", {{"fAmplitude", "2"}, {"fAngleSpeed", "6"}}}});
    Tick(entity, 5);
    ExpectMatrixNear(Translation(2 * std::sin(0.5f), 0, 0), entity.GetPlacementMatrix());

    CEntity& byDefault = LoadEntity({{"CAIMoveSinX", {}}});
    Tick(byDefault, 30);  // 30 × 3 degrees
    ExpectMatrixNear(Translation(3, 0, 0), byDefault.GetPlacementMatrix(), 1e-4f);
}

TEST_F(TrajectoryTest, MoveByVectorBrakesToAStopAndStays) {
    // 1 unit per tick, -0.3 per tick squared, along (0, 0.6, 0.8).
    CEntity& entity = LoadEntity({{"CAIMoveByVector",
                                   {{"p3Vector", "0,3,4"},
                                    {"fSpeed", "60"},
                                    {"fAcceleration", "-1080"},
                                    {"bStopOnZeroSpeed", "true"}}}});
    const float distances[] = {0.7f, 1.1f, 1.1f, 1.1f, 1.1f};
    for (float distance : distances) {
        Tick(entity, 1);
        ExpectMatrixNear(Translation(0, 0.6f * distance, 0.8f * distance), entity.GetPlacementMatrix());
    }

    CEntity& reversing = LoadEntity(
        {{"CAIMoveByVector", {{"p3Vector", "2,0,0"}, {"fSpeed", "60"}, {"fAcceleration", "-1080"}}}});
    Tick(reversing, 5);  // speeds 0.7, 0.4, 0.1, -0.2, -0.5
    ExpectMatrixNear(Translation(0.5f, 0, 0), reversing.GetPlacementMatrix());

    CEntity& noDirection = LoadEntity({{"CAIMoveByVector", {{"fSpeed", "60"}}}});
    Tick(noDirection, 3);
    ExpectMatrixNear(Identity(), noDirection.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, MoveByCircleTurnsRightByDefaultAndLeftOnRequest) {
    // Radius 2, path speed 0.1 per tick: the angle grows by 0.05 per tick.
    CEntity& right =
        LoadEntity({{"CAIMoveByCircle", {{"fRadius", "2"}, {"fSpeed", "6"}, {"sDirection", "Up"}}}});
    Tick(right, 10);
    const float phi = -0.5f;
    D3DXMATRIX expected = RotationZ(phi);
    expected._41 = 2 * std::cos(phi) + 2;
    expected._42 = 2 * std::sin(phi);
    ExpectMatrixNear(expected, right.GetPlacementMatrix());

    CEntity& left =
        LoadEntity({{"CAIMoveByCircle", {{"fRadius", "2"}, {"fSpeed", "6"}, {"sDirection", "LEFT"}}}});
    Tick(left, 10);
    expected = RotationZ(0.5f);
    expected._41 = -2 * std::cos(0.5f) - 2;
    expected._42 = -2 * std::sin(0.5f);
    ExpectMatrixNear(expected, left.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, MoveByCirclePassesThroughTheOriginAtHalfATurn) {
    // Path speed π per tick on a unit circle: half a turn in one tick.
    CEntity& entity = LoadEntity({{"CAIMoveByCircle", {{"fSpeed", "188.49556"}}}});
    Tick(entity, 1);
    EXPECT_NEAR(0.0f, entity.GetPlacementMatrix()._41, 1e-5f);
    EXPECT_NEAR(0.0f, entity.GetPlacementMatrix()._42, 1e-5f);
}

TEST_F(TrajectoryTest, DegenerateRadiusAndAxisLeaveTheTrajectoryUnchanged) {
    CEntity& entity = LoadEntity({{"CAIMoveY", {{"fSpeed", "60"}}},
                                  {"CAIMoveByCircle", {{"fRadius", "0"}}},
                                  {"CAIRotateAroundAxis", {}}});
    Tick(entity, 3);
    ExpectMatrixNear(Translation(0, 3, 0), entity.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, ScaleWithParentFollowsTheParentAxesAndSkipsZeroRows) {
    CEntity& parent = LoadEntity({{"CAIScale", {{"p3Scale", "2,3,4"}}}, {"CAIMoveY", {{"fSpeed", "60"}}}});
    CEntity& child = LoadEntity({{"CAIRotateZ", {{"fRotateAngle", "90"}, {"fRotateSpeed", "0"}}},
                                 {"CAIScaleWithParent", {{"p3Scale", "0.5,2,1"}}}});
    parent.AddChild(&child);
    Tick(parent, 1);
    D3DXMATRIX expected = RotationZ(90 * kDegree);
    D3DXMATRIX lengths;
    D3DXMatrixScaling(&lengths, 1, 6, 4);
    ExpectMatrixNear(lengths * expected, child.GetPlacementMatrix());

    CEntity& flat =
        LoadEntity({{"CAIScale", {{"p3Scale", "0,1,1"}}}, {"CAIScaleWithParent", {{"p3Scale", "2,3,4"}}}});
    Tick(flat, 1);
    D3DXMatrixScaling(&expected, 0, 3, 4);
    ExpectMatrixNear(expected, flat.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, MoveWithParentPlacesTheOwnerAtTheParentPositionPlusTheOffset) {
    CEntity& parent = LoadEntity({{"CAIRotateZ", {{"fRotateAngle", "90"}, {"fRotateSpeed", "0"}}},
                                  {"CAIPosition", {{"p3Position", "10,20,30"}}}});
    CEntity& onTrajectory = LoadEntity(
        {{"CAIRotateX", {{"fRotateAngle", "90"}}}, {"CAIMoveWithParent", {{"p3Position", "1,2,3"}}}}, nullptr,
        nullptr, {{"bParentRelativeTransform", "false"}});
    CEntity& onPlacement =
        LoadEntity({{"CAIMoveWithParent", {{"p3Position", "1,2,3"}, {"bApplyToTrajectory", "false"}}}},
                   "CAINoPhysics", nullptr, {{"bParentRelativeTransform", "false"}});
    parent.AddChild(&onTrajectory);
    parent.AddChild(&onPlacement);
    Tick(parent, 1);
    // The parent's rotation does not turn the offset.
    ExpectMatrixNear(RotationX(90 * kDegree) * Translation(11, 22, 33),
                     onTrajectory.GetWorldPlacementMatrix());
    ExpectMatrixNear(Translation(11, 22, 33), onPlacement.GetWorldPlacementMatrix());
    ExpectMatrixNear(Identity(), onPlacement.GetTrajectoryMatrix());

    CEntity& root = LoadEntity({{"CAIMoveWithParent", {{"p3Position", "1,2,3"}}}});
    Tick(root, 1);
    ExpectMatrixNear(Translation(1, 2, 3), root.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, RotateYTurnsThreeDegreesPerTickAndRotateXStandsStill) {
    CEntity& turning = LoadEntity({{"CAIRotateY", {}}});
    Tick(turning, 10);
    ExpectMatrixNear(RotationY(30 * kDegree), turning.GetPlacementMatrix());

    CEntity& still = LoadEntity({{"CAIRotateX", {}}});
    Tick(still, 10);
    ExpectMatrixNear(Identity(), still.GetPlacementMatrix());

    CEntity& alongZ = LoadEntity({{"CAIRotateZ", {{"fRotateAngle", "10"}, {"fRotateSpeed", "-60"}}}});
    Tick(alongZ, 4);  // 10 degrees, then -1 degree per tick
    ExpectMatrixNear(RotationZ(6 * kDegree), alongZ.GetPlacementMatrix());

    CEntity& alongX = LoadEntity({{"CAIRotateX", {{"fRotateSpeed", "120"}}}});
    Tick(alongX, 5);
    ExpectMatrixNear(RotationX(10 * kDegree), alongX.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, RotationTurnsThePositionBuiltBeforeIt) {
    CEntity& entity = LoadEntity({{"CAIPosition", {{"p3Position", "1,0,0"}}},
                                  {"CAIRotateZ", {{"fRotateAngle", "90"}, {"fRotateSpeed", "0"}}}});
    Tick(entity, 1);
    EXPECT_NEAR(0.0f, entity.GetPlacementMatrix()._41, 1e-6f);
    EXPECT_NEAR(1.0f, entity.GetPlacementMatrix()._42, 1e-6f);
}

TEST_F(TrajectoryTest, SinRotateYSwaysByItsAmplitude) {
    CEntity& entity = LoadEntity({{"CAISinRotateY", {{"fAmplitude", "30"}}}});
    Tick(entity, 10);  // phase 30 degrees
    ExpectMatrixNear(RotationY(30 * kDegree * std::sin(30 * kDegree)), entity.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, RotateAroundAxisTurnsAboutAnyAxis) {
    CEntity& aboutZ = LoadEntity({{"CAIRotateAroundAxis", {{"p3RotationAxis", "0,0,5"}}}});
    Tick(aboutZ, 7);
    ExpectMatrixNear(RotationZ(21 * kDegree), aboutZ.GetPlacementMatrix());

    CEntity& diagonal =
        LoadEntity({{"CAIRotateAroundAxis", {{"p3RotationAxis", "1,1,1"}, {"fRotateSpeed", "7200"}}}});
    Tick(diagonal, 1);  // 120 degrees: x goes to y
    const D3DXVECTOR3 x(1, 0, 0);
    D3DXVECTOR3 turned;
    D3DXVec3TransformNormal(&turned, &x, &diagonal.GetPlacementMatrix());
    EXPECT_NEAR(0.0f, turned.x, 1e-5f);
    EXPECT_NEAR(1.0f, turned.y, 1e-5f);
}

TEST_F(TrajectoryTest, ScaleGrowsByAddingAndMultiplying) {
    CEntity& entity = LoadEntity(
        {{"CAIMoveY", {{"fSpeed", "60"}}},
         {"CAIScale",
          {{"p3Scale", "2,1,1"}, {"p3ScaleVelocityAdd", "60,0,0"}, {"p3ScaleVelocityMul", "1,2,1"}}}});
    Tick(entity, 1);
    D3DXMATRIX expected;
    D3DXMatrixScaling(&expected, 2, 1, 1);
    expected._42 = 1.0f;
    ExpectMatrixNear(expected, entity.GetPlacementMatrix());
    Tick(entity, 1);
    // Scale (3, 1.0166667, 1); the translation row is scaled too.
    D3DXMatrixScaling(&expected, 3, 1.0166667f, 1);
    expected._42 = 2.0f * 1.0166667f;
    ExpectMatrixNear(expected, entity.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, VolumePingPongBouncesInsideItsBoxInEitherCornerOrder) {
    const Properties forward = {
        {"p3BoundsP1", "0,0,0"}, {"p3BoundsP2", "0.6,1,1"}, {"p3InitialSpeedVector", "0.25,0,0"}};
    const Properties backward = {
        {"p3BoundsP1", "0.6,1,1"}, {"p3BoundsP2", "0,0,0"}, {"p3InitialSpeedVector", "0.25,0,0"}};
    CEntity& a = LoadEntity({{"CAIVolumePingPong", forward}});
    CEntity& b = LoadEntity({{"CAIVolumePingPong", backward}});
    // Above the box after the third tick, back inside, below it after the seventh.
    const float xs[] = {0.25f, 0.5f, 0.75f, 0.5f, 0.25f, 0.0f, -0.25f, 0.0f};
    for (float x : xs) {
        Tick(a, 1);
        Tick(b, 1);
        EXPECT_NEAR(x, a.GetPlacementMatrix()._41, 1e-5f);
        EXPECT_NEAR(x, b.GetPlacementMatrix()._41, 1e-5f);
    }
}

TEST_F(TrajectoryTest, VolumePingPongOutsideOnTheLowSideMovesInward) {
    CEntity& entity = LoadEntity({{"CAIVolumePingPong",
                                   {{"p3BoundsP1", "0,0,0"},
                                    {"p3BoundsP2", "10,10,10"},
                                    {"p3InitialPosition", "0,-5,5"},
                                    {"p3InitialSpeedVector", "0,-1,0"}}}});
    for (int tick = 1; tick <= 5; ++tick) {
        Tick(entity, 1);
        EXPECT_NEAR(-5.0f + tick, entity.GetPlacementMatrix()._42, 1e-5f);
        EXPECT_NEAR(5.0f, entity.GetPlacementMatrix()._43, 1e-5f);
    }
}

TEST_F(TrajectoryTest, RandomMoveRotateDriftsAndTumblesAtTheDrawnRates) {
    std::srand(7);
    CEntity& entity = LoadEntity({{"CAIRandomMoveRotate",
                                   {{"fMaxMoveSpeed", "60"},
                                    {"fMinRotateSpeed", "600"},
                                    {"fMaxRotateSpeed", "600"},
                                    {"fInitialDistance", "5"}}}});
    const auto& component = static_cast<const CAIRandomMoveRotate&>(*entity.GetSuffixComponents().front());
    const D3DXVECTOR3 velocity = component.GetVelocity();
    const float speed = D3DXVec3Length(&velocity);
    EXPECT_GT(speed, 0.0f);
    EXPECT_LE(speed, std::sqrt(3.0f));
    // The step rotation turns by exactly 10 degrees: its trace is 1 + 2 cos 10°.
    const D3DXMATRIX& step = component.GetStepRotation();
    EXPECT_NEAR(1 + 2 * std::cos(10 * kDegree), step._11 + step._22 + step._33, 1e-5f);

    Tick(entity, 3);
    const D3DXMATRIX& placement = entity.GetPlacementMatrix();
    const D3DXVECTOR3 expectedOffset = velocity / speed * 5.0f + velocity * 3.0f;
    EXPECT_NEAR(expectedOffset.x, placement._41, 1e-4f);
    EXPECT_NEAR(expectedOffset.y, placement._42, 1e-4f);
    EXPECT_NEAR(expectedOffset.z, placement._43, 1e-4f);
    EXPECT_NEAR(1 + 2 * std::cos(30 * kDegree), placement._11 + placement._22 + placement._33, 1e-4f);
}

TEST_F(TrajectoryTest, RandomMoveRotateInitialPositionOverridesTheDistance) {
    CEntity& entity = LoadEntity({{"CAIRandomMoveRotate",
                                   {{"fMaxMoveSpeed", "0"},
                                    {"fMaxRotateSpeed", "0"},
                                    {"fInitialDistance", "5"},
                                    {"p3InitialPosition", "1,2,3"}}}});
    Tick(entity, 4);
    ExpectMatrixNear(Translation(1, 2, 3), entity.GetPlacementMatrix());
}

TEST_F(TrajectoryTest, RandomMoveRotateBrakesItsSpeedWithTheStopFlag) {
    CEntity& entity = LoadEntity({{"CAIRandomMoveRotate",
                                   {{"fMaxMoveSpeed", "60"},
                                    {"fMaxRotateSpeed", "0"},
                                    {"fAcceleration", "-3600000"},
                                    {"bStopOnZeroSpeed", "true"}}}});
    Tick(entity, 3);
    const auto& component = static_cast<const CAIRandomMoveRotate&>(*entity.GetSuffixComponents().front());
    EXPECT_EQ(D3DXVECTOR3(0, 0, 0), component.GetVelocity());
    ExpectMatrixNear(Identity(), entity.GetPlacementMatrix());
}
