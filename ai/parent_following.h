#pragma once
// Components that follow the parent's world position or scale. With "bApplyToTrajectory" true
// they read the parent's world trajectory and write the owner's trajectory; with it false they
// read the parent's world placement and write the owner's placement, which lasts only on
// entities whose physics does not copy the trajectory over it.

#include "engine/ai.h"
#include "platform/d3dx8/math.h"

class enXml;

// Places the owner at the parent's position plus "p3Position"; the parent's rotation does not
// turn the offset.
class CAIMoveWithParent : public C_AI {
public:
    explicit CAIMoveWithParent(const enXml& element);
    bool Update() override;

private:
    D3DXVECTOR3 m_offset;
    bool m_applyToTrajectory = true;
};

// Gives each owner axis the length of the parent's axis times the matching "p3Scale"
// component, keeping the axis directions.
class CAIScaleWithParent : public C_AI {
public:
    explicit CAIScaleWithParent(const enXml& element);
    bool Update() override;

private:
    D3DXVECTOR3 m_scale;
    bool m_applyToTrajectory = true;
};
