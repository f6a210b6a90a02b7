#include "ai/alpha_effects.h"

#include <algorithm>
#include <utility>

#include "ai/motion_rules.h"
#include "engine/broker.h"
#include "engine/entity.h"
#include "resource/xml.h"

namespace {

// 1/255 as the data was tuned with.
constexpr float kOneOver255 = 0.003921569f;

// The negated comparison also turns a value that is not a number into 0.
float ClampAlpha(float alpha) {
    return !(alpha > 0.0f) ? 0.0f : std::min(alpha, 255.0f);
}

}  // namespace

void ApplyEntityAlpha(CEntity& entity, float alpha, bool applyToSubentities) {
    entity.SetAlpha(static_cast<std::uint8_t>(ClampAlpha(alpha)), applyToSubentities);
}

CAIFadeByAlpha::CAIFadeByAlpha(const enXml& element) {
    element.GetValueFloat("fAlpha1", m_alpha[0]);
    element.GetValueFloat("fAlpha2", m_alpha[1]);
    element.GetValueFloat("fAlpha3", m_alpha[2]);
    const char* const times[kPhases] = {"fTime1", "fTime12", "fTime2", "fTime23", "fTime3"};
    for (int phase = 0; phase < kPhases; ++phase) {
        float seconds = 0.0f;
        element.GetValueFloat(times[phase], seconds);
        m_length[phase] = SecondsToTicks(seconds);
    }
    element.GetValueBool("bApplyToSubentities", m_applyToSubentities);
    element.GetValueBool("bLooped", m_looped);
    element.GetValueBool("bKillOnFinish", m_killOnFinish);
}

float CAIFadeByAlpha::PhaseAlpha() const {
    // Even phases hold a level; odd phases move from one level to the next.
    const int level = m_phase / 2;
    if (m_phase % 2 == 0) {
        return m_alpha[level];
    }
    const float from = m_alpha[level];
    const float to = m_alpha[level + 1];
    const std::int32_t length = m_length[m_phase];
    if (length == 0) {
        return to;
    }
    return from + (to - from) * static_cast<float>(m_counter) / static_cast<float>(length);
}

void CAIFadeByAlpha::Advance() {
    ++m_counter;
    if (m_counter < m_length[m_phase]) {
        return;
    }
    m_counter = 0;
    if (m_phase + 1 < kPhases) {
        ++m_phase;
    } else if (m_looped) {
        m_phase = 0;
    } else {
        m_finished = true;
        if (m_killOnFinish) {
            m_owner->Kill();
        }
    }
}

bool CAIFadeByAlpha::Update() {
    if (m_finished) {
        return true;
    }
    ApplyEntityAlpha(*m_owner, PhaseAlpha(), m_applyToSubentities);
    Advance();
    return true;
}

CAIBlinkAlpha::CAIBlinkAlpha(const enXml& element) {
    element.GetValueString("sBrokerValue", m_brokerValue);
    element.GetValueFloat("fStartAlpha", m_alpha);
    if (float perSecond = 0.0f; element.GetValueFloat("fSpeed", perSecond)) {
        m_speed = PerTick(perSecond);
    }
    element.GetValueFloat("fMinAlpha", m_minimum);
    element.GetValueFloat("fMaxAlpha", m_maximum);
    if (m_minimum > m_maximum) {
        std::swap(m_minimum, m_maximum);
    }
    float waitSeconds = 0.0f;
    element.GetValueFloat("fInitialWaitTime", waitSeconds);
    m_wait = SecondsToTicks(waitSeconds);
    element.GetValueBool("bApplyToSubentities", m_applyToSubentities);
    element.GetValueBool("bLooped", m_looped);
    element.GetValueBool("bPingPong", m_pingPong);
    element.GetValueBool("bMultiplyAlpha", m_multiplyAlpha);
    element.GetValueBool("bKillOnFinish", m_killOnFinish);
}

bool CAIBlinkAlpha::SwitchedOn() const {
    if (m_brokerValue.empty()) {
        return true;
    }
    bool on = false;
    CBroker::Instance().GetBool(m_brokerValue, on);
    return on;
}

void CAIBlinkAlpha::Step() {
    // Counting down stops at zero, so a long wait never wraps the counter.
    if (m_wait > 0) {
        --m_wait;
        return;
    }
    m_alpha += m_speed;
    if (m_alpha >= m_minimum && m_alpha <= m_maximum) {
        return;
    }
    if (!m_looped) {
        m_finished = true;
        if (m_killOnFinish) {
            m_owner->Kill();
        }
        return;
    }
    m_alpha = std::clamp(m_alpha, m_minimum, m_maximum);
    if (m_pingPong) {
        m_speed = -m_speed;
    } else {
        m_alpha = m_maximum + m_minimum - m_alpha;
    }
}

bool CAIBlinkAlpha::Update() {
    if (!SwitchedOn()) {
        ApplyEntityAlpha(*m_owner, 255.0f, m_applyToSubentities);
        return true;
    }
    if (!m_finished) {
        Step();
    }
    float alpha = ClampAlpha(m_alpha);
    if (m_multiplyAlpha) {
        alpha = static_cast<float>(m_owner->GetAlpha()) * alpha * kOneOver255;
    }
    ApplyEntityAlpha(*m_owner, alpha, m_applyToSubentities);
    return true;
}
