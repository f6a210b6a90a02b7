#include "frontend/frontend_manager.h"

#include <algorithm>

#include "app/debug_log.h"
#include "engine/broker.h"
#include "engine/entity.h"
#include "engine/entity_manager.h"
#include "engine/messages_broker.h"
#include "frontend/dialog.h"
#include "frontend/frontend_element.h"
#include "frontend/frontend_links.h"
#include "resource/name_atom.h"

namespace {

constexpr const char* kMouseCursorEntity = "Mouse Cursor";
constexpr const char* kLastShownDialogPath = "Frontend\\sLastShownDialogID";

template <class Element>
Element* FindByID(const std::vector<Element*>& elements, std::string_view id) {
    if (id.empty()) {
        return nullptr;
    }
    for (Element* element : elements) {
        if (EqualsIgnoringCase(element->GetID(), id)) {
            return element;
        }
    }
    return nullptr;
}

// The element for a non-empty ID; an ID that matches nothing is logged.
template <class Element>
Element* FindOrWarn(const std::vector<Element*>& elements, std::string_view id, const char* warning) {
    if (id.empty()) {
        return nullptr;
    }
    Element* element = FindByID(elements, id);
    if (!element) {
        const std::string text(id);
        CDebugLog::Instance().LogLevel(2, warning, text.c_str());
    }
    return element;
}

// Appends the element unless one with its ID is registered.
template <class Element>
bool AppendUnique(std::vector<Element*>& elements, Element* element, const char* warning) {
    if (FindByID(elements, element->GetID())) {
        CDebugLog::Instance().LogLevel(1, warning, element->GetID().c_str());
        return false;
    }
    elements.push_back(element);
    return true;
}

// Removes this very element: a refused duplicate never takes the registered one with it.
template <class Element>
bool RemoveElement(std::vector<Element*>& elements, Element* element, const char* warning) {
    const auto found = std::find(elements.begin(), elements.end(), element);
    if (found == elements.end()) {
        CDebugLog::Instance().LogLevel(1, warning, element->GetID().c_str());
        return false;
    }
    elements.erase(found);
    return true;
}

}  // namespace

bool CFrontendManager::RegisterControl(CAIFrontendControl* control) {
    const bool wasEmpty = m_controls.empty();
    if (!AppendUnique(m_controls, control,
                      "Warning: Trying to register control with non-unique ID: \"%s\". Skipping.")) {
        return false;
    }
    if (wasEmpty && !control->GetID().empty()) {
        ActivateControl(control->GetID());
    }
    return true;
}

bool CFrontendManager::UnregisterControl(CAIFrontendControl* control) {
    return RemoveElement(m_controls, control,
                         "Warning: Trying to unregister non-registered control with ID \"%s\". Skipping.");
}

CAIFrontendControl* CFrontendManager::FindControl(std::string_view id) const {
    return FindOrWarn(m_controls, id, "Warning: Unable to find control by the following ID \"%s\".");
}

CAIFrontendControl* CFrontendManager::FindControlIfSet(const std::string& id) const {
    return id.empty() ? nullptr : FindControl(id);
}

bool CFrontendManager::IsActiveControl(const CAIFrontendControl& control) const {
    return !m_activeControlID.empty() && EqualsIgnoringCase(m_activeControlID, control.GetID());
}

bool CFrontendManager::ActivateControl(std::string_view id) {
    CAIFrontendControl* control = FindControl(id);
    if (!control || !control->CanFocus()) {
        return false;
    }
    if (CAIFrontendControl* active = FindControlIfSet(m_activeControlID)) {
        active->SetActive(false);
    }
    if (control->SetActive(true)) {
        m_activeControlID = std::string(id);
    }
    return true;
}

bool CFrontendManager::DeactivateActiveControl() {
    if (m_activeControlID.empty()) {
        return false;
    }
    if (CAIFrontendControl* active = FindControl(m_activeControlID)) {
        active->SetActive(false);
    }
    m_activeControlID.clear();
    return true;
}

bool CFrontendManager::SetPressedControl(std::string_view id) {
    if (CAIFrontendControl* pressed = FindControlIfSet(m_pressedControlID)) {
        pressed->Release();
    }
    m_pressedControlID.clear();
    if (id.empty()) {
        return false;
    }
    CAIFrontendControl* control = FindControl(id);
    if (!control || !control->Press()) {
        return false;
    }
    m_pressedControlID = std::string(id);
    return true;
}

bool CFrontendManager::RegisterDialog(CAIDialog* dialog) {
    return AppendUnique(m_dialogs, dialog,
                        "Warning: Trying to register dialog with non-unique ID: \"%s\". Skipping.");
}

bool CFrontendManager::UnregisterDialog(CAIDialog* dialog) {
    if (!m_currentDialogID.empty() && FindByID(m_dialogs, m_currentDialogID) == dialog) {
        dialog->SetActive(false);
        m_currentDialogID.clear();
    }
    return RemoveElement(m_dialogs, dialog,
                         "Warning: Trying to unregister non-registered dialog with ID \"%s\". Skipping.");
}

CAIDialog* CFrontendManager::FindDialog(std::string_view id) const {
    return FindOrWarn(m_dialogs, id, "Warning: Unable to find dialog by the following ID \"%s\".");
}

CAIDialog* CFrontendManager::FindDialogIfSet(const std::string& id) const {
    return id.empty() ? nullptr : FindDialog(id);
}

