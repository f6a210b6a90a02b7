#include "ai/texture_animation.h"

#include "ai/motion_rules.h"
#include "app/debug_log.h"
#include "engine/entity.h"
#include "render/model.h"
#include "resource/name_atom.h"
#include "resource/xml.h"

namespace {

constexpr float kShortestVector = 1.1920929e-07f;
constexpr float kDefaultSpeedPerTick = 0.03f;

}  // namespace

void SetTextureOffset(CModel& model, float u, float v) {
    // Direct3D extends two texture coordinates to (u, v, 1): the third row shifts them.
    D3DXMATRIX transform;
    D3DXMatrixIdentity(&transform);
    transform._31 = u;
    transform._32 = v;
    model.SetTextureTransform(transform, true);
}

CAITextureMove::CAITextureMove(const enXml& element) {
    D3DXVECTOR3 vector(0.0f, 1.0f, 0.0f);
    element.GetValueVector("p3Vector", vector);
    float speed = kDefaultSpeedPerTick;
    if (float perSecond = 0.0f; element.GetValueFloat("fSpeed", perSecond)) {
        speed = PerTick(perSecond);
    }
    const float lengthSquared = vector.x * vector.x + vector.y * vector.y + vector.z * vector.z;
    if (!(lengthSquared >= kShortestVector)) {
        CDebugLog::Instance().LogLevel(
            2, "Warning: %s->CAITextureMove->Wrong vector p3Vector: (%Lg, %Lg, %Lg)",
            element.GetName()->Text().c_str(), static_cast<long double>(vector.x),
            static_cast<long double>(vector.y), static_cast<long double>(vector.z));
    }
    if (!(lengthSquared > 0.0f)) {
        return;  // a zero vector moves nothing
    }
    D3DXVECTOR3 direction;
    D3DXVec3Normalize(&direction, &vector);
    m_step = D3DXVECTOR3(direction.x * speed, direction.y * speed, direction.z * speed);
}

bool CAITextureMove::Update() {
    CModel* model = m_owner->GetModel();
    if (!model) {
        return true;
    }
    m_offset = D3DXVECTOR3(m_offset.x + m_step.x, m_offset.y + m_step.y, m_offset.z + m_step.z);
    SetTextureOffset(*model, m_offset.x, m_offset.y);
    return true;
}

CAIAnimateTextureCoordinates::CAIAnimateTextureCoordinates(const enXml& element) {
    element.GetValueInt("iNumStepsU", m_stepsU);
    element.GetValueInt("iNumStepsV", m_stepsV);
    element.GetValueFloat("fStepU", m_stepU);
    element.GetValueFloat("fStepV", m_stepV);
    element.GetValueFloat("fOriginU", m_originU);
    element.GetValueFloat("fOriginV", m_originV);
    element.GetValueInt("iDelay", m_delay);
    element.GetValueBool("bLooped", m_looped);
    element.GetValueBool("bDieOnFinish", m_dieOnFinish);
    std::int32_t start = 0;
    if (element.GetValueInt("iStart", start) && m_stepsU != 0) {
        m_u = start % m_stepsU;
        if (m_stepsV != 0) {
            m_v = (start / m_stepsU) % m_stepsV;
        }
    }
}

bool CAIAnimateTextureCoordinates::Advance() {
    if (m_u < m_stepsU - 1) {
        ++m_u;
        return true;
    }
    m_u = 0;
    if (m_v < m_stepsV - 1) {
        ++m_v;
        return true;
    }
    m_v = 0;
    if (m_looped) {
        return true;
    }
    m_finished = true;
    if (m_dieOnFinish) {
        m_owner->Kill();
    }
    // A one-cell sheet still shows its only cell.
    return m_stepsU == 1 && m_stepsV == 1;
}

bool CAIAnimateTextureCoordinates::Update() {
    if (m_finished || m_stepsU == 0 || m_stepsV == 0) {
        return true;
    }
    if (++m_counter <= m_delay) {
        return true;
    }
    m_counter = 0;
    CModel* model = m_owner->GetModel();
    if (!model || !Advance()) {
        return true;
    }
    SetTextureOffset(*model, static_cast<float>(m_u) * m_stepU + m_originU,
                     static_cast<float>(m_v) * m_stepV + m_originV);
    return true;
}
