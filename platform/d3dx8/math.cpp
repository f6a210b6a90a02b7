#include "platform/d3dx8/math.h"

#include <algorithm>
#include <cmath>

// ---- vector operators ----

D3DXVECTOR2& D3DXVECTOR2::operator+=(const D3DXVECTOR2& v) {
    x += v.x;
    y += v.y;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator-=(const D3DXVECTOR2& v) {
    x -= v.x;
    y -= v.y;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator*=(float s) {
    x *= s;
    y *= s;
    return *this;
}
D3DXVECTOR2& D3DXVECTOR2::operator/=(float s) {
    return *this *= 1.0f / s;
}
D3DXVECTOR2 operator+(D3DXVECTOR2 a, const D3DXVECTOR2& b) {
    return a += b;
}
D3DXVECTOR2 operator-(D3DXVECTOR2 a, const D3DXVECTOR2& b) {
    return a -= b;
}
D3DXVECTOR2 operator*(D3DXVECTOR2 v, float s) {
    return v *= s;
}
D3DXVECTOR2 operator*(float s, D3DXVECTOR2 v) {
    return v *= s;
}
D3DXVECTOR2 operator/(D3DXVECTOR2 v, float s) {
    return v /= s;
}

D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator-=(const D3DXVECTOR3& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    return *this;
}
D3DXVECTOR3& D3DXVECTOR3::operator/=(float s) {
    return *this *= 1.0f / s;
}
D3DXVECTOR3 operator+(D3DXVECTOR3 a, const D3DXVECTOR3& b) {
    return a += b;
}
D3DXVECTOR3 operator-(D3DXVECTOR3 a, const D3DXVECTOR3& b) {
    return a -= b;
}
D3DXVECTOR3 operator*(D3DXVECTOR3 v, float s) {
    return v *= s;
}
D3DXVECTOR3 operator*(float s, D3DXVECTOR3 v) {
    return v *= s;
}
D3DXVECTOR3 operator/(D3DXVECTOR3 v, float s) {
    return v /= s;
}

D3DXVECTOR4& D3DXVECTOR4::operator+=(const D3DXVECTOR4& v) {
    x += v.x;
    y += v.y;
    z += v.z;
    w += v.w;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator-=(const D3DXVECTOR4& v) {
    x -= v.x;
    y -= v.y;
    z -= v.z;
    w -= v.w;
    return *this;
}
D3DXVECTOR4& D3DXVECTOR4::operator*=(float s) {
    x *= s;
    y *= s;
    z *= s;
    w *= s;
    return *this;
}
D3DXVECTOR4 operator+(D3DXVECTOR4 a, const D3DXVECTOR4& b) {
    return a += b;
}
D3DXVECTOR4 operator-(D3DXVECTOR4 a, const D3DXVECTOR4& b) {
    return a -= b;
}
D3DXVECTOR4 operator*(D3DXVECTOR4 v, float s) {
    return v *= s;
}

// ---- matrix operators ----

D3DXMATRIX::D3DXMATRIX(const float* values) : D3DMATRIX{} {
    std::copy(values, values + 16, &_11);
}

D3DXMATRIX::D3DXMATRIX(float m11, float m12, float m13, float m14, float m21, float m22, float m23, float m24,
                       float m31, float m32, float m33, float m34, float m41, float m42, float m43, float m44)
    : D3DMATRIX{} {
    _11 = m11, _12 = m12, _13 = m13, _14 = m14;
    _21 = m21, _22 = m22, _23 = m23, _24 = m24;
    _31 = m31, _32 = m32, _33 = m33, _34 = m34;
    _41 = m41, _42 = m42, _43 = m43, _44 = m44;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat) {
    D3DXMatrixMultiply(this, this, &mat);
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& mat) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            m[i][j] += mat.m[i][j];
        }
    }
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& mat) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            m[i][j] -= mat.m[i][j];
        }
    }
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator*=(float s) {
    for (auto& row : m) {
        for (float& value : row) {
            value *= s;
        }
    }
    return *this;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const {
    D3DXMATRIX result;
    D3DXMatrixMultiply(&result, this, &mat);
    return result;
}

D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& mat) const {
    return D3DXMATRIX(*this) += mat;
}
D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& mat) const {
    return D3DXMATRIX(*this) -= mat;
}
D3DXMATRIX D3DXMATRIX::operator*(float s) const {
    return D3DXMATRIX(*this) *= s;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& mat) const {
    return std::equal(&_11, &_11 + 16, &mat._11);
}

