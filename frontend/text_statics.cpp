#include "frontend/text_statics.h"

#include <cstdlib>

#include "engine/broker.h"
#include "engine/entity.h"
#include "engine/messages_broker.h"
#include "resource/translator.h"
#include "resource/xml.h"

namespace {

// Splits at ',' and ';', dropping empty pieces.
std::vector<std::string> SplitTokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find_first_of(",;", start), text.size());
        if (end > start) {
            tokens.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return tokens;
}

}  // namespace

CAIStatic::CAIStatic(const enXml& element) : CAIFrontendControl(element) {
    Register();
}

CAITextMessagesStatic::CAITextMessagesStatic(const enXml& /*element*/) {}

bool CAITextMessagesStatic::Update() {
    for (const tMessage& message : CMessagesBroker::Instance().GetCurrentMessages()) {
        if (message.code == kMessageTextMessage) {
            TakeMessage(message.argument);
        }
    }
    CountDown();
    return true;
}

void CAITextMessagesStatic::TakeMessage(const std::string& argument) {
    const std::vector<std::string> tokens = SplitTokens(argument);
    if (tokens.empty()) {
        return;
    }
    const std::int32_t ticks =
        tokens.size() > 1 ? static_cast<std::int32_t>(std::strtol(tokens[1].c_str(), nullptr, 10)) : 0;
    m_entries.insert(m_entries.begin(), {CTranslator::Instance().Translate(tokens[0]), ticks});
    Rebuild();
}

void CAITextMessagesStatic::CountDown() {
    const std::size_t before = m_entries.size();
    std::erase_if(m_entries, [](tEntry& entry) { return --entry.ticksLeft <= 0; });
    if (m_entries.size() != before) {
        Rebuild();
    }
}

void CAITextMessagesStatic::Rebuild() const {
    if (!m_owner) {
        return;
    }
    std::string text;
    for (const tEntry& entry : m_entries) {
        if (!text.empty()) {
            text += '\n';
        }
        text += entry.text;
    }
    if (text.size() >= kMaxTextBytes) {
        text.resize(kMaxTextBytes - 1);
    }
    m_owner->SetText(std::move(text));
}

CAIShowBrokerText::CAIShowBrokerText(const enXml& element) {
    element.GetValueString("sBrokerPath", m_brokerPath);
    element.GetValueBool("bIdleInvisible", m_idleInvisible);
}

bool CAIShowBrokerText::Update() {
    if (m_brokerPath.empty() || !m_owner || (m_idleInvisible && !m_owner->IsEffectivelyVisible())) {
        return true;
    }
    std::string text;
    if (CBroker::Instance().GetString(m_brokerPath, text)) {
        m_owner->SetText(std::move(text));
    }
    return true;
}
