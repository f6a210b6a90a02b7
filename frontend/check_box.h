#pragma once
// A check box: toggles between Checked and Unchecked by keyboard or mouse and reports each
// toggle as a "ButtonPressed" message with its ID.

#include <cstdint>

#include "frontend/frontend_element.h"

class CAICheckBox : public CAIFrontendControl {
public:
    enum eState : std::int32_t { kChecked = 0, kUnchecked = 1, kDisabled = 2 };

    explicit CAICheckBox(const enXml& element);

    bool Update() override;
    bool SetActive(bool /*active*/) override { return m_state != kDisabled; }
    bool CanFocus() const override { return MayTakeFocus(); }

    eState GetState() const { return m_state; }
    void SetDisabled(bool disabled) { m_state = disabled ? kDisabled : kUnchecked; }

private:
    void HandleInput();
    void Toggle();

    eState m_state = kUnchecked;
};
