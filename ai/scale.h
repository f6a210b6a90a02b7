#pragma once
// Scales the owner's trajectory, growing or shrinking the scale every tick.

#include "engine/ai.h"
#include "platform/d3dx8/math.h"

class enXml;

class CAIScale : public C_AI {
public:
    explicit CAIScale(const enXml& element);
    bool Update() override;

    const D3DXVECTOR3& GetScale() const { return m_scale; }

private:
    D3DXVECTOR3 m_scale;
    D3DXVECTOR3 m_addPerTick;
    D3DXVECTOR3 m_factorPerTick;
};
