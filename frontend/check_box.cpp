#include "frontend/check_box.h"

#include "engine/messages_broker.h"
#include "frontend/frontend_input.h"
#include "frontend/frontend_manager.h"

namespace {

const char* const kStateNames[] = {"Checked", "Unchecked", "Disabled"};

}  // namespace

CAICheckBox::CAICheckBox(const enXml& element) : CAIFrontendControl(element) {
    Register();
}

bool CAICheckBox::Update() {
    ShowStateChild(kStateNames[m_state]);
    HandleInput();
    return true;
}

void CAICheckBox::HandleInput() {
    using namespace frontend_input;
    if (!VisibleOrDropFocus() || m_state == kDisabled || BelongsToOtherDialog()) {
        return;
    }
    CFrontendManager& manager = CFrontendManager::Instance();
    if (manager.IsActiveControl(*this)) {
        ProcessInput();
        if (KeyPressed(kKeySpace) || KeyPressed(kKeyReturn)) {
            Toggle();
            return;
        }
    }
    if (!PointerOver(m_owner)) {
        return;
    }
    if (!manager.IsActiveControl(*this)) {
        manager.ActivateControl(m_id);
    }
    if (PrimaryButtonPressed()) {
        Toggle();
    }
}

void CAICheckBox::Toggle() {
    CMessagesBroker::Instance().Post({kMessageButtonPressed, m_id});
    m_state = m_state == kChecked ? kUnchecked : kChecked;
}