// ---- quaternion and colour operators ----

D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const {
    D3DXQUATERNION result;
    D3DXQuaternionMultiply(&result, this, &q);
    return result;
}

D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q) {
    D3DXQuaternionMultiply(this, this, &q);
    return *this;
}

namespace {

float ChannelFromByte(std::uint32_t argb, int shift) {
    return static_cast<float>((argb >> shift) & 0xFFu) * (1.0f / 255.0f);
}

std::uint32_t ByteFromChannel(float channel, int shift) {
    const float clamped = std::clamp(channel, 0.0f, 1.0f);
    return static_cast<std::uint32_t>(clamped * 255.0f + 0.5f) << shift;
}

}  // namespace

D3DXCOLOR::D3DXCOLOR(std::uint32_t argb)
    : r(ChannelFromByte(argb, 16)),
      g(ChannelFromByte(argb, 8)),
      b(ChannelFromByte(argb, 0)),
      a(ChannelFromByte(argb, 24)) {}

D3DXCOLOR::operator std::uint32_t() const {
    return ByteFromChannel(a, 24) | ByteFromChannel(r, 16) | ByteFromChannel(g, 8) | ByteFromChannel(b, 0);
}

// ---- two- and three-component vectors ----

float D3DXVec2Length(const D3DXVECTOR2* v) {
    return std::sqrt(D3DXVec2Dot(v, v));
}
float D3DXVec2Dot(const D3DXVECTOR2* a, const D3DXVECTOR2* b) {
    return a->x * b->x + a->y * b->y;
}

D3DXVECTOR2* D3DXVec2Normalize(D3DXVECTOR2* out, const D3DXVECTOR2* v) {
    const float length = D3DXVec2Length(v);
    *out = length > 0.0f ? *v / length : D3DXVECTOR2();
    return out;
}

float D3DXVec3Length(const D3DXVECTOR3* v) {
    return std::sqrt(D3DXVec3LengthSq(v));
}
float D3DXVec3LengthSq(const D3DXVECTOR3* v) {
    return D3DXVec3Dot(v, v);
}
float D3DXVec3Dot(const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    const D3DXVECTOR3 result(a->y * b->z - a->z * b->y, a->z * b->x - a->x * b->z, a->x * b->y - a->y * b->x);
    *out = result;
    return out;
}

D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = *a + *b;
    return out;
}

D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = *a - *b;
    return out;
}

D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* out, const D3DXVECTOR3* v, float s) {
    *out = *v * s;
    return out;
}

D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b, float s) {
    *out = *a + (*b - *a) * s;
    return out;
}

D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = D3DXVECTOR3(std::min(a->x, b->x), std::min(a->y, b->y), std::min(a->z, b->z));
    return out;
}

D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* out, const D3DXVECTOR3* a, const D3DXVECTOR3* b) {
    *out = D3DXVECTOR3(std::max(a->x, b->x), std::max(a->y, b->y), std::max(a->z, b->z));
    return out;
}

D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* out, const D3DXVECTOR3* v) {
    const float length = D3DXVec3Length(v);
    *out = length > 0.0f ? *v / length : D3DXVECTOR3();
    return out;
}

D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    const D3DXVECTOR4 point(v->x, v->y, v->z, 1.0f);
    return D3DXVec4Transform(out, &point, m);
}

