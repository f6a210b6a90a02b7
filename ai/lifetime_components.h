#pragma once
// Lifetime components: they decide when their entity dies, by killing it.

#include <cstdint>

#include "engine/ai.h"

class enXml;

// Lives "fTimeToLive" seconds; for ever when the time is absent or negative.
class CAIDefaultLifeTime : public C_AI {
public:
    explicit CAIDefaultLifeTime(const enXml& element);
    explicit CAIDefaultLifeTime(CEntity* owner);
    bool Update() override;

    std::int32_t GetTicksToLive() const { return m_ticksToLive; }

private:
    std::int32_t m_ticksToLive = -1;
    std::int32_t m_ticksLived = 0;
};

// Dies on its first tick. Also the base of components that act once and vanish.
class CAISingleTickLifeTime : public C_AI {
public:
    explicit CAISingleTickLifeTime(const enXml& element);
    bool Update() override;
};

// Lives until the model's animation has played once. Models carry no animation, so the last
// key time is 0 and the entity dies on its first tick.
class CAISingleLoopAnimationLifeTime : public C_AI {
public:
    explicit CAISingleLoopAnimationLifeTime(const enXml& element);
    bool Update() override;

private:
    static constexpr std::int32_t kLastKeyTime = 0;
    std::int32_t m_ticksLived = 0;
};
