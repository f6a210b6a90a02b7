#include "frontend/hud_monitor.h"

#include <algorithm>

#include "engine/broker.h"
#include "engine/entity.h"
#include "resource/xml.h"

CAIHUDMonitorValueRange::CAIHUDMonitorValueRange(const enXml& element) {
    element.GetValueString("sBrokerValue", m_brokerValue);
    // The data names them as floats, but they are read as integers.
    element.GetValueInt("fRangeMin", m_rangeMin);
    element.GetValueInt("fRangeMax", m_rangeMax);
    element.GetValueBool("bMultiplyAlpha", m_multiplyAlpha);
}

float CAIHUDMonitorValueRange::AlphaFor(float value, std::int32_t minimum, std::int32_t maximum) {
    const auto low = static_cast<float>(minimum);
    const auto high = static_cast<float>(maximum);
    if (value <= low) {
        return 0.0f;
    }
    if (value >= high) {
        return 255.0f;
    }
    return (value - low) * 255.0f / (high - low);
}

bool CAIHUDMonitorValueRange::Update() {
    if (!m_owner || m_brokerValue.empty() || m_rangeMin == -1 || m_rangeMax == -1 ||
        m_rangeMin >= m_rangeMax) {
        return true;
    }
    float value = 0.0f;
    if (!CBroker::Instance().GetFloat(m_brokerValue, value)) {
        return true;
    }
    float alpha = AlphaFor(value, m_rangeMin, m_rangeMax);
    if (m_multiplyAlpha) {
        alpha = static_cast<float>(m_owner->GetAlpha()) * alpha / 255.0f;
    }
    // Written so that a value that is not a number ends as 0.
    m_owner->SetAlpha(static_cast<std::uint8_t>(std::max(0.0f, std::min(alpha, 255.0f))), false);
    return true;
}
