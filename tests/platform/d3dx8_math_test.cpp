#include "platform/d3dx8/math.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/matrix_expect.h"

using namespace zumbo::test;

namespace {

constexpr float kTolerance = 1e-5f;

void ExpectQuaternionNear(const D3DXQUATERNION& expected, const D3DXQUATERNION& actual) {
    EXPECT_NEAR(expected.x, actual.x, kTolerance);
    EXPECT_NEAR(expected.y, actual.y, kTolerance);
    EXPECT_NEAR(expected.z, actual.z, kTolerance);
    EXPECT_NEAR(expected.w, actual.w, kTolerance);
}

D3DXVECTOR3 TransformCoord(const D3DXVECTOR3& v, const D3DXMATRIX& m) {
    D3DXVECTOR3 out;
    return *D3DXVec3TransformCoord(&out, &v, &m);
}

const float kHalfSqrt2 = std::sqrt(0.5f);

}  // namespace

TEST(D3DXMatrixLayout, ElementNamesAndIndicesShareStorage) {
    D3DXMATRIX m(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    EXPECT_EQ(m._23, 7.0f);
    EXPECT_EQ(m.m[1][2], 7.0f);
    EXPECT_EQ(m(3, 0), 13.0f);
    EXPECT_EQ(static_cast<const float*>(m)[15], 16.0f);
    m.m[3][2] = 99.0f;
    EXPECT_EQ(m._43, 99.0f);
    static_assert(sizeof(D3DXMATRIX) == 64);
    static_assert(sizeof(D3DXVECTOR3) == 12);
    EXPECT_EQ(D3DXMATRIX(), D3DXMATRIX(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
}

TEST(D3DXMatrix, BasicConstructorsGiveTheDocumentedLayout) {
    const D3DXMATRIX identity = Identity();
    EXPECT_TRUE(D3DXMatrixIsIdentity(&identity));
    EXPECT_EQ(D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1), identity);
    ExpectMatrixNear(D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 2, 3, 4, 1), Translation(2, 3, 4));
    D3DXMATRIX scaling;
    D3DXMatrixScaling(&scaling, 2, 3, 4);
    ExpectMatrixNear(D3DXMATRIX(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1), scaling);
}

TEST(D3DXMatrix, RotationsAreLeftHandedForRowVectors) {
    const float a = 0.3f, c = std::cos(a), s = std::sin(a);
    ExpectMatrixNear(D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1), RotationX(a));
    ExpectMatrixNear(D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1), RotationY(a));
    ExpectMatrixNear(D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1), RotationZ(a));
    // A quarter turn about z carries x onto y; about y carries z onto x; about x carries y onto z.
    ExpectVectorNear({0, 1, 0}, TransformCoord({1, 0, 0}, RotationZ(D3DX_PI / 2)));
    ExpectVectorNear({1, 0, 0}, TransformCoord({0, 0, 1}, RotationY(D3DX_PI / 2)));
    ExpectVectorNear({0, 0, 1}, TransformCoord({0, 1, 0}, RotationX(D3DX_PI / 2)));
}

TEST(D3DXMatrix, MultiplyAppliesTheLeftOperandFirst) {
    const D3DXMATRIX rotate = RotationZ(D3DX_PI / 2);
    const D3DXMATRIX move = Translation(10, 0, 0);
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &rotate, &move);
    ExpectVectorNear({10, 1, 0}, TransformCoord({1, 0, 0}, product));
    ExpectVectorNear({0, 11, 0}, TransformCoord({1, 0, 0}, move * rotate));
    // The output may alias an input.
    D3DXMATRIX aliased = rotate;
    D3DXMatrixMultiply(&aliased, &aliased, &move);
    ExpectMatrixNear(product, aliased);
    const D3DXMATRIX a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const D3DXMATRIX b(2, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0, 3, 0, 1);
    ExpectMatrixNear(D3DXMATRIX(5, 14, 3, 5, 17, 30, 7, 13, 29, 46, 11, 21, 41, 62, 15, 29), a * b);
}

