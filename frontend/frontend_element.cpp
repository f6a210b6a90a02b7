#include "frontend/frontend_element.h"

#include "app/debug_log.h"
#include "engine/entity.h"
#include "frontend/frontend_input.h"
#include "frontend/frontend_manager.h"
#include "input/input_device_keyboard.h"
#include "resource/name_atom.h"
#include "resource/paths.h"
#include "resource/xml.h"

CAIFrontendElement::CAIFrontendElement(const enXml& element) {
    element.GetValueString("sID", m_id);
}

CAIFrontendControl::CAIFrontendControl(const enXml& element) : CAIFrontendElement(element) {
    element.GetValueString("sOwnerID", m_ownerID);
    element.GetValueString("sNextID", m_nextID);
    element.GetValueString("sPreviousID", m_previousID);
    element.GetValueString("sUpID", m_upID);
    element.GetValueString("sDownID", m_downID);
    element.GetValueString("sLeftID", m_leftID);
    element.GetValueString("sRightID", m_rightID);
}

CAIFrontendControl::~CAIFrontendControl() {
    if (m_registered) {
        CFrontendManager::Instance().UnregisterControl(this);
    }
}

void CAIFrontendControl::Register() {
    m_registered = CFrontendManager::Instance().RegisterControl(this);
}

bool CAIFrontendControl::BelongsToOtherDialog() const {
    return !m_ownerID.empty() &&
           !EqualsIgnoringCase(m_ownerID, CFrontendManager::Instance().CurrentDialogID());
}

bool CAIFrontendControl::OwnerVisible() const {
    return m_owner && m_owner->IsEffectivelyVisible();
}

bool CAIFrontendControl::VisibleOrDropFocus() {
    if (OwnerVisible()) {
        return true;
    }
    if (CFrontendManager::Instance().IsActiveControl(*this)) {
        ProcessInput();
    }
    return false;
}

bool CAIFrontendControl::MayTakeFocus() const {
    // While the entity is still being built the owner is not known yet; entities start
    // visible, and the first registered control takes the focus then. A hidden one drops it
    // again on its first tick.
    return !m_owner || m_owner->IsEffectivelyVisible();
}

std::string CAIFrontendControl::ReadTextTemplate(const enXml& element, const char* warning) {
    std::string path;
    if (!element.GetValueString("sTextTemplateXml", path) || path.empty()) {
        CDebugLog::Instance().LogLevel(2, warning, element.GetSourceName().c_str());
        return {};
    }
    return ResolvePath(path, element.GetSourceName());
}

void CAIFrontendControl::ShowStateChild(const char* stateName) const {
    if (!m_owner) {
        return;
    }
    for (CEntity* child = m_owner->FirstChild(); child; child = child->NextSibling()) {
        child->SetVisible(EqualsIgnoringCase(child->GetName(), stateName));
        child->RefreshVisibility();
    }
}

void CAIFrontendControl::ProcessInput() {
    using namespace frontend_input;
    CFrontendManager& manager = CFrontendManager::Instance();
    if (!OwnerVisible()) {
        manager.DeactivateActiveControl();
        return;
    }
    CInputDeviceKeyboard* keyboard = Keyboard();
    if (!keyboard) {
        return;
    }
    struct tMove {
        int key;
        const std::string* target;
    };
    const bool shifted = keyboard->IsDown(kKeyLeftShift) || keyboard->IsDown(kKeyRightShift);
    const tMove moves[] = {
        {kKeyTab, shifted ? &m_previousID : &m_nextID},
        {kKeyUp, &m_upID},
        {kKeyDown, &m_downID},
        {kKeyLeft, &m_leftID},
        {kKeyRight, &m_rightID},
    };
    for (const tMove& move : moves) {
        if (keyboard->WasPressed(move.key)) {
            manager.ActivateControl(*move.target);
            keyboard->ConsumeEdge(move.key);
            return;
        }
    }
}
