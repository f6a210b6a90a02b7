#include "tests/support/matrix_expect.h"

#include <gtest/gtest.h>

namespace zumbo::test {

void ExpectMatrixNear(const D3DXMATRIX& expected, const D3DXMATRIX& actual, float tolerance) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            EXPECT_NEAR(expected.m[row][col], actual.m[row][col], tolerance)
                << "element " << row + 1 << col + 1;
        }
    }
}

void ExpectVectorNear(const D3DXVECTOR3& expected, const D3DXVECTOR3& actual, float tolerance) {
    EXPECT_NEAR(expected.x, actual.x, tolerance);
    EXPECT_NEAR(expected.y, actual.y, tolerance);
    EXPECT_NEAR(expected.z, actual.z, tolerance);
}

D3DXMATRIX Identity() {
    D3DXMATRIX m;
    return *D3DXMatrixIdentity(&m);
}

D3DXMATRIX Translation(float x, float y, float z) {
    D3DXMATRIX m;
    return *D3DXMatrixTranslation(&m, x, y, z);
}

D3DXMATRIX RotationX(float radians) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationX(&m, radians);
}

D3DXMATRIX RotationY(float radians) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationY(&m, radians);
}

D3DXMATRIX RotationZ(float radians) {
    D3DXMATRIX m;
    return *D3DXMatrixRotationZ(&m, radians);
}

}  // namespace zumbo::test
