#pragma once
// Components that drive an entity's alpha: a three-level fade envelope and a blink between two
// levels.

#include <cstdint>
#include <string>

#include "engine/ai.h"

class enXml;

// Clamps to 0..255, truncates and sets the alpha on the entity, and on its subtree too when asked.
void ApplyEntityAlpha(CEntity& entity, float alpha, bool applyToSubentities);

// Holds alpha 1, moves to alpha 2, holds it, moves to alpha 3, holds it; then starts over or ends.
class CAIFadeByAlpha : public C_AI {
public:
    explicit CAIFadeByAlpha(const enXml& element);
    bool Update() override;

private:
    static constexpr int kPhases = 5;
    float PhaseAlpha() const;
    void Advance();

    float m_alpha[3] = {255.0f, 255.0f, 255.0f};
    std::int32_t m_length[kPhases] = {};  // ticks of: hold 1, move 1 to 2, hold 2, move 2 to 3, hold 3
    bool m_applyToSubentities = false;
    bool m_looped = true;
    bool m_killOnFinish = false;

    int m_phase = 0;
    std::int32_t m_counter = 0;
    bool m_finished = false;
};

// Steps the alpha by a speed between a minimum and a maximum, bouncing or wrapping at the ends;
// optionally only while a broker boolean is true.
class CAIBlinkAlpha : public C_AI {
public:
    explicit CAIBlinkAlpha(const enXml& element);
    bool Update() override;

private:
    // False when the broker switch is set and off (or missing).
    bool SwitchedOn() const;
    void Step();

    std::string m_brokerValue;
    float m_speed = -1.0f;
    float m_minimum = 0.0f;
    float m_maximum = 255.0f;
    bool m_applyToSubentities = false;
    bool m_looped = true;
    bool m_pingPong = true;
    bool m_multiplyAlpha = false;
    bool m_killOnFinish = false;

    float m_alpha = 255.0f;
    std::int32_t m_wait = 0;
    bool m_finished = false;
};
