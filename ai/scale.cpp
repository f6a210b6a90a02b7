#include "ai/scale.h"

#include "ai/motion_rules.h"
#include "engine/entity.h"
#include "resource/xml.h"

CAIScale::CAIScale(const enXml& element) : m_scale(1.0f, 1.0f, 1.0f), m_factorPerTick(1.0f, 1.0f, 1.0f) {
    element.GetValueVector("p3Scale", m_scale);
    if (element.GetValueVector("p3ScaleVelocityAdd", m_addPerTick)) {
        m_addPerTick = D3DXVECTOR3(PerTick(m_addPerTick.x), PerTick(m_addPerTick.y), PerTick(m_addPerTick.z));
    }
    if (element.GetValueVector("p3ScaleVelocityMul", m_factorPerTick)) {
        m_factorPerTick =
            D3DXVECTOR3(ScaleFactorPerTick(m_factorPerTick.x), ScaleFactorPerTick(m_factorPerTick.y),
                        ScaleFactorPerTick(m_factorPerTick.z));
    }
}

bool CAIScale::Update() {
    // Scaling multiplies every column, the translation row's included.
    for (auto& row : m_owner->GetTrajectoryMatrix().m) {
        row[0] *= m_scale.x;
        row[1] *= m_scale.y;
        row[2] *= m_scale.z;
    }
    m_scale = D3DXVECTOR3((m_scale.x + m_addPerTick.x) * m_factorPerTick.x,
                          (m_scale.y + m_addPerTick.y) * m_factorPerTick.y,
                          (m_scale.z + m_addPerTick.z) * m_factorPerTick.z);
    return true;
}
