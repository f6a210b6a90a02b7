#include "ai/quaternion_routines.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kDegreesPerRadian = 57.29577951308232;
// cos of half an angle this close to 1 is no rotation at all.
constexpr double kNoRotation = 0.9999999999999998;

D3DXVECTOR3 NormalizedOrZero(const D3DXVECTOR3& v) {
    const float length = D3DXVec3Length(&v);
    return length > 0.0f ? v / length : v;
}

}  // namespace

D3DXQUATERNION QuaternionFromAxisAngle(const D3DXVECTOR3& axis, double angleDegrees) {
    D3DXVECTOR3 direction = axis;
    if (angleDegrees < 0.0) {
        angleDegrees = -angleDegrees;
        direction = -direction;
    }
    double w = std::cos(angleDegrees * 0.0027777778 * kPi);
    if (w < 0.0) {
        w = -w;
        direction = -direction;
    }
    const double axisLengthSq = D3DXVec3LengthSq(&direction);
    if (w >= kNoRotation || axisLengthSq == 0.0) {
        return {0.0f, 0.0f, 0.0f, 1.0f};
    }
    const double s = std::sqrt((1.0 - w * w) / axisLengthSq);
    return {static_cast<float>(s * direction.x), static_cast<float>(s * direction.y),
            static_cast<float>(s * direction.z), static_cast<float>(w)};
}

D3DXQUATERNION QuaternionFromArc(const D3DXVECTOR3& from, const D3DXVECTOR3& to) {
    const D3DXVECTOR3 fromDirection = NormalizedOrZero(from);
    const D3DXVECTOR3 toDirection = NormalizedOrZero(to);
    const double cosine = std::clamp(D3DXVec3Dot(&fromDirection, &toDirection), -1.0f, 1.0f);
    D3DXVECTOR3 axis;
    D3DXVec3Cross(&axis, &from, &to);
    return QuaternionFromAxisAngle(axis, std::acos(cosine) * kDegreesPerRadian);
}

D3DXMATRIX MatrixFromQuaternion(const D3DXQUATERNION& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    const float lengthSq = x * x + y * y + z * z + w * w;
    const float f = lengthSq != 0.0f ? 2.0f / lengthSq : 0.0f;
    return D3DXMATRIX(1 - f * (y * y + z * z), f * (x * y + w * z), f * (x * z - w * y), 0,  //
                      f * (x * y - w * z), 1 - f * (x * x + z * z), f * (y * z + w * x), 0,  //
                      f * (x * z + w * y), f * (y * z - w * x), 1 - f * (x * x + y * y), 0,  //
                      0, 0, 0, 1);
}
