#include "ai/translation_components.h"

#include <cmath>

#include "ai/affine_math.h"
#include "ai/motion_rules.h"
#include "engine/entity.h"
#include "resource/xml.h"

namespace {

constexpr float kDefaultTravelSpeed = 1.5f;

tTravel ReadTravel(const enXml& element, float defaultSpeed) {
    tTravel travel;
    travel.speed = defaultSpeed;
    if (element.GetValueFloat("fSpeed", travel.speed)) {
        travel.speed = PerTick(travel.speed);
    }
    return travel;
}

}  // namespace

CAIPosition::CAIPosition(const enXml& element) {
    element.GetValueVector("p3Position", m_position);
}

bool CAIPosition::Update() {
    D3DXMATRIX& trajectory = m_owner->GetTrajectoryMatrix();
    trajectory._41 = m_position.x;
    trajectory._42 = m_position.y;
    trajectory._43 = m_position.z;
    return true;
}

CAIMoveY::CAIMoveY(const enXml& element) : m_travel(ReadTravel(element, kDefaultTravelSpeed)) {}

bool CAIMoveY::Update() {
    Translate(m_owner->GetTrajectoryMatrix(), {0.0f, m_travel.Advance(), 0.0f});
    return true;
}

CAIMoveZ::CAIMoveZ(const enXml& element) : m_travel(ReadTravel(element, kDefaultTravelSpeed)) {}

bool CAIMoveZ::Update() {
    Translate(m_owner->GetTrajectoryMatrix(), {0.0f, 0.0f, m_travel.Advance()});
    return true;
}

CAIMoveSinX::CAIMoveSinX(const enXml& element) {
    element.GetValueFloat("fAmplitude", m_amplitude);
    if (element.GetValueFloat("fAngleSpeed", m_phaseSpeed)) {
        m_phaseSpeed = PerTick(m_phaseSpeed);
    }
}

bool CAIMoveSinX::Update() {
    m_phase = AdvanceAngle(m_phase, m_phaseSpeed);
    Translate(m_owner->GetTrajectoryMatrix(), {m_amplitude * std::sin(m_phase), 0.0f, 0.0f});
    return true;
}

CAIMoveByVector::CAIMoveByVector(const enXml& element) : m_travel(ReadTravel(element, 0.0f)) {
    D3DXVECTOR3 vector;
    element.GetValueVector("p3Vector", vector);
    D3DXVec3Normalize(&m_direction, &vector);
    if (element.GetValueFloat("fAcceleration", m_acceleration)) {
        m_acceleration = PerTickSquared(m_acceleration);
    }
    element.GetValueBool("bStopOnZeroSpeed", m_stopOnZeroSpeed);
}

bool CAIMoveByVector::Update() {
    m_travel.speed = AccelerateSpeed(m_travel.speed, m_acceleration, m_stopOnZeroSpeed);
    Translate(m_owner->GetTrajectoryMatrix(), m_direction * m_travel.Advance());
    return true;
}
