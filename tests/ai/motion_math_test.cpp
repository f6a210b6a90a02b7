#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ai/affine_math.h"
#include "ai/motion_rules.h"
#include "ai/quaternion_routines.h"
#include "tests/support/matrix_expect.h"

using namespace zumbo::test;

namespace {

constexpr float kTolerance = 1e-5f;

}  // namespace

TEST(MotionRules, PerSecondValuesBecomePerTick) {
    EXPECT_FLOAT_EQ(1.5f, PerTick(90.0f));
    EXPECT_FLOAT_EQ(-0.5f, PerTick(-30.0f));
    EXPECT_FLOAT_EQ(1.0f, PerTickSquared(3600.0f));
    EXPECT_NEAR(3.14159265f, DegreesToRadians(180.0f), 1e-6f);
    // 180 degrees per second is 3 degrees per tick.
    EXPECT_NEAR(0.05235988f, DegreesPerSecondToRadiansPerTick(180.0f), 1e-8f);
    EXPECT_NEAR(1.0166667f, ScaleFactorPerTick(2.0f), 1e-7f);
    EXPECT_FLOAT_EQ(1.0f, ScaleFactorPerTick(1.0f));
}

TEST(MotionRules, AnglesWrapOnceAboveAFullTurnAndNeverBelowZero) {
    EXPECT_FLOAT_EQ(1.0f, AdvanceAngle(0.5f, 0.5f));
    EXPECT_FLOAT_EQ(kFullTurn, AdvanceAngle(kFullTurn - 1.0f, 1.0f));  // equal is not above
    EXPECT_NEAR(6.3f - 6.2831855f, AdvanceAngle(6.0f, 0.3f), 1e-6f);
    // Only one turn comes off, however large the step.
    EXPECT_NEAR(20.0f - kFullTurn, AdvanceAngle(0.0f, 20.0f), 1e-5f);
    float angle = 0.0f;
    for (int tick = 0; tick < 100; ++tick) {
        angle = AdvanceAngle(angle, -1.0f);
    }
    EXPECT_FLOAT_EQ(-100.0f, angle);
}

TEST(MotionRules, DeceleratingMoverStopsAtZeroAndStays) {
    float speed = 1.0f;
    const float expected[] = {0.7f, 0.4f, 0.0f, 0.0f, 0.0f};
    for (float next : expected) {
        speed = AccelerateSpeed(speed, -0.3f, true);
        EXPECT_NEAR(next, speed, 1e-6f);
    }
    // Without the stop flag the mover reverses.
    EXPECT_NEAR(-0.2f, AccelerateSpeed(0.1f, -0.3f, false), 1e-6f);
    // A backwards mover braking forwards stops too.
    EXPECT_EQ(0.0f, AccelerateSpeed(-0.2f, 0.3f, true));
    EXPECT_FLOAT_EQ(2.5f, AccelerateSpeed(2.0f, 0.5f, true));
    // No acceleration keeps the speed, stop flag or not.
    EXPECT_FLOAT_EQ(0.25f, AccelerateSpeed(0.25f, 0.0f, true));
}

TEST(QuaternionRoutines, AxisAngleMatchesTheLibraryRotation) {
    const D3DXVECTOR3 axis(0, 0, 3);  // not unit length
    const D3DXQUATERNION q = QuaternionFromAxisAngle(axis, 90.0);
    EXPECT_NEAR(0.0f, q.x, kTolerance);
    EXPECT_NEAR(std::sqrt(0.5f), q.z, kTolerance);
    EXPECT_NEAR(std::sqrt(0.5f), q.w, kTolerance);
    ExpectMatrixNear(RotationZ(D3DX_PI / 2), MatrixFromQuaternion(q));

    const D3DXVECTOR3 tilted(1, 2, -2);
    D3DXMATRIX expected;
    D3DXMatrixRotationAxis(&expected, &tilted, D3DXToRadian(70.0f));
    ExpectMatrixNear(expected, MatrixFromQuaternion(QuaternionFromAxisAngle(tilted, 70.0)));
}