D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    D3DXVECTOR4 result;
    D3DXVec3Transform(&result, v, m);
    const float scale = result.w != 0.0f ? 1.0f / result.w : 1.0f;
    *out = D3DXVECTOR3(result.x * scale, result.y * scale, result.z * scale);
    return out;
}

D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* out, const D3DXVECTOR3* v, const D3DXMATRIX* m) {
    const D3DXVECTOR3 result(v->x * m->_11 + v->y * m->_21 + v->z * m->_31,
                             v->x * m->_12 + v->y * m->_22 + v->z * m->_32,
                             v->x * m->_13 + v->y * m->_23 + v->z * m->_33);
    *out = result;
    return out;
}

// ---- four-component vectors ----

float D3DXVec4Length(const D3DXVECTOR4* v) {
    return std::sqrt(D3DXVec4Dot(v, v));
}
float D3DXVec4Dot(const D3DXVECTOR4* a, const D3DXVECTOR4* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
}

D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* out, const D3DXVECTOR4* v) {
    const float length = D3DXVec4Length(v);
    *out = length > 0.0f ? *v * (1.0f / length) : D3DXVECTOR4();
    return out;
}

D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* out, const D3DXVECTOR4* v, const D3DXMATRIX* m) {
    const float in[4] = {v->x, v->y, v->z, v->w};
    float result[4];
    for (int col = 0; col < 4; ++col) {
        result[col] =
            in[0] * m->m[0][col] + in[1] * m->m[1][col] + in[2] * m->m[2][col] + in[3] * m->m[3][col];
    }
    *out = D3DXVECTOR4(result[0], result[1], result[2], result[3]);
    return out;
}

// ---- matrices ----

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

bool D3DXMatrixIsIdentity(const D3DXMATRIX* m) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return *m == identity;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX result;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            result.m[row][col] = a->m[row][0] * b->m[0][col] + a->m[row][1] * b->m[1][col] +
                                 a->m[row][2] * b->m[2][col] + a->m[row][3] * b->m[3][col];
        }
    }
    *out = result;
    return out;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m) {
    D3DXMATRIX result;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            result.m[row][col] = m->m[col][row];
        }
    }
    *out = result;
    return out;
}

namespace {

// The cofactor matrix of m transposed (the adjugate), whose rows times m's columns give det·I.
D3DXMATRIX Adjugate(const D3DXMATRIX& m) {
    const float* a = &m._11;
    // 2x2 minors of the lower two rows and of the upper two rows.
    const float s0 = a[0] * a[5] - a[4] * a[1], s1 = a[0] * a[6] - a[4] * a[2];
    const float s2 = a[0] * a[7] - a[4] * a[3], s3 = a[1] * a[6] - a[5] * a[2];
    const float s4 = a[1] * a[7] - a[5] * a[3], s5 = a[2] * a[7] - a[6] * a[3];
    const float c5 = a[10] * a[15] - a[14] * a[11], c4 = a[9] * a[15] - a[13] * a[11];
    const float c3 = a[9] * a[14] - a[13] * a[10], c2 = a[8] * a[15] - a[12] * a[11];
    const float c1 = a[8] * a[14] - a[12] * a[10], c0 = a[8] * a[13] - a[12] * a[9];
    return D3DXMATRIX(a[5] * c5 - a[6] * c4 + a[7] * c3, -a[1] * c5 + a[2] * c4 - a[3] * c3,
                      a[13] * s5 - a[14] * s4 + a[15] * s3, -a[9] * s5 + a[10] * s4 - a[11] * s3,
                      -a[4] * c5 + a[6] * c2 - a[7] * c1, a[0] * c5 - a[2] * c2 + a[3] * c1,
                      -a[12] * s5 + a[14] * s2 - a[15] * s1, a[8] * s5 - a[10] * s2 + a[11] * s1,
                      a[4] * c4 - a[5] * c2 + a[7] * c0, -a[0] * c4 + a[1] * c2 - a[3] * c0,
                      a[12] * s4 - a[13] * s2 + a[15] * s0, -a[8] * s4 + a[9] * s2 - a[11] * s0,
                      -a[4] * c3 + a[5] * c1 - a[6] * c0, a[0] * c3 - a[1] * c1 + a[2] * c0,
                      -a[12] * s3 + a[13] * s1 - a[14] * s0, a[8] * s3 - a[9] * s1 + a[10] * s0);
}

}  // namespace

