#include "sound/ai_play_sound.h"

#include <cstdlib>

#include "engine/entity.h"
#include "resource/xml.h"
#include "sound/sound_manager.h"

namespace {
// The random numbers the choice was made for run from 0 to 32767.
constexpr int kRandomMax = 32767;
}  // namespace

CAIPlaySound::CAIPlaySound(const enXml& element) {
    std::string names;
    element.GetValueString("sSoundsNames", names);
    m_names = CSoundManager::SplitNames(names);
    element.GetValueInt("iDelay", m_delay);
    element.GetValueBool("bRandomChoice", m_randomChoice);
    element.GetValueBool("bWaitForPrevFinish", m_waitForPrevFinish);
    element.GetValueBool("bLoop", m_loop);
    element.GetValueBool("bDieOnFinish", m_dieOnFinish);
}

std::size_t CAIPlaySound::NextIndex() const {
    const std::size_t count = m_names.size();
    std::size_t index = static_cast<std::size_t>(m_playedCount);
    if (m_randomChoice) {
        const auto random = static_cast<std::size_t>(std::rand() % (kRandomMax + 1));
        index = random * count / kRandomMax;
    }
    return index < count ? index : 0;
}

void CAIPlaySound::PlayNext() {
    if (!m_names.empty()) {
        CSoundManager& sounds = CSoundManager::Instance();
        if (const HSAMPLE sample = sounds.FindSample(m_names[NextIndex()])) {
            m_channel = sounds.PlaySample(sample);
        }
    }
    ++m_playedCount;
}

void CAIPlaySound::UpdateWaiting() {
    CSoundManager& sounds = CSoundManager::Instance();
    if (sounds.IsChannelValid(m_channel) && !sounds.IsChannelPlaying(m_channel)) {
        m_tickCounter = 0;
        m_channel = 0;
    }
    if (!sounds.IsChannelValid(m_channel) && m_tickCounter >= m_delay) {
        PlayNext();
    }
}

bool CAIPlaySound::Update() {
    const auto count = static_cast<std::int32_t>(m_names.size());
    if (!m_loop && m_playedCount >= count) {
        if (m_dieOnFinish) {
            m_owner->Kill();
        }
        return true;
    }
    if (m_delay == 0 && !m_waitForPrevFinish) {
        CSoundManager::Instance().PlaySounds(m_names);
        m_playedCount += count;
    } else if (m_firstTick) {
        PlayNext();
    } else if (m_waitForPrevFinish) {
        UpdateWaiting();
    } else if (m_tickCounter >= m_delay) {
        PlayNext();
        m_tickCounter = 0;
    }
    m_firstTick = false;
    ++m_tickCounter;
    return true;
}
