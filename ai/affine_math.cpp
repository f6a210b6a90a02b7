#include "ai/affine_math.h"

#include <cmath>
#include <cstring>

namespace {

// A matrix row as one vector. The row operations load and store whole rows: an operation that
// stored single floats would make the next one, reading the same row as a vector, wait for its
// stores to reach the cache, and every component runs one after another on the same matrix.
typedef float tMatrixRow __attribute__((vector_size(16)));

tMatrixRow LoadRow(const float* row) {
    tMatrixRow value;
    std::memcpy(&value, row, sizeof value);
    return value;
}

void StoreRow(float* row, tMatrixRow value) {
    std::memcpy(row, &value, sizeof value);
}

// Row i of a × b: a's row i weighting b's first three rows.
tMatrixRow WeightMatrixRows(const D3DXMATRIX& a, int i, const tMatrixRow (&rows)[4]) {
    const float* weights = a.m[i];
    return rows[0] * weights[0] + rows[1] * weights[1] + rows[2] * weights[2];
}

}  // namespace

void MultiplyAffine(const D3DXMATRIX& a, const D3DXMATRIX& b, D3DXMATRIX& product) {
    const tMatrixRow rows[4] = {LoadRow(b.m[0]), LoadRow(b.m[1]), LoadRow(b.m[2]), LoadRow(b.m[3])};
    // Row i of a is read before row i of the product is stored, so product may be a or b.
    for (int i = 0; i < 3; ++i) {
        tMatrixRow row = WeightMatrixRows(a, i, rows);
        row[3] = 0.0f;
        StoreRow(product.m[i], row);
    }
    tMatrixRow translation = WeightMatrixRows(a, 3, rows) + rows[3];
    translation[3] = 1.0f;
    StoreRow(product.m[3], translation);
}

D3DXMATRIX MultiplyAffine(const D3DXMATRIX& a, const D3DXMATRIX& b) {
    D3DXMATRIX product;
    MultiplyAffine(a, b, product);
    return product;
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

// Lane k of the row with lanes A and B exchanged.
constexpr int Exchanged(int k, int a, int b) {
    return k == a ? b : k == b ? a : k;
}

// Lane k of a blend taking lanes A and B from the second row (lanes 4 to 7).
constexpr int Blended(int k, int a, int b) {
    return k == a || k == b ? k + 4 : k;
}

// Multiplies every row by a rotation in the plane of columns A and B: A turns towards B.
template <int A, int B>
void TurnColumns(D3DXMATRIX& m, float cosine, float sine) {
    const tMatrixRow cosines = {cosine, cosine, cosine, cosine};
    tMatrixRow sines = {0.0f, 0.0f, 0.0f, 0.0f};
    sines[A] = -sine;
    sines[B] = sine;
    for (auto& row : m.m) {
        const tMatrixRow value = LoadRow(row);
        const tMatrixRow swapped = __builtin_shufflevector(
            value, value, Exchanged(0, A, B), Exchanged(1, A, B), Exchanged(2, A, B), Exchanged(3, A, B));
        const tMatrixRow turned = value * cosines + swapped * sines;
        StoreRow(row, __builtin_shufflevector(value, turned, Blended(0, A, B), Blended(1, A, B),
                                              Blended(2, A, B), Blended(3, A, B)));
    }
}

}  // namespace

void RotateX(D3DXMATRIX& m, float angle) {
    TurnColumns<1, 2>(m, std::cos(angle), std::sin(angle));
}

// About y the left-handed rotation turns z towards x.
void RotateY(D3DXMATRIX& m, float angle) {
    TurnColumns<0, 2>(m, std::cos(angle), -std::sin(angle));
}

void RotateZ(D3DXMATRIX& m, float angle) {
    TurnColumns<0, 1>(m, std::cos(angle), std::sin(angle));
}

void Translate(D3DXMATRIX& m, const D3DXVECTOR3& offset) {
    // Adding -0 leaves every float as it is, the fourth element included.
    const tMatrixRow shift = {offset.x, offset.y, offset.z, -0.0f};
    StoreRow(m.m[3], LoadRow(m.m[3]) + shift);
}