TEST(D3DXMatrix, TransposeDeterminantAndInverse) {
    const D3DXMATRIX a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    D3DXMATRIX t;
    D3DXMatrixTranspose(&t, &a);
    ExpectMatrixNear(D3DXMATRIX(1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16), t);
    EXPECT_FLOAT_EQ(0.0f, D3DXMatrixDeterminant(&a));

    D3DXMATRIX unchanged = Translation(7, 7, 7);
    float det = -1;
    EXPECT_EQ(nullptr, D3DXMatrixInverse(&unchanged, &det, &a));
    EXPECT_EQ(0.0f, det);
    ExpectMatrixNear(Translation(7, 7, 7), unchanged);

    const D3DXMATRIX b(2, 0, 0, 1, 0, 1, 0, 0, 1, 0, 1, 0, 0, 3, 0, 1);
    // Expanding along the second row: det = 1 · det[[2,0,1],[1,1,0],[0,0,1]] = 2.
    EXPECT_FLOAT_EQ(2.0f, D3DXMatrixDeterminant(&b));
    D3DXMATRIX inverse;
    ASSERT_NE(nullptr, D3DXMatrixInverse(&inverse, &det, &b));
    EXPECT_FLOAT_EQ(2.0f, det);
    ExpectMatrixNear(Identity(), b * inverse);
    ExpectMatrixNear(Identity(), inverse * b);

    const D3DXMATRIX placement = RotationY(0.7f) * Translation(1, -2, 3);
    D3DXMatrixInverse(&inverse, nullptr, &placement);
    ExpectMatrixNear(Translation(-1, 2, -3) * RotationY(-0.7f), inverse);
}

TEST(D3DXMatrix, RotationAxisAgreesWithTheAxisRotationsAndNormalisesTheAxis) {
    D3DXMATRIX m;
    const D3DXVECTOR3 longZ(0, 0, 5);
    ExpectMatrixNear(RotationZ(0.4f), *D3DXMatrixRotationAxis(&m, &longZ, 0.4f));
    const D3DXVECTOR3 x(1, 0, 0);
    ExpectMatrixNear(RotationX(-1.1f), *D3DXMatrixRotationAxis(&m, &x, -1.1f));
    // A third of a turn about the diagonal cycles the axes x -> y -> z.
    const D3DXVECTOR3 diagonal(1, 1, 1);
    D3DXMatrixRotationAxis(&m, &diagonal, 2 * D3DX_PI / 3);
    ExpectVectorNear({0, 1, 0}, TransformCoord({1, 0, 0}, m));
    ExpectVectorNear({0, 0, 1}, TransformCoord({0, 1, 0}, m));
}

TEST(D3DXMatrix, YawPitchRollRollsThenPitchesThenYaws) {
    D3DXMATRIX m;
    D3DXMatrixRotationYawPitchRoll(&m, 0.5f, -0.2f, 1.3f);
    ExpectMatrixNear(RotationZ(1.3f) * RotationX(-0.2f) * RotationY(0.5f), m);
}

TEST(D3DXMatrix, LookAtLHMapsTheEyeToTheOriginAndTheTargetOntoPlusZ) {
    const D3DXVECTOR3 eye(0, 10, 25), at(0, -10, 0), up(0, 0, 1);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    ExpectVectorNear({0, 0, 0}, TransformCoord(eye, view), 1e-4f);
    const float distance = std::sqrt(20.0f * 20.0f + 25.0f * 25.0f);
    ExpectVectorNear({0, 0, distance}, TransformCoord(at, view), 1e-4f);

    const D3DXVECTOR3 origin(0, 0, 0), ahead(0, 0, 1), yUp(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &origin, &ahead, &yUp);
    ExpectMatrixNear(Identity(), view);
    const D3DXVECTOR3 right(1, 0, 0);
    D3DXMatrixLookAtLH(&view, &origin, &right, &yUp);
    // Looking down +x: x becomes depth, z points to the left (-x on screen).
    ExpectMatrixNear(D3DXMATRIX(0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1), view);
}

TEST(D3DXMatrix, ProjectionsMatchTheirClosedForms) {
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, D3DX_PI / 2, 2.0f, 1.0f, 101.0f);
    // cot(pi/4) = 1; depth scale 101/100.
    ExpectMatrixNear(D3DXMATRIX(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.01f, 1, 0, 0, -1.01f, 0), m);
    D3DXMatrixPerspectiveLH(&m, 4, 2, 1, 3);
    ExpectMatrixNear(D3DXMATRIX(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1.5f, 1, 0, 0, -1.5f, 0), m);
    D3DXMatrixOrthoLH(&m, 4, 2, 1, 3);
    ExpectMatrixNear(D3DXMATRIX(0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0.5f, 0, 0, 0, -0.5f, 1), m);
    D3DXMatrixOrthoOffCenterLH(&m, 0, 640, 480, 0, 0, 1);
    ExpectVectorNear({-1, 1, 0}, TransformCoord({0, 0, 0}, m));
    ExpectVectorNear({1, -1, 1}, TransformCoord({640, 480, 1}, m));
}

