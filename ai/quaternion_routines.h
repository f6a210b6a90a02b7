#pragma once
// Quaternion helpers of the rotating components. Angles are in degrees; axes need not be unit
// length.

#include "platform/d3dx8/math.h"

// The rotation by angle degrees about axis, with w kept non-negative. A zero axis, which names
// no rotation, gives the identity quaternion.
D3DXQUATERNION QuaternionFromAxisAngle(const D3DXVECTOR3& axis, double angleDegrees);
// The rotation that turns the direction from onto the direction to, about their common normal.
// Parallel and opposite directions have no such normal and give the identity.
D3DXQUATERNION QuaternionFromArc(const D3DXVECTOR3& from, const D3DXVECTOR3& to);
// The rotation matrix of a quaternion of any length (the zero quaternion gives the identity),
// with identity outside the upper 3 by 3 block.
D3DXMATRIX MatrixFromQuaternion(const D3DXQUATERNION& q);
