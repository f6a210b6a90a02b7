#pragma once
// Matrices built in one call and compared element by element, for tests of the math and of
// everything that moves.

#include "platform/d3dx8/math.h"

namespace zumbo::test {

void ExpectMatrixNear(const D3DXMATRIX& expected, const D3DXMATRIX& actual, float tolerance = 1e-5f);
void ExpectVectorNear(const D3DXVECTOR3& expected, const D3DXVECTOR3& actual, float tolerance = 1e-5f);
D3DXMATRIX Identity();
D3DXMATRIX Translation(float x, float y, float z);
D3DXMATRIX RotationX(float radians);
D3DXMATRIX RotationY(float radians);
D3DXMATRIX RotationZ(float radians);

}  // namespace zumbo::test
