#include "ai/volume_ping_pong.h"

#include <cmath>

#include "ai/affine_math.h"
#include "engine/entity.h"
#include "resource/xml.h"

namespace {

// Turns the velocity inward when the position has left [minimum, maximum], then moves.
void BounceAxis(float& position, float& velocity, float minimum, float maximum) {
    if (position < minimum) {
        velocity = std::fabs(velocity);
    }
    if (position > maximum) {
        velocity = -std::fabs(velocity);
    }
    position += velocity;
}

}  // namespace

CAIVolumePingPong::CAIVolumePingPong(const enXml& element)
    : m_initialPosition(0.0f, 0.0f, 0.0f), m_velocity(0.05f, 0.0f, 0.1f) {
    D3DXVECTOR3 corner1(-20.0f, -10.0f, 0.0f), corner2(20.0f, 10.0f, 10.0f);
    element.GetValueVector("p3BoundsP1", corner1);
    element.GetValueVector("p3BoundsP2", corner2);
    D3DXVec3Minimize(&m_minimum, &corner1, &corner2);
    D3DXVec3Maximize(&m_maximum, &corner1, &corner2);
    element.GetValueVector("p3InitialPosition", m_initialPosition);
    element.GetValueVector("p3InitialSpeedVector", m_velocity);
    m_position = m_initialPosition;
}

bool CAIVolumePingPong::Update() {
    BounceAxis(m_position.x, m_velocity.x, m_minimum.x, m_maximum.x);
    BounceAxis(m_position.y, m_velocity.y, m_minimum.y, m_maximum.y);
    BounceAxis(m_position.z, m_velocity.z, m_minimum.z, m_maximum.z);
    Translate(m_owner->GetTrajectoryMatrix(), m_position);
    return true;
}
