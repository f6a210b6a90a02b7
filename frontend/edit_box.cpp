#include "frontend/edit_box.h"

#include "engine/broker.h"
#include "engine/entity.h"
#include "frontend/frontend_input.h"
#include "input/input_device_keyboard.h"
#include "resource/xml.h"

namespace {

constexpr char kBackspace = 8;
constexpr unsigned char kDelete = 127;

bool IsPrintable(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 32 && byte != kDelete;
}

}  // namespace

CAIEditBox::CAIEditBox(const enXml& element) : CAIFrontendControl(element) {
    element.GetValueString("sBrokerPath", m_brokerPath);
    element.GetValueString("sText", m_text);
    element.GetValueInt("iMaxCharacters", m_maxCharacters);
    element.GetValueBool("bShowCursor", m_showCursor);
    element.GetValueInt("iCursorBlinkDelay", m_cursorBlinkDelay);
    if (!m_brokerPath.empty()) {
        CBroker::Instance().SetString(m_brokerPath, m_text);
    }
    Register();
}

bool CAIEditBox::Update() {
    if (!OwnerVisible()) {
        return true;
    }
    BlinkCursor();
    CInputDeviceKeyboard* keyboard = frontend_input::Keyboard();
    if (keyboard && TakeTypedText(keyboard->TypedText())) {
        // A typed space must not click a button as well.
        keyboard->ConsumeEdge(frontend_input::kKeySpace);
        if (!m_brokerPath.empty()) {
            CBroker::Instance().SetString(m_brokerPath, m_text);
        }
    }
    ShowText();
    // Counted within the blink period, so that a saver running for months cannot overflow.
    m_tickCount = m_cursorBlinkDelay > 0 ? (m_tickCount + 1) % m_cursorBlinkDelay : 0;
    return true;
}

void CAIEditBox::BlinkCursor() {
    // A blink delay of 0 or less means a cursor that does not blink.
    if (m_showCursor && m_cursorBlinkDelay > 0 && m_tickCount == 0) {
        m_cursorShown = !m_cursorShown;
    }
}

bool CAIEditBox::TakeTypedText(const std::string& typed) {
    if (typed.empty()) {
        return false;
    }
    // A maximum below 0 holds nothing, like 0.
    const std::size_t maximum = m_maxCharacters > 0 ? static_cast<std::size_t>(m_maxCharacters) : 0;
    for (const char c : typed) {
        if (c == kBackspace) {
            if (!m_text.empty()) {
                m_text.pop_back();
            }
        } else if (IsPrintable(c) && m_text.size() < maximum) {
            m_text += c;
        }
    }
    return true;
}

void CAIEditBox::ShowText() const {
    if (CEntity* label = m_owner->FindChild("Text")) {
        label->SetText(m_showCursor && m_cursorShown ? m_text + "|" : m_text);
    }
}
