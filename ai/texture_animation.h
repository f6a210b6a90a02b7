#pragma once
// Components that move the texture coordinates of the entity's model: a steady scroll, and the
// cells of a sprite sheet in turn.

#include <cstdint>

#include "engine/ai.h"
#include "platform/d3dx8/math.h"

class enXml;
class CModel;

// Shifts the model's texture coordinates by (u, v) through its texture transform.
void SetTextureOffset(CModel& model, float u, float v);

class CAITextureMove : public C_AI {
public:
    explicit CAITextureMove(const enXml& element);
    bool Update() override;

private:
    D3DXVECTOR3 m_step;  // per tick, along the normalised vector
    D3DXVECTOR3 m_offset;
};

class CAIAnimateTextureCoordinates : public C_AI {
public:
    explicit CAIAnimateTextureCoordinates(const enXml& element);
    bool Update() override;

private:
    // Moves to the next cell; false when a sheet that does not loop has shown its last cell.
    bool Advance();

    std::int32_t m_stepsU = 0;
    std::int32_t m_stepsV = 0;
    float m_stepU = 0.0f;
    float m_stepV = 0.0f;
    float m_originU = 0.0f;
    float m_originV = 0.0f;
    std::int32_t m_delay = 0;
    bool m_looped = false;
    bool m_dieOnFinish = false;

    std::int32_t m_u = 0;
    std::int32_t m_v = 0;
    std::int32_t m_counter = 0;
    bool m_finished = false;
};
