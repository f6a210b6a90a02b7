#include "frontend/dialog.h"

#include "frontend/frontend_input.h"
#include "frontend/frontend_manager.h"
#include "resource/xml.h"

CAIDialog::CAIDialog(const enXml& element) : CAIFrontendElement(element) {
    element.GetValueString("sSwitchToByEscape", m_switchToByEscape);
    m_registered = CFrontendManager::Instance().RegisterDialog(this);
}

CAIDialog::~CAIDialog() {
    if (m_registered) {
        CFrontendManager::Instance().UnregisterDialog(this);
    }
}

bool CAIDialog::Update() {
    HandleEscape();
    return true;
}

bool CAIDialog::SetActive(bool active) {
    m_active = active;
    return true;
}

void CAIDialog::HandleEscape() {
    if (m_active && !m_switchToByEscape.empty() && frontend_input::KeyPressed(frontend_input::kKeyEscape)) {
        CFrontendManager::Instance().SwitchDialog(m_switchToByEscape);
    }
}
