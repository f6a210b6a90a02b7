#pragma once
// Components that turn the owner's trajectory about a fixed axis.

#include "engine/ai.h"
#include "platform/d3dx8/math.h"

class enXml;

// An angle in radians turning by a per-tick speed, wrapped after a full turn.
struct tTurn {
    float angle = 0.0f;
    float speed = 0.0f;

    float Advance();
};

// Turns about x by "fRotateSpeed" (degrees per second) from "fRotateAngle" (degrees); still
// unless a speed is given.
class CAIRotateX : public C_AI {
public:
    explicit CAIRotateX(const enXml& element);
    bool Update() override;
    void Reset() override { m_turn.angle = 0.0f; }

private:
    tTurn m_turn;
};

// Turns about y, 3 degrees per tick unless a speed is given.
class CAIRotateY : public C_AI {
public:
    explicit CAIRotateY(const enXml& element);
    bool Update() override;
    void Reset() override { m_turn.angle = 0.0f; }

private:
    tTurn m_turn;
};

// Turns about z, 3 degrees per tick unless a speed is given.
class CAIRotateZ : public C_AI {
public:
    explicit CAIRotateZ(const enXml& element);
    bool Update() override;
    void Reset() override { m_turn.angle = 0.0f; }

private:
    tTurn m_turn;
};

// Sways about y by "fAmplitude" (degrees) × sin(phase).
class CAISinRotateY : public C_AI {
public:
    explicit CAISinRotateY(const enXml& element);
    bool Update() override;
    void Reset() override { m_phase.angle = 0.0f; }

private:
    tTurn m_phase;
    float m_amplitude = 0.0f;
};

// Turns about "p3RotationAxis"; the default zero axis names no rotation and leaves the
// trajectory as it is.
class CAIRotateAroundAxis : public C_AI {
public:
    explicit CAIRotateAroundAxis(const enXml& element);
    bool Update() override;
    void Reset() override { m_turn.angle = 0.0f; }

private:
    tTurn m_turn;
    D3DXVECTOR3 m_axis;
};
