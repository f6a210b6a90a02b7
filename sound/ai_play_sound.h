#pragma once
// Lets an entity play catalogue sounds: all at once, one after another with a delay, in random
// order, waiting for the previous one to end, once or in a loop, optionally ending its entity
// when done.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ai.h"
#include "platform/bass/bass.h"

class enXml;

class CAIPlaySound : public C_AI {
public:
    explicit CAIPlaySound(const enXml& element);
    bool Update() override;

private:
    std::size_t NextIndex() const;
    void PlayNext();
    // With bWaitForPrevFinish: the next sound starts iDelay ticks after the previous one ended.
    void UpdateWaiting();

    std::vector<std::string> m_names;
    std::int32_t m_delay = 0;
    bool m_randomChoice = false;
    bool m_waitForPrevFinish = false;
    bool m_loop = false;
    bool m_dieOnFinish = false;

    std::int32_t m_tickCounter = 0;
    std::int32_t m_playedCount = 0;
    HCHANNEL m_channel = 0;
    bool m_firstTick = true;
};
