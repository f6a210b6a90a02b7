#include "ai/affine_math.h"

#include <cmath>

D3DXMATRIX MultiplyAffine(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    D3DXMATRIX r;
    r._11 = a._11 * b._11 + a._12 * b._21 + a._13 * b._31;
    r._12 = a._11 * b._12 + a._12 * b._22 + a._13 * b._32;
    r._13 = a._11 * b._13 + a._12 * b._23 + a._13 * b._33;
    r._21 = a._21 * b._11 + a._22 * b._21 + a._23 * b._31;
    r._22 = a._21 * b._12 + a._22 * b._22 + a._23 * b._32;
    r._23 = a._21 * b._13 + a._22 * b._23 + a._23 * b._33;
    r._31 = a._31 * b._11 + a._32 * b._21 + a._33 * b._31;
    r._32 = a._31 * b._12 + a._32 * b._22 + a._33 * b._32;
    r._33 = a._31 * b._13 + a._32 * b._23 + a._33 * b._33;
    r._41 = a._41 * b._11 + a._42 * b._21 + a._43 * b._31 + b._41;
    r._42 = a._41 * b._12 + a._42 * b._22 + a._43 * b._32 + b._42;
    r._43 = a._41 * b._13 + a._42 * b._23 + a._43 * b._33 + b._43;
    r._44 = 1.0f;
    return r;
}

void MultiplyBlock(D3DXMATRIX& target, const D3DXMATRIX& rotation) {
    for (int r = 0; r < 3; ++r) {
        float* row = target.m[r];
        const float x = row[0], y = row[1], z = row[2];
        for (int col = 0; col < 3; ++col) {
            row[col] = x * rotation.m[0][col] + y * rotation.m[1][col] + z * rotation.m[2][col];
        }
        row[3] = 0.0f;
    }
}

D3DXMATRIX InverseBlock(const D3DXMATRIX& m) {
    const float c11 = m._22 * m._33 - m._23 * m._32;
    const float c12 = m._23 * m._31 - m._21 * m._33;
    const float c13 = m._21 * m._32 - m._22 * m._31;
    const float determinant = m._11 * c11 + m._12 * c12 + m._13 * c13;
    D3DXMATRIX inverse(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    if (determinant == 0.0f) {
        inverse._11 = m._11, inverse._12 = m._12, inverse._13 = m._13;
        inverse._21 = m._21, inverse._22 = m._22, inverse._23 = m._23;
        inverse._31 = m._31, inverse._32 = m._32, inverse._33 = m._33;
        return inverse;
    }
    const float f = 1.0f / determinant;
    inverse._11 = c11 * f;
    inverse._12 = (m._13 * m._32 - m._12 * m._33) * f;
    inverse._13 = (m._12 * m._23 - m._13 * m._22) * f;
    inverse._21 = c12 * f;
    inverse._22 = (m._11 * m._33 - m._13 * m._31) * f;
    inverse._23 = (m._13 * m._21 - m._11 * m._23) * f;
    inverse._31 = c13 * f;
    inverse._32 = (m._12 * m._31 - m._11 * m._32) * f;
    inverse._33 = (m._11 * m._22 - m._12 * m._21) * f;
    return inverse;
}

float AxisLength(const D3DXMATRIX& m, int row) {
    const float* axis = m.m[row];
    return std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
}

void SetAxisLength(D3DXMATRIX& m, int row, float wanted) {
    const float current = AxisLength(m, row);
    if (current == 0.0f) {
        return;
    }
    const float factor = wanted / current;
    for (int col = 0; col < 3; ++col) {
        m.m[row][col] *= factor;
    }
}

void SetAxisLengths(D3DXMATRIX& m, const D3DXVECTOR3& lengths) {
    SetAxisLength(m, 0, lengths.x);
    SetAxisLength(m, 1, lengths.y);
    SetAxisLength(m, 2, lengths.z);
}

namespace {

// Multiplies every row by a rotation in the plane of columns a and b: a turns towards b.
void TurnColumns(D3DXMATRIX& m, int a, int b, float cosine, float sine) {
    for (auto& row : m.m) {
        const float first = row[a], second = row[b];
        row[a] = first * cosine - second * sine;
        row[b] = first * sine + second * cosine;
    }
}

}  // namespace

void RotateX(D3DXMATRIX& m, float angle) {
    TurnColumns(m, 1, 2, std::cos(angle), std::sin(angle));
}

// About y the left-handed rotation turns z towards x.
void RotateY(D3DXMATRIX& m, float angle) {
    TurnColumns(m, 0, 2, std::cos(angle), -std::sin(angle));
}

void RotateZ(D3DXMATRIX& m, float angle) {
    TurnColumns(m, 0, 1, std::cos(angle), std::sin(angle));
}

void Translate(D3DXMATRIX& m, const D3DXVECTOR3& offset) {
    m._41 += offset.x;
    m._42 += offset.y;
    m._43 += offset.z;
}