float D3DXMatrixDeterminant(const D3DXMATRIX* m) {
    const D3DXMATRIX adjugate = Adjugate(*m);
    return m->_11 * adjugate._11 + m->_12 * adjugate._21 + m->_13 * adjugate._31 + m->_14 * adjugate._41;
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
    D3DXMATRIX adjugate = Adjugate(*m);
    const float det =
        m->_11 * adjugate._11 + m->_12 * adjugate._21 + m->_13 * adjugate._31 + m->_14 * adjugate._41;
    if (determinant) {
        *determinant = det;
    }
    if (det == 0.0f) {
        return nullptr;
    }
    *out = adjugate * (1.0f / det);
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    *out = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, axis);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    *out = D3DXMATRIX(t * v.x * v.x + c, t * v.x * v.y + s * v.z, t * v.x * v.z - s * v.y, 0,  //
                      t * v.x * v.y - s * v.z, t * v.y * v.y + c, t * v.y * v.z + s * v.x, 0,  //
                      t * v.x * v.z + s * v.y, t * v.y * v.z - s * v.x, t * v.z * v.z + c, 0,  //
                      0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    *out = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0,  //
                      2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0,  //
                      2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0,  //
                      0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    D3DXMATRIX rollMatrix, pitchMatrix, yawMatrix;
    D3DXMatrixRotationZ(&rollMatrix, roll);
    D3DXMatrixRotationX(&pitchMatrix, pitch);
    D3DXMatrixRotationY(&yawMatrix, yaw);
    *out = rollMatrix * pitchMatrix * yawMatrix;
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    D3DXVECTOR3 zAxis, xAxis, yAxis;
    const D3DXVECTOR3 forward = *at - *eye;
    D3DXVec3Normalize(&zAxis, &forward);
    D3DXVec3Cross(&xAxis, up, &zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    D3DXVec3Cross(&yAxis, &zAxis, &xAxis);
    *out = D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0,  //
                      xAxis.y, yAxis.y, zAxis.y, 0,  //
                      xAxis.z, yAxis.z, zAxis.z, 0,  //
                      -D3DXVec3Dot(&xAxis, eye), -D3DXVec3Dot(&yAxis, eye), -D3DXVec3Dot(&zAxis, eye), 1);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY * 0.5f);
    const float depth = zFar / (zFar - zNear);
    *out = D3DXMATRIX(yScale / aspect, 0, 0, 0, 0, yScale, 0, 0, 0, 0, depth, 1, 0, 0, -zNear * depth, 0);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveLH(D3DXMATRIX* out, float width, float height, float zNear, float zFar) {
    const float depth = zFar / (zFar - zNear);
    *out = D3DXMATRIX(2 * zNear / width, 0, 0, 0, 0, 2 * zNear / height, 0, 0, 0, 0, depth, 1, 0, 0,
                      -zNear * depth, 0);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoLH(D3DXMATRIX* out, float width, float height, float zNear, float zFar) {
    const float depth = 1.0f / (zFar - zNear);
    *out = D3DXMATRIX(2 / width, 0, 0, 0, 0, 2 / height, 0, 0, 0, 0, depth, 0, 0, 0, -zNear * depth, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float left, float right, float bottom, float top,
                                       float zNear, float zFar) {
    const float depth = 1.0f / (zFar - zNear);
    *out = D3DXMATRIX(2 / (right - left), 0, 0, 0, 0, 2 / (top - bottom), 0, 0, 0, 0, depth, 0,
                      (left + right) / (left - right), (top + bottom) / (bottom - top), -zNear * depth, 1);
    return out;
}

// ---- quaternions ----

D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* out) {
    *out = D3DXQUATERNION(0, 0, 0, 1);
    return out;
}

float D3DXQuaternionLength(const D3DXQUATERNION* q) {
    return std::sqrt(D3DXQuaternionDot(q, q));
}

float D3DXQuaternionDot(const D3DXQUATERNION* a, const D3DXQUATERNION* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
}

D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    *out = D3DXQUATERNION(-q->x, -q->y, -q->z, q->w);
    return out;
}