TEST(D3DXVector3, ArithmeticAndProducts) {
    const D3DXVECTOR3 a(1, 2, 3), b(4, 5, 6);
    EXPECT_EQ(D3DXVECTOR3(5, 7, 9), a + b);
    EXPECT_EQ(D3DXVECTOR3(-3, -3, -3), a - b);
    EXPECT_EQ(D3DXVECTOR3(2, 4, 6), a * 2.0f);
    EXPECT_EQ(D3DXVECTOR3(2, 4, 6), 2.0f * a);
    EXPECT_EQ(D3DXVECTOR3(-1, -2, -3), -a);
    EXPECT_FLOAT_EQ(32.0f, D3DXVec3Dot(&a, &b));
    D3DXVECTOR3 out;
    EXPECT_EQ(D3DXVECTOR3(-3, 6, -3), *D3DXVec3Cross(&out, &a, &b));
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
    EXPECT_EQ(D3DXVECTOR3(0, 0, 1), *D3DXVec3Cross(&out, &x, &y));
    out = a;
    D3DXVec3Cross(&out, &out, &b);  // aliasing the output
    EXPECT_EQ(D3DXVECTOR3(-3, 6, -3), out);
    EXPECT_EQ(D3DXVECTOR3(1, 2, 3), *D3DXVec3Minimize(&out, &a, &b));
    EXPECT_EQ(D3DXVECTOR3(4, 5, 6), *D3DXVec3Maximize(&out, &a, &b));
    EXPECT_EQ(D3DXVECTOR3(2.5f, 3.5f, 4.5f), *D3DXVec3Lerp(&out, &a, &b, 0.5f));
}

TEST(D3DXVector3, LengthAndNormalizeIncludingTheZeroVector) {
    const D3DXVECTOR3 v(3, 0, 4), zero;
    EXPECT_FLOAT_EQ(5.0f, D3DXVec3Length(&v));
    EXPECT_FLOAT_EQ(25.0f, D3DXVec3LengthSq(&v));
    D3DXVECTOR3 out;
    ExpectVectorNear({0.6f, 0, 0.8f}, *D3DXVec3Normalize(&out, &v));
    EXPECT_EQ(zero, *D3DXVec3Normalize(&out, &zero));
}

TEST(D3DXVector3, TransformCoordDividesByWAndTransformNormalIgnoresTranslation) {
    const D3DXMATRIX m = RotationZ(D3DX_PI / 2) * Translation(5, 6, 7);
    ExpectVectorNear({5, 7, 7}, TransformCoord({1, 0, 0}, m));
    D3DXVECTOR3 normal;
    const D3DXVECTOR3 x(1, 0, 0);
    ExpectVectorNear({0, 1, 0}, *D3DXVec3TransformNormal(&normal, &x, &m));

    D3DXMATRIX projective = Identity();
    projective._44 = 2.0f;
    ExpectVectorNear({0.5f, 1, 1.5f}, TransformCoord({1, 2, 3}, projective));
    D3DXVECTOR4 full;
    const D3DXVECTOR3 p(1, 2, 3);
    D3DXVec3Transform(&full, &p, &projective);
    EXPECT_EQ(D3DXVECTOR4(1, 2, 3, 2), full);
}

TEST(D3DXQuaternion, RotationAxisAndMatrixConversionAgree) {
    D3DXQUATERNION q;
    const D3DXVECTOR3 z(0, 0, 2);
    D3DXQuaternionRotationAxis(&q, &z, D3DX_PI / 2);
    ExpectQuaternionNear({0, 0, kHalfSqrt2, kHalfSqrt2}, q);
    D3DXMATRIX m;
    ExpectMatrixNear(RotationZ(D3DX_PI / 2), *D3DXMatrixRotationQuaternion(&m, &q));

    // Back from matrices, through each branch of the conversion.
    const D3DXMATRIX cases[] = {RotationZ(0.5f), RotationX(3.0f), RotationY(3.0f), RotationZ(3.0f),
                                RotationX(0.4f) * RotationY(2.9f)};
    for (const D3DXMATRIX& rotation : cases) {
        D3DXQuaternionRotationMatrix(&q, &rotation);
        EXPECT_NEAR(1.0f, D3DXQuaternionLength(&q), kTolerance);
        ExpectMatrixNear(rotation, *D3DXMatrixRotationQuaternion(&m, &q));
    }
}

TEST(D3DXQuaternion, MultiplyComposesLikeMatrices) {
    D3DXQUATERNION a, b, product;
    D3DXQuaternionRotationYawPitchRoll(&a, 0.3f, 0.0f, 0.0f);
    const D3DXVECTOR3 x(1, 0, 0);
    D3DXQuaternionRotationAxis(&b, &x, 1.2f);
    D3DXQuaternionMultiply(&product, &a, &b);
    D3DXMATRIX m;
    ExpectMatrixNear(RotationY(0.3f) * RotationX(1.2f), *D3DXMatrixRotationQuaternion(&m, &product));
    ExpectQuaternionNear(product, a * b);

    D3DXQuaternionRotationYawPitchRoll(&a, 0.5f, -0.2f, 1.3f);
    D3DXMATRIX ypr;
    D3DXMatrixRotationYawPitchRoll(&ypr, 0.5f, -0.2f, 1.3f);
    ExpectMatrixNear(ypr, *D3DXMatrixRotationQuaternion(&m, &a));
}

