#pragma once
// A push button: shows its state by its child entities, takes the focus, clicks by keyboard
// and mouse, posts its messages on a click and repeats them while it is held.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/messages_broker.h"
#include "frontend/frontend_element.h"

class CAIButton : public CAIFrontendControl {
public:
    enum eState : std::int32_t { kNormal = 0, kHighLighted = 1, kPressed = 2, kDisabled = 3 };

    explicit CAIButton(const enXml& element);

    bool Update() override;
    bool SetActive(bool active) override;
    bool Release() override;
    bool Press() override;
    bool CanFocus() const override { return MayTakeFocus(); }

    eState GetState() const { return m_state; }
    bool IsHeld() const { return m_held; }
    void SetDisabled(bool disabled) { m_state = disabled ? kDisabled : kNormal; }

private:
    void HandleInput();
    // Space or Return; true when it clicked, which ends the tick's input.
    bool HandleKeyboard();
    void HandleHeld(bool hovering);
    // Posts the messages, plays the click sound and locks the keyboard for a while.
    void Click();
    void StartRepeat();
    void RepeatStep();
    void PlayClickSound() const;

    std::vector<tMessage> m_messages;
    std::int32_t m_processInputDelay = 0;
    std::int32_t m_firstDelay = 0;
    std::int32_t m_delay = 0;
    std::int32_t m_doubleSpeedDelay = 0;
    std::string m_clickSound;
    std::string m_mouseCursor;
    eState m_state = kNormal;
    bool m_held = false;
    bool m_hovering = false;  // at the last tick
    std::int32_t m_lock = 0;
    bool m_repeating = false;
    std::int32_t m_repeatTick = 0;
    std::int32_t m_speedUpTick = 0;
    std::int32_t m_interval = 0;
};