bool CFrontendManager::ActivateDialog(std::string_view id) {
    CAIDialog* dialog = FindDialog(id);
    if (!dialog) {
        return false;
    }
    if (CAIDialog* current = FindDialogIfSet(m_currentDialogID)) {
        current->SetActive(false);
    }
    if (!dialog->SetActive(true)) {
        return false;
    }
    m_currentDialogID = std::string(id);
    return true;
}

bool CFrontendManager::DeactivateCurrentDialog() {
    if (m_currentDialogID.empty()) {
        return false;
    }
    if (CAIDialog* current = FindDialog(m_currentDialogID)) {
        current->SetActive(false);
    }
    m_currentDialogID.clear();
    return true;
}

void CFrontendManager::HideAllDialogs() {
    for (CAIDialog* dialog : m_dialogs) {
        SetDialogVisible(dialog, false);
    }
}

bool CFrontendManager::SwitchDialog(std::string_view id) {
    CAIDialog* dialog = FindDialog(id);
    if (!dialog || !dialog->CanShow()) {
        return false;
    }
    if (m_fading) {
        SetDialogVisible(FindDialogIfSet(m_fadingInDialogID), false);
    }
    m_fading = true;
    m_fadingOutDialogID = m_currentDialogID;
    m_fadingInDialogID = std::string(id);
    m_fadeTick = 0;
    SetDialogAlpha(dialog, 0);
    SetDialogVisible(dialog, true);
    if (CAIDialog* current = FindDialogIfSet(m_currentDialogID)) {
        current->SetActive(false);
    }
    m_currentDialogID.clear();
    return true;
}

std::string CFrontendManager::FirstControlOfDialog(std::string_view dialogID) const {
    for (const CAIFrontendControl* control : m_controls) {
        if (EqualsIgnoringCase(control->GetOwnerID(), dialogID)) {
            return control->GetID();
        }
    }
    return {};
}

std::string CFrontendManager::NextControlOfDialog(std::string_view controlID,
                                                  std::string_view dialogID) const {
    const CAIFrontendControl* from = FindByID(m_controls, controlID);
    auto next = std::find(m_controls.begin(), m_controls.end(), from);
    if (next == m_controls.end()) {
        return {};
    }
    for (++next; next != m_controls.end(); ++next) {
        if (EqualsIgnoringCase((*next)->GetOwnerID(), dialogID)) {
            return (*next)->GetID();
        }
    }
    return {};
}

void CFrontendManager::Tick() {
    for (const tMessage& message : CMessagesBroker::Instance().GetCurrentMessages()) {
        HandleMessage(message);
    }
    if (m_fading) {
        StepFade();
    }
}

void CFrontendManager::HandleMessage(const tMessage& message) {
    switch (message.code) {
        case kMessageFrontendStart:
            Start(message.argument);
            break;
        case kMessageFrontendStop:
            Stop();
            break;
        case kMessageFrontendSwitchDialog:
            SwitchDialog(message.argument);
            break;
        case kMessageOpenAffiliateLink:
            frontend_links::OpenAffiliateLink();
            break;
        case kMessageOpenHighScoreLink:
            frontend_links::OpenHighScoreLink();
            break;
        case kMessageOpenLocalLink:
            frontend_links::OpenLocalLink(message.argument);
            break;
        case kMessageOpenWebLink:
            frontend_links::OpenWebLink(message.argument);
            break;
        default:
            break;
    }
}

void CFrontendManager::Start(const std::string& dialogID) {
    m_started = true;
    ShowMouseCursor(true);
    if (!m_currentDialogID.empty() || m_fading) {
        return;
    }
    HideAllDialogs();
    if (!dialogID.empty()) {
        SwitchDialog(dialogID);
    } else if (!m_dialogs.empty()) {
        SwitchDialog(m_dialogs.front()->GetID());
    }
}

void CFrontendManager::Stop() {
    CBroker::Instance().SetString(kLastShownDialogPath, m_currentDialogID);
    HideAllDialogs();
    DeactivateCurrentDialog();
    ShowMouseCursor(false);
    m_started = false;
}

void CFrontendManager::StepFade() {
    ++m_fadeTick;
    const std::int32_t alpha = std::min(m_fadeTick, m_fadeLength) * 255 / m_fadeLength;
    CAIDialog* fadingOut = FindDialogIfSet(m_fadingOutDialogID);
    CAIDialog* fadingIn = FindDialogIfSet(m_fadingInDialogID);
    SetDialogAlpha(fadingOut, 255 - alpha);
    SetDialogAlpha(fadingIn, alpha);
    if (m_fadeTick < m_fadeLength) {
        return;
    }
    m_fading = false;
    SetDialogVisible(fadingOut, false);
    SetDialogAlpha(fadingIn, 255);
    if (fadingIn) {
        ActivateDialog(m_fadingInDialogID);
    }
}

void CFrontendManager::ShowMouseCursor(bool visible) {
    if (CEntity* cursor = enEntityManager::Instance().FindEntityByName(kMouseCursorEntity)) {
        cursor->SetVisible(visible);
        cursor->RefreshVisibility();
    }
}

void CFrontendManager::SetDialogVisible(CAIDialog* dialog, bool visible) {
    if (CEntity* entity = dialog ? dialog->GetOwner() : nullptr) {
        entity->SetVisible(visible);
        entity->RefreshVisibility();
    }
}

void CFrontendManager::SetDialogAlpha(CAIDialog* dialog, std::int32_t alpha) {
    if (CEntity* entity = dialog ? dialog->GetOwner() : nullptr) {
        entity->SetAlpha(static_cast<std::uint8_t>(std::clamp(alpha, 0, 255)), true);
    }
}
