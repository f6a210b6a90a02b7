#pragma once
// A frontend screen: the entity that carries it and its subtree of controls are shown,
// hidden and faded together by the frontend manager.

#include <string>

#include "frontend/frontend_element.h"

class CAIDialog : public CAIFrontendElement {
public:
    explicit CAIDialog(const enXml& element);
    ~CAIDialog() override;

    bool Update() override;
    bool SetActive(bool active) override;
    // Dialogs always agree to be shown.
    virtual bool CanShow() { return true; }
    // Escape switches to the dialog that "sSwitchToByEscape" names.
    virtual void HandleEscape();

    bool IsActive() const { return m_active; }

private:
    std::string m_switchToByEscape;
    bool m_active = false;
    bool m_registered = false;
};