TEST(QuaternionRoutines, AxisAngleKeepsWNonNegativeForLargeAndNegativeAngles) {
    const D3DXVECTOR3 y(0, 1, 0);
    for (double angle : {-30.0, 200.0, -200.0, 350.0}) {
        const D3DXQUATERNION q = QuaternionFromAxisAngle(y, angle);
        EXPECT_GE(q.w, 0.0f) << angle;
        ExpectMatrixNear(RotationY(D3DXToRadian(static_cast<float>(angle))), MatrixFromQuaternion(q));
    }
}

TEST(QuaternionRoutines, NoRotationAndZeroAxisGiveTheIdentity) {
    const D3DXQUATERNION identity(0, 0, 0, 1);
    EXPECT_EQ(identity, QuaternionFromAxisAngle({1, 0, 0}, 0.0));
    EXPECT_EQ(identity, QuaternionFromAxisAngle({0, 0, 0}, 45.0));
    ExpectMatrixNear(Identity(), MatrixFromQuaternion(D3DXQUATERNION(0, 0, 0, 0)));
    // Any length of quaternion gives a pure rotation.
    ExpectMatrixNear(RotationZ(D3DX_PI / 2), MatrixFromQuaternion(D3DXQUATERNION(0, 0, 5, 5)));
}

TEST(QuaternionRoutines, ArcTurnsOneDirectionOntoAnother) {
    const D3DXVECTOR3 from(0, 2, 0), to(3, 0, 0);
    const D3DXMATRIX r = MatrixFromQuaternion(QuaternionFromArc(from, to));
    D3DXVECTOR3 turned;
    const D3DXVECTOR3 unitY(0, 1, 0);
    D3DXVec3TransformNormal(&turned, &unitY, &r);
    EXPECT_NEAR(1.0f, turned.x, kTolerance);
    EXPECT_NEAR(0.0f, turned.y, kTolerance);
    EXPECT_NEAR(0.0f, turned.z, kTolerance);

    const D3DXQUATERNION identity(0, 0, 0, 1);
    EXPECT_EQ(identity, QuaternionFromArc(from, from * 4.0f));
    EXPECT_EQ(identity, QuaternionFromArc(from, -from));  // opposite: no unique axis
    EXPECT_EQ(identity, QuaternionFromArc({0, 0, 0}, to));
}

TEST(AffineMath, MultiplyAffineAgreesWithTheFullProduct) {
    const D3DXMATRIX a = RotationY(0.4f) * Translation(1, 2, 3);
    D3DXMATRIX b;
    D3DXMatrixScaling(&b, 2, 3, 4);
    b = b * RotationZ(-1.2f) * Translation(-4, 5, 0.5f);
    ExpectMatrixNear(a * b, MultiplyAffine(a, b));
    // A stray fourth column in b does not leak into the result.
    b._14 = 7.0f;
    b._44 = 3.0f;
    const D3DXMATRIX product = MultiplyAffine(a, b);
    EXPECT_EQ(0.0f, product._14);
    EXPECT_EQ(1.0f, product._44);
}

TEST(AffineMath, MultiplyAffineWritesIntoEitherOperand) {
    // Small integers keep every product exact; worked out by hand.
    const D3DXMATRIX a(1, 2, 0, 0, 0, 1, 3, 0, 2, 0, 1, 0, 1, 1, 1, 1);
    const D3DXMATRIX b(2, 0, 1, 0, 1, 1, 0, 0, 0, 3, 1, 0, 5, 6, 7, 1);
    const D3DXMATRIX expected(4, 2, 1, 0, 1, 10, 3, 0, 4, 3, 3, 0, 8, 10, 9, 1);
    D3DXMATRIX intoA = a;
    MultiplyAffine(intoA, b, intoA);
    EXPECT_EQ(expected, intoA);
    D3DXMATRIX intoB = b;
    MultiplyAffine(a, intoB, intoB);
    EXPECT_EQ(expected, intoB);
    EXPECT_EQ(expected, MultiplyAffine(a, b));
}

