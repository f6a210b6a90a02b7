#pragma once
// The trajectory reset every entity runs first, and the fixed matrix the engine gives to
// entities placed by their parent's XML or spawned at a matrix.

#include "engine/ai.h"
#include "platform/d3dx8/math.h"

class enXml;

// Sets the owner's trajectory matrix to the identity.
class CAIIdentityMatrix : public C_AI {
public:
    explicit CAIIdentityMatrix(const enXml& element);
    explicit CAIIdentityMatrix(CEntity* owner);
    bool Update() override;
};

// Multiplies a fixed matrix into the owner's trajectory. Created only by the engine.
class CAIMatrix : public C_AI {
public:
    explicit CAIMatrix(CEntity* owner);
    bool Update() override;

    void SetMatrix(const D3DXMATRIX& matrix) { m_matrix = matrix; }
    const D3DXMATRIX& GetMatrix() const { return m_matrix; }

private:
    D3DXMATRIX m_matrix;
};
