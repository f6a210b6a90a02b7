#include "ai/random_move_rotate.h"

#include <cmath>
#include <cstdlib>

#include "ai/affine_math.h"
#include "ai/motion_rules.h"
#include "ai/quaternion_routines.h"
#include "engine/entity.h"
#include "resource/xml.h"

namespace {

constexpr int kRandomRange = 32767;
constexpr float kOneOverRandomRange = 0.00003051851f;
// Accelerations smaller than this leave the velocity alone.
constexpr float kNoAcceleration = 1.1920929e-07f;

// A draw from 0 to 32767, the range the motion ranges are scaled for.
int DrawRandom() {
    return std::rand() % (kRandomRange + 1);
}

// A draw centred on zero, from -32767 to 32767.
float DrawCentred() {
    return static_cast<float>(2 * DrawRandom() - kRandomRange);
}

D3DXVECTOR3 DrawCentredVector() {
    const float x = DrawCentred();
    const float y = DrawCentred();
    const float z = DrawCentred();
    return {x, y, z};
}

D3DXVECTOR3 Normalized(const D3DXVECTOR3& v) {
    D3DXVECTOR3 result;
    D3DXVec3Normalize(&result, &v);
    return result;
}

float ReadPerTick(const enXml& element, const char* name, float value) {
    if (element.GetValueFloat(name, value)) {
        value = PerTick(value);
    }
    return value;
}

}  // namespace

CAIRandomMoveRotate::CAIRandomMoveRotate(const enXml& element) {
    element.GetValueFloat("fInitialDistance", m_initialDistance);
    m_minMoveSpeed = ReadPerTick(element, "fMinMoveSpeed", m_minMoveSpeed);
    m_maxMoveSpeed = ReadPerTick(element, "fMaxMoveSpeed", m_maxMoveSpeed);
    if (element.GetValueFloat("fAcceleration", m_acceleration)) {
        m_acceleration = PerTickSquared(m_acceleration);
    }
    element.GetValueBool("bStopOnZeroSpeed", m_stopOnZeroSpeed);
    m_minRotateSpeed = ReadPerTick(element, "fMinRotateSpeed", m_minRotateSpeed);
    m_maxRotateSpeed = ReadPerTick(element, "fMaxRotateSpeed", m_maxRotateSpeed);

    D3DXMatrixIdentity(&m_rotation);
    DrawVelocity();
    DrawStepRotation();
    m_offset = Normalized(m_velocity) * m_initialDistance;
    element.GetValueVector("p3InitialPosition", m_offset);
}

void CAIRandomMoveRotate::DrawVelocity() {
    const float spread = (m_maxMoveSpeed - m_minMoveSpeed) * kOneOverRandomRange;
    const D3DXVECTOR3 drawn = DrawCentredVector() * spread;
    m_velocity = drawn + Normalized(drawn) * m_minMoveSpeed;
}

void CAIRandomMoveRotate::DrawStepRotation() {
    const D3DXVECTOR3 axis = DrawCentredVector();
    const float angle =
        static_cast<float>(DrawRandom()) * (m_maxRotateSpeed - m_minRotateSpeed) * kOneOverRandomRange +
        m_minRotateSpeed;
    m_stepRotation = MatrixFromQuaternion(QuaternionFromAxisAngle(axis, angle));
}

bool CAIRandomMoveRotate::Update() {
    if (std::fabs(m_acceleration) >= kNoAcceleration) {
        const float speed = AccelerateSpeed(D3DXVec3Length(&m_velocity), m_acceleration, m_stopOnZeroSpeed);
        m_velocity = Normalized(m_velocity) * speed;
    }
    m_rotation = MultiplyAffine(m_rotation, m_stepRotation);
    m_offset += m_velocity;
    D3DXMATRIX& trajectory = m_owner->GetTrajectoryMatrix();
    MultiplyBlock(trajectory, m_rotation);
    Translate(trajectory, m_offset);
    return true;
}
