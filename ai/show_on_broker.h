#pragma once
// Components that bind an entity's visibility to a broker value.

#include <cstdint>
#include <string>

#include "engine/ai.h"

class enXml;

// Visible exactly while the broker's boolean equals "bValue"; a missing value changes nothing.
class CAIShowOnBool : public C_AI {
public:
    explicit CAIShowOnBool(const enXml& element);
    bool Update() override;

private:
    std::string m_brokerValue;
    bool m_value = true;
};

// Visible exactly while the broker's integer equals "iValue"; a missing value changes nothing.
class CAIShowOnIntEquals : public C_AI {
public:
    explicit CAIShowOnIntEquals(const enXml& element);
    bool Update() override;

private:
    std::string m_brokerValue;
    std::int32_t m_value = 0;
};
