#include "frontend/button.h"

#include "engine/broker.h"
#include "engine/entity.h"
#include "frontend/frontend_input.h"
#include "frontend/frontend_manager.h"
#include "resource/xml.h"
#include "sound/sound_manager.h"

namespace {

const char* const kStateNames[] = {"Normal", "HighLighted", "Pressed", "Disabled"};

}  // namespace

CAIButton::CAIButton(const enXml& element) : CAIFrontendControl(element) {
    m_messages.push_back({kMessageButtonPressed, m_id});
    CMessagesBroker::Instance().ParseList(element, "sMessage", m_messages);
    element.GetValueInt("iProcessInputDelay", m_processInputDelay);
    element.GetValueInt("iFirstDelay", m_firstDelay);
    element.GetValueInt("iDelay", m_delay);
    element.GetValueInt("iDoubleSpeedDelay", m_doubleSpeedDelay);
    element.GetValueString("sButtonClickSound", m_clickSound);
    element.GetValueString("sMouseCursor", m_mouseCursor);
    m_interval = m_delay;
    Register();
}

bool CAIButton::Update() {
    ShowStateChild(kStateNames[m_state]);
    HandleInput();
    return true;
}

bool CAIButton::SetActive(bool active) {
    if (m_state == kDisabled) {
        return false;
    }
    m_state = active ? (m_held ? kPressed : kHighLighted) : kNormal;
    return true;
}

bool CAIButton::Press() {
    if (m_state == kDisabled) {
        return false;
    }
    m_held = true;
    m_state = kPressed;
    return true;
}

bool CAIButton::Release() {
    if (m_state == kDisabled) {
        return false;
    }
    m_held = false;
    m_state = kNormal;
    return true;
}

void CAIButton::HandleInput() {
    if (m_lock > 0) {
        --m_lock;
    }
    if (!VisibleOrDropFocus() || m_state == kDisabled || BelongsToOtherDialog()) {
        return;
    }
    if ((m_state == kHighLighted || m_state == kPressed) && HandleKeyboard()) {
        return;
    }
    CFrontendManager& manager = CFrontendManager::Instance();
    const bool hovering = frontend_input::PointerOver(m_owner);
    if (hovering && !m_mouseCursor.empty()) {
        CBroker::Instance().SetString("Mouse\\sCursor", m_mouseCursor);
    }
    if (m_state == kNormal && hovering) {
        manager.ActivateControl(m_id);
    }
    const bool pointerLeft = m_hovering && !hovering;
    m_hovering = hovering;
    if (m_state == kHighLighted) {
        // Only the pointer leaving takes the focus away: a focus that came by keyboard
        // stays while the pointer is elsewhere.
        if (pointerLeft && manager.IsActiveControl(*this)) {
            manager.DeactivateActiveControl();
        } else if (hovering && frontend_input::PrimaryButtonPressed()) {
            manager.SetPressedControl(m_id);
            StartRepeat();
        }
    }
    if (m_held) {
        HandleHeld(hovering);
    }
}

bool CAIButton::HandleKeyboard() {
    using namespace frontend_input;
    ProcessInput();
    if (m_lock != 0) {
        return false;
    }
    if (KeyPressed(kKeySpace) || KeyPressed(kKeyReturn)) {
        CFrontendManager::Instance().ActivateControl(m_id);
        Click();
        StartRepeat();
        return true;
    }
    if (KeyDown(kKeySpace) || KeyDown(kKeyReturn)) {
        RepeatStep();
    }
    return false;
}

void CAIButton::HandleHeld(bool hovering) {
    if (frontend_input::PrimaryButtonPressed()) {
        PlayClickSound();
    }
    if (!frontend_input::PrimaryButtonDown()) {
        if (m_lock != 0) {
            return;
        }
        CFrontendManager& manager = CFrontendManager::Instance();
        manager.SetPressedControl("");
        if (hovering) {
            manager.ActivateControl(m_id);
            CMessagesBroker::Instance().PostAll(m_messages);
            m_lock = m_processInputDelay;
        }
    } else if (hovering) {
        m_state = kPressed;
        RepeatStep();
    }
}

void CAIButton::Click() {
    CMessagesBroker::Instance().PostAll(m_messages);
    PlayClickSound();
    m_lock = m_processInputDelay;
}

void CAIButton::PlayClickSound() const {
    if (!m_clickSound.empty()) {
        CSoundManager::Instance().PlaySound(m_clickSound);
    }
}

void CAIButton::StartRepeat() {
    m_repeating = false;
    m_repeatTick = 0;
}

void CAIButton::RepeatStep() {
    if (m_firstDelay == 0 && m_interval == 0) {
        return;
    }
    ++m_repeatTick;
    ++m_speedUpTick;
    if (m_repeating) {
        if (m_doubleSpeedDelay > 0 && m_interval > 2 && m_speedUpTick >= m_doubleSpeedDelay) {
            m_interval /= 2;
            m_speedUpTick = 0;
        }
        if (m_repeatTick < m_interval) {
            return;
        }
        m_repeatTick = 0;
        CMessagesBroker::Instance().PostAll(m_messages);
        return;
    }
    if (m_repeatTick < m_firstDelay) {
        return;
    }
    m_repeating = true;
    m_interval = m_delay;
    m_repeatTick = 0;
    m_speedUpTick = 0;
    CMessagesBroker::Instance().PostAll(m_messages);
}
