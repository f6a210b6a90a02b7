#pragma once
// Bounces the owner's position inside a box, each axis on its own.

#include "engine/ai.h"
#include "platform/d3dx8/math.h"

class enXml;

class CAIVolumePingPong : public C_AI {
public:
    explicit CAIVolumePingPong(const enXml& element);
    bool Update() override;
    void Reset() override { m_position = m_initialPosition; }

private:
    D3DXVECTOR3 m_minimum;
    D3DXVECTOR3 m_maximum;
    D3DXVECTOR3 m_initialPosition;
    D3DXVECTOR3 m_position;
    D3DXVECTOR3 m_velocity;  // per tick
};
