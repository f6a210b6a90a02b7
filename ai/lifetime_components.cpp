#include "ai/lifetime_components.h"

#include "ai/motion_rules.h"
#include "engine/entity.h"
#include "resource/xml.h"

CAIDefaultLifeTime::CAIDefaultLifeTime(const enXml& element) {
    float seconds = -1.0f;
    // The comparison is false for a time that is not a number, which then lives for ever too.
    if (element.GetValueFloat("fTimeToLive", seconds) && seconds >= 0.0f) {
        m_ticksToLive = SecondsToTicks(seconds);
    }
}

CAIDefaultLifeTime::CAIDefaultLifeTime(CEntity* owner) {
    SetOwner(owner);
}

bool CAIDefaultLifeTime::Update() {
    if (m_ticksToLive < 0) {
        return true;
    }
    ++m_ticksLived;
    if (m_ticksLived >= m_ticksToLive) {
        m_owner->Kill();
    }
    return true;
}

CAISingleTickLifeTime::CAISingleTickLifeTime(const enXml& /*element*/) {}

bool CAISingleTickLifeTime::Update() {
    m_owner->Kill();
    return true;
}

CAISingleLoopAnimationLifeTime::CAISingleLoopAnimationLifeTime(const enXml& /*element*/) {}

bool CAISingleLoopAnimationLifeTime::Update() {
    if (m_ticksLived >= kLastKeyTime) {
        m_owner->Kill();
    }
    ++m_ticksLived;
    return true;
}
