#pragma once
// Components that move the owner's trajectory in a straight line or along a sine.

#include "engine/ai.h"
#include "platform/d3dx8/math.h"

class enXml;

// A distance that grows by a per-tick speed.
struct tTravel {
    float distance = 0.0f;
    float speed = 0.0f;

    float Advance() { return distance += speed; }
};

// Puts the trajectory's translation at "p3Position", leaving its rotation rows alone.
class CAIPosition : public C_AI {
public:
    explicit CAIPosition(const enXml& element);
    bool Update() override;

private:
    D3DXVECTOR3 m_position;
};

// Travels along y at "fSpeed".
class CAIMoveY : public C_AI {
public:
    explicit CAIMoveY(const enXml& element);
    bool Update() override;
    void Reset() override { m_travel.distance = 0.0f; }

private:
    tTravel m_travel;
};

// Travels along z at "fSpeed".
class CAIMoveZ : public C_AI {
public:
    explicit CAIMoveZ(const enXml& element);
    bool Update() override;
    void Reset() override { m_travel.distance = 0.0f; }

private:
    tTravel m_travel;
};

// Swings along x: "fAmplitude" × sin(phase), the phase turning at "fAngleSpeed".
class CAIMoveSinX : public C_AI {
public:
    explicit CAIMoveSinX(const enXml& element);
    bool Update() override;
    void Reset() override { m_phase = 0.0f; }

private:
    float m_phase = 0.0f;
    float m_amplitude = 3.0f;
    float m_phaseSpeed = 0.05235988f;
};

// Travels along "p3Vector" with "fSpeed", "fAcceleration" and optionally stopping at zero speed.
class CAIMoveByVector : public C_AI {
public:
    explicit CAIMoveByVector(const enXml& element);
    bool Update() override;
    void Reset() override { m_travel.distance = 0.0f; }

private:
    tTravel m_travel;
    float m_acceleration = 0.0f;
    bool m_stopOnZeroSpeed = false;
    D3DXVECTOR3 m_direction;
};