D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float length = D3DXQuaternionLength(q);
    const float scale = length > 0.0f ? 1.0f / length : 0.0f;
    *out = D3DXQUATERNION(q->x * scale, q->y * scale, q->z * scale, q->w * scale);
    return out;
}

D3DXQUATERNION* D3DXQuaternionInverse(D3DXQUATERNION* out, const D3DXQUATERNION* q) {
    const float lengthSq = D3DXQuaternionDot(q, q);
    const float scale = lengthSq > 0.0f ? 1.0f / lengthSq : 0.0f;
    *out = D3DXQUATERNION(-q->x * scale, -q->y * scale, -q->z * scale, q->w * scale);
    return out;
}

D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* out, const D3DXQUATERNION* a,
                                       const D3DXQUATERNION* b) {
    const D3DXQUATERNION result(b->w * a->x + b->x * a->w + b->y * a->z - b->z * a->y,
                                b->w * a->y - b->x * a->z + b->y * a->w + b->z * a->x,
                                b->w * a->z + b->x * a->y - b->y * a->x + b->z * a->w,
                                b->w * a->w - b->x * a->x - b->y * a->y - b->z * a->z);
    *out = result;
    return out;
}

D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 v;
    D3DXVec3Normalize(&v, axis);
    const float s = std::sin(angle * 0.5f);
    *out = D3DXQUATERNION(v.x * s, v.y * s, v.z * s, std::cos(angle * 0.5f));
    return out;
}

D3DXQUATERNION* D3DXQuaternionRotationMatrix(D3DXQUATERNION* out, const D3DXMATRIX* m) {
    const float trace = m->_11 + m->_22 + m->_33 + 1.0f;
    if (trace > 1.0f) {
        const float s = 2.0f * std::sqrt(trace);
        *out = D3DXQUATERNION((m->_23 - m->_32) / s, (m->_31 - m->_13) / s, (m->_12 - m->_21) / s, 0.25f * s);
        return out;
    }
    // Build from the largest diagonal element, which keeps the square root away from zero.
    if (m->_11 >= m->_22 && m->_11 >= m->_33) {
        const float s = 2.0f * std::sqrt(1.0f + m->_11 - m->_22 - m->_33);
        *out = D3DXQUATERNION(0.25f * s, (m->_12 + m->_21) / s, (m->_13 + m->_31) / s, (m->_23 - m->_32) / s);
    } else if (m->_22 >= m->_33) {
        const float s = 2.0f * std::sqrt(1.0f + m->_22 - m->_11 - m->_33);
        *out = D3DXQUATERNION((m->_12 + m->_21) / s, 0.25f * s, (m->_23 + m->_32) / s, (m->_31 - m->_13) / s);
    } else {
        const float s = 2.0f * std::sqrt(1.0f + m->_33 - m->_11 - m->_22);
        *out = D3DXQUATERNION((m->_13 + m->_31) / s, (m->_23 + m->_32) / s, 0.25f * s, (m->_12 - m->_21) / s);
    }
    return out;
}

D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* out, float yaw, float pitch, float roll) {
    const D3DXVECTOR3 xAxis(1, 0, 0), yAxis(0, 1, 0), zAxis(0, 0, 1);
    D3DXQUATERNION rollRotation, pitchRotation, yawRotation;
    D3DXQuaternionRotationAxis(&rollRotation, &zAxis, roll);
    D3DXQuaternionRotationAxis(&pitchRotation, &xAxis, pitch);
    D3DXQuaternionRotationAxis(&yawRotation, &yAxis, yaw);
    *out = rollRotation * pitchRotation * yawRotation;
    return out;
}

