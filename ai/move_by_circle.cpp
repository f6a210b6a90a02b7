#include "ai/move_by_circle.h"

#include <cmath>
#include <string>

#include "ai/affine_math.h"
#include "ai/motion_rules.h"
#include "engine/entity.h"
#include "resource/xml.h"

CAIMoveByCircle::CAIMoveByCircle(const enXml& element) {
    element.GetValueFloat("fRadius", m_radius);
    if (element.GetValueFloat("fSpeed", m_speed)) {
        m_speed = PerTick(m_speed);
    }
    std::string direction;
    if (element.GetValueString("sDirection", direction)) {
        m_turnRight = !EqualsIgnoringCase(direction, "Left");
    }
}

bool CAIMoveByCircle::Update() {
    // A circle without radius has no path to follow.
    if (m_radius == 0.0f) {
        return true;
    }
    m_angle += m_speed / m_radius;
    const float phi = m_turnRight ? -m_angle : m_angle;
    const float centre = m_turnRight ? m_radius : -m_radius;
    D3DXMATRIX step;
    D3DXMatrixRotationZ(&step, phi);
    step._41 = centre * std::cos(phi) + centre;
    step._42 = centre * std::sin(phi);
    D3DXMATRIX& trajectory = m_owner->GetTrajectoryMatrix();
    trajectory = MultiplyAffine(trajectory, step);
    return true;
}
