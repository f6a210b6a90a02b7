#include "ai/rotation_components.h"

#include <cmath>

#include "ai/affine_math.h"
#include "ai/motion_rules.h"
#include "ai/quaternion_routines.h"
#include "engine/entity.h"
#include "resource/xml.h"

namespace {

// 3 degrees per tick.
constexpr float kDefaultTurnSpeed = 0.05235988f;
constexpr double kDegreesPerRadian = 57.29577951308232;

tTurn ReadTurn(const enXml& element, float defaultSpeed) {
    tTurn turn;
    turn.speed = defaultSpeed;
    if (element.GetValueFloat("fRotateAngle", turn.angle)) {
        turn.angle = DegreesToRadians(turn.angle);
    }
    if (element.GetValueFloat("fRotateSpeed", turn.speed)) {
        turn.speed = DegreesPerSecondToRadiansPerTick(turn.speed);
    }
    return turn;
}

}  // namespace

float tTurn::Advance() {
    return angle = AdvanceAngle(angle, speed);
}

CAIRotateX::CAIRotateX(const enXml& element) : m_turn(ReadTurn(element, 0.0f)) {}

bool CAIRotateX::Update() {
    RotateX(m_owner->GetTrajectoryMatrix(), m_turn.Advance());
    return true;
}

CAIRotateY::CAIRotateY(const enXml& element) : m_turn(ReadTurn(element, kDefaultTurnSpeed)) {}

bool CAIRotateY::Update() {
    RotateY(m_owner->GetTrajectoryMatrix(), m_turn.Advance());
    return true;
}

CAIRotateZ::CAIRotateZ(const enXml& element) : m_turn(ReadTurn(element, kDefaultTurnSpeed)) {}

bool CAIRotateZ::Update() {
    RotateZ(m_owner->GetTrajectoryMatrix(), m_turn.Advance());
    return true;
}

CAISinRotateY::CAISinRotateY(const enXml& element) : m_phase(ReadTurn(element, kDefaultTurnSpeed)) {
    if (element.GetValueFloat("fAmplitude", m_amplitude)) {
        m_amplitude = DegreesToRadians(m_amplitude);
    }
}

bool CAISinRotateY::Update() {
    RotateY(m_owner->GetTrajectoryMatrix(), m_amplitude * std::sin(m_phase.Advance()));
    return true;
}

CAIRotateAroundAxis::CAIRotateAroundAxis(const enXml& element)
    : m_turn(ReadTurn(element, kDefaultTurnSpeed)) {
    element.GetValueVector("p3RotationAxis", m_axis);
}

bool CAIRotateAroundAxis::Update() {
    const float angle = m_turn.Advance();
    const D3DXMATRIX turn = MatrixFromQuaternion(QuaternionFromAxisAngle(m_axis, angle * kDegreesPerRadian));
    D3DXMATRIX& trajectory = m_owner->GetTrajectoryMatrix();
    trajectory = MultiplyAffine(trajectory, turn);
    return true;
}
