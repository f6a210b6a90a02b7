#pragma once
// Drifts and tumbles the owner in a direction and about an axis drawn at random when the
// component is built, so that every new entity moves differently.

#include "engine/ai.h"
#include "platform/d3dx8/math.h"

class enXml;

class CAIRandomMoveRotate : public C_AI {
public:
    explicit CAIRandomMoveRotate(const enXml& element);
    bool Update() override;

    const D3DXVECTOR3& GetVelocity() const { return m_velocity; }
    const D3DXMATRIX& GetStepRotation() const { return m_stepRotation; }

private:
    void DrawVelocity();
    void DrawStepRotation();

    float m_initialDistance = 0.0f;
    float m_minMoveSpeed = 0.0f;
    float m_maxMoveSpeed = 0.1f;
    float m_acceleration = 0.0f;
    bool m_stopOnZeroSpeed = false;
    float m_minRotateSpeed = 0.0f;   // degrees per tick
    float m_maxRotateSpeed = 10.0f;  // degrees per tick
    D3DXVECTOR3 m_velocity;
    D3DXMATRIX m_stepRotation;
    D3DXVECTOR3 m_offset;
    D3DXMATRIX m_rotation;
};
