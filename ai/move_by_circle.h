#pragma once
// Circles the owner in the x-y plane around a centre one radius to its right or left, turning
// with its path.

#include "engine/ai.h"

class enXml;

class CAIMoveByCircle : public C_AI {
public:
    explicit CAIMoveByCircle(const enXml& element);
    bool Update() override;
    void Reset() override { m_angle = 0.0f; }

private:
    float m_radius = 1.0f;
    float m_speed = 0.05f;  // along the path, per tick
    bool m_turnRight = true;
    float m_angle = 0.0f;
};