void D3DXQuaternionToAxisAngle(const D3DXQUATERNION* q, D3DXVECTOR3* axis, float* angle) {
    if (axis) {
        *axis = D3DXVECTOR3(q->x, q->y, q->z);
    }
    if (angle) {
        *angle = 2.0f * std::acos(std::clamp(q->w, -1.0f, 1.0f));
    }
}

D3DXQUATERNION* D3DXQuaternionSlerp(D3DXQUATERNION* out, const D3DXQUATERNION* a, const D3DXQUATERNION* b,
                                    float t) {
    float cosine = D3DXQuaternionDot(a, b);
    // q and -q are the same rotation; going towards the nearer one takes the shorter arc.
    const float sign = cosine < 0.0f ? -1.0f : 1.0f;
    cosine *= sign;
    float weightA = 1.0f - t;
    float weightB = t;
    // Nearly parallel quaternions interpolate linearly; the sines would lose all precision.
    if (1.0f - cosine > 0.001f) {
        const float theta = std::acos(cosine);
        const float sine = std::sin(theta);
        weightA = std::sin(theta * (1.0f - t)) / sine;
        weightB = std::sin(theta * t) / sine;
    }
    weightB *= sign;
    *out = D3DXQUATERNION(weightA * a->x + weightB * b->x, weightA * a->y + weightB * b->y,
                          weightA * a->z + weightB * b->z, weightA * a->w + weightB * b->w);
    return out;
}

// ---- planes ----

D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* out, const D3DXVECTOR3* point, const D3DXVECTOR3* normal) {
    *out = D3DXPLANE(normal->x, normal->y, normal->z, -D3DXVec3Dot(point, normal));
    return out;
}

D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* out, const D3DXVECTOR3* p1, const D3DXVECTOR3* p2,
                               const D3DXVECTOR3* p3) {
    const D3DXVECTOR3 edge1 = *p2 - *p1, edge2 = *p3 - *p1;
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &edge1, &edge2);
    D3DXVec3Normalize(&normal, &normal);
    return D3DXPlaneFromPointNormal(out, p1, &normal);
}

D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* out, const D3DXPLANE* p) {
    const float length = std::sqrt(p->a * p->a + p->b * p->b + p->c * p->c);
    const float scale = length > 0.0f ? 1.0f / length : 0.0f;
    *out = D3DXPLANE(p->a * scale, p->b * scale, p->c * scale, p->d * scale);
    return out;
}

float D3DXPlaneDotCoord(const D3DXPLANE* p, const D3DXVECTOR3* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z + p->d;
}

float D3DXPlaneDotNormal(const D3DXPLANE* p, const D3DXVECTOR3* v) {
    return p->a * v->x + p->b * v->y + p->c * v->z;
}

// ---- colours ----

D3DXCOLOR* D3DXColorModulate(D3DXCOLOR* out, const D3DXCOLOR* a, const D3DXCOLOR* b) {
    *out = D3DXCOLOR(a->r * b->r, a->g * b->g, a->b * b->b, a->a * b->a);
    return out;
}

D3DXCOLOR* D3DXColorLerp(D3DXCOLOR* out, const D3DXCOLOR* a, const D3DXCOLOR* b, float s) {
    *out = D3DXCOLOR(a->r + s * (b->r - a->r), a->g + s * (b->g - a->g), a->b + s * (b->b - a->b),
                     a->a + s * (b->a - a->a));
    return out;
}

D3DXCOLOR* D3DXColorScale(D3DXCOLOR* out, const D3DXCOLOR* c, float s) {
    *out = D3DXCOLOR(c->r * s, c->g * s, c->b * s, c->a * s);
    return out;
}
