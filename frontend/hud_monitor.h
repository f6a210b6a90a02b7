#pragma once
// A HUD element that fades in with a broker float: transparent at or below the range's
// minimum, opaque at or above its maximum.

#include <cstdint>
#include <string>

#include "engine/ai.h"

class enXml;

class CAIHUDMonitorValueRange : public C_AI {
public:
    explicit CAIHUDMonitorValueRange(const enXml& element);
    bool Update() override;

    // The alpha for a value: 0 to 255 over [minimum, maximum].
    static float AlphaFor(float value, std::int32_t minimum, std::int32_t maximum);

private:
    std::string m_brokerValue;
    std::int32_t m_rangeMin = -1;
    std::int32_t m_rangeMax = -1;
    bool m_multiplyAlpha = false;
};