TEST(D3DXQuaternion, NormalizeConjugateInverseAndAxisAngle) {
    D3DXQUATERNION q(0, 3, 0, 4), out;
    ExpectQuaternionNear({0, 0.6f, 0, 0.8f}, *D3DXQuaternionNormalize(&out, &q));
    EXPECT_EQ(D3DXQUATERNION(0, -3, 0, 4), *D3DXQuaternionConjugate(&out, &q));
    D3DXQuaternionInverse(&out, &q);
    ExpectQuaternionNear({0, 0, 0, 1}, q * out);
    EXPECT_EQ(D3DXQUATERNION(0, 0, 0, 1), *D3DXQuaternionIdentity(&out));

    D3DXVECTOR3 axis;
    float angle = 0;
    const D3DXQUATERNION unit(0, 0.6f, 0, 0.8f);
    D3DXQuaternionToAxisAngle(&unit, &axis, &angle);
    ExpectVectorNear({0, 0.6f, 0}, axis);
    EXPECT_NEAR(2 * std::acos(0.8f), angle, kTolerance);
}

TEST(D3DXQuaternion, SlerpFollowsTheShorterArc) {
    const D3DXQUATERNION identity(0, 0, 0, 1);
    const D3DXQUATERNION quarterZ(0, 0, kHalfSqrt2, kHalfSqrt2);
    D3DXQUATERNION out;
    D3DXQuaternionSlerp(&out, &identity, &quarterZ, 0.5f);
    ExpectQuaternionNear({0, 0, std::sin(D3DX_PI / 8), std::cos(D3DX_PI / 8)}, out);
    ExpectQuaternionNear(identity, *D3DXQuaternionSlerp(&out, &identity, &quarterZ, 0.0f));
    ExpectQuaternionNear(quarterZ, *D3DXQuaternionSlerp(&out, &identity, &quarterZ, 1.0f));
    // The negated target is the same rotation: the midpoint is the same eighth turn.
    const D3DXQUATERNION negated(0, 0, -kHalfSqrt2, -kHalfSqrt2);
    D3DXQuaternionSlerp(&out, &identity, &negated, 0.5f);
    ExpectQuaternionNear({0, 0, std::sin(D3DX_PI / 8), std::cos(D3DX_PI / 8)}, out);
}

TEST(D3DXPlane, FromPointsNormalizeAndDotProducts) {
    const D3DXVECTOR3 p1(0, 0, 2), p2(1, 0, 2), p3(0, 1, 2);
    D3DXPLANE plane;
    D3DXPlaneFromPoints(&plane, &p1, &p2, &p3);
    EXPECT_EQ(D3DXPLANE(0, 0, 1, -2), plane);
    const D3DXVECTOR3 above(5, 5, 3);
    EXPECT_FLOAT_EQ(1.0f, D3DXPlaneDotCoord(&plane, &above));
    EXPECT_FLOAT_EQ(3.0f, D3DXPlaneDotNormal(&plane, &above));
    const D3DXPLANE scaled(0, 3, 4, 10);
    D3DXPlaneNormalize(&plane, &scaled);
    EXPECT_FLOAT_EQ(0.0f, plane.a);
    EXPECT_FLOAT_EQ(0.6f, plane.b);
    EXPECT_FLOAT_EQ(0.8f, plane.c);
    EXPECT_FLOAT_EQ(2.0f, plane.d);
}

TEST(D3DXColor, PacksAndUnpacksArgbWithClamping) {
    const D3DXCOLOR c(0xFF8000FFu);
    EXPECT_FLOAT_EQ(1.0f, c.a);
    EXPECT_FLOAT_EQ(128.0f / 255.0f, c.r);
    EXPECT_FLOAT_EQ(0.0f, c.g);
    EXPECT_FLOAT_EQ(1.0f, c.b);
    EXPECT_EQ(0xFF8000FFu, static_cast<std::uint32_t>(c));
    EXPECT_EQ(0x80FF0000u, static_cast<std::uint32_t>(D3DXCOLOR(2.0f, -1.0f, 0.0f, 0.5f)));
    D3DXCOLOR out;
    const D3DXCOLOR half(0.5f, 0.5f, 0.5f, 0.5f), white(1, 1, 1, 1);
    EXPECT_EQ(D3DXCOLOR(0.25f, 0.25f, 0.25f, 0.25f), *D3DXColorModulate(&out, &half, &half));
    EXPECT_EQ(D3DXCOLOR(0.75f, 0.75f, 0.75f, 0.75f), *D3DXColorLerp(&out, &half, &white, 0.5f));
    EXPECT_EQ(D3DXCOLOR(1, 1, 1, 1), *D3DXColorScale(&out, &half, 2.0f));
}