TEST(AffineMath, RowOperationsLeaveTheOtherColumnsBitForBit) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Turning about y mixes columns 1 and 3 only; column 2 and the fourth column keep even an
    // infinity, a NaN and a negative zero.
    D3DXMATRIX m(1, inf, 2, -0.0f, 3, nan, 4, 0, 5, -0.0f, 6, 0, 7, 8, 9, -0.0f);
    RotateY(m, 0.5f);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(std::signbit(m.m[row][3]), row == 0 || row == 3) << row;
        EXPECT_EQ(0.0f, m.m[row][3]) << row;
    }
    EXPECT_EQ(inf, m._12);
    EXPECT_TRUE(std::isnan(m._22));
    EXPECT_TRUE(std::signbit(m._32));
    EXPECT_EQ(8.0f, m._42);
    // Translating adds to the first three elements of the last row only.
    Translate(m, {1, 2, 3});
    EXPECT_EQ(10.0f, m._42);
    EXPECT_TRUE(std::signbit(m._44));
    EXPECT_EQ(inf, m._12);
}

TEST(AffineMath, AxisRotationsAgreeWithTheLibraryProducts) {
    const D3DXMATRIX start = RotationY(0.4f) * Translation(1, 2, 3);
    D3DXMATRIX x = start, y = start, z = start, turn;
    RotateX(x, 0.7f);
    RotateY(y, 0.7f);
    RotateZ(z, 0.7f);
    ExpectMatrixNear(start * *D3DXMatrixRotationX(&turn, 0.7f), x);
    ExpectMatrixNear(start * RotationY(0.7f), y);
    ExpectMatrixNear(start * RotationZ(0.7f), z);
}

TEST(AffineMath, MultiplyBlockRotatesTheAxesButNotTheTranslation) {
    D3DXMATRIX t = RotationY(0.3f) * Translation(4, 5, 6);
    t._14 = 1.0f;
    MultiplyBlock(t, RotationZ(0.5f) * Translation(9, 9, 9));
    D3DXMATRIX expected = RotationY(0.3f) * RotationZ(0.5f);
    expected._41 = 4, expected._42 = 5, expected._43 = 6;
    ExpectMatrixNear(expected, t);
}

TEST(AffineMath, InverseBlockByCofactorsAndTheSingularCase) {
    D3DXMATRIX m;
    D3DXMatrixScaling(&m, 2, 4, 0.5f);
    m = m * RotationZ(0.7f) * Translation(3, 3, 3);
    D3DXMATRIX block = m;
    block._41 = block._42 = block._43 = 0.0f;
    ExpectMatrixNear(Identity(), MultiplyAffine(block, InverseBlock(m)));

    const D3DXMATRIX singular(1, 2, 3, 0, 2, 4, 6, 0, 0, 1, 1, 0, 8, 8, 8, 1);
    const D3DXMATRIX kept(1, 2, 3, 0, 2, 4, 6, 0, 0, 1, 1, 0, 0, 0, 0, 1);
    EXPECT_EQ(kept, InverseBlock(singular));
}

TEST(AffineMath, AxisLengthsRescaleRowsAndLeaveZeroRows) {
    D3DXMATRIX m = RotationZ(0.6f) * Translation(1, 1, 1);
    SetAxisLengths(m, {2, 3, 0.5f});
    EXPECT_NEAR(2.0f, AxisLength(m, 0), kTolerance);
    EXPECT_NEAR(3.0f, AxisLength(m, 1), kTolerance);
    EXPECT_NEAR(0.5f, AxisLength(m, 2), kTolerance);
    EXPECT_NEAR(2.0f * std::cos(0.6f), m._11, kTolerance);  // direction kept
    EXPECT_EQ(1.0f, m._41);

    D3DXMATRIX flat = Identity();
    flat._22 = 0.0f;
    SetAxisLength(flat, 1, 5.0f);
    EXPECT_EQ(0.0f, AxisLength(flat, 1));
    EXPECT_FALSE(std::isnan(flat._22));

    Translate(m, {1, -2, 3});
    EXPECT_FLOAT_EQ(2.0f, m._41);
    EXPECT_FLOAT_EQ(-1.0f, m._42);
    EXPECT_FLOAT_EQ(4.0f, m._43);
}
