#pragma once
// Components that show text on their entity's text label: a plain registered static, a
// console of timed text messages and a display of a broker string.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/ai.h"
#include "frontend/frontend_element.h"

class enXml;

// Gives its entity an ID in the frontend registry; it cannot take the focus.
class CAIStatic : public CAIFrontendControl {
public:
    explicit CAIStatic(const enXml& element);
    bool Update() override { return true; }
};

// Shows the texts of the "TextMessage" messages (argument "text,ticks"), newest first, each
// for its number of ticks.
class CAITextMessagesStatic : public C_AI {
public:
    // The joined text is kept below this many bytes.
    static constexpr std::size_t kMaxTextBytes = 2048;

    explicit CAITextMessagesStatic(const enXml& element);
    bool Update() override;

private:
    struct tEntry {
        std::string text;
        std::int32_t ticksLeft;
    };

    void TakeMessage(const std::string& argument);
    void CountDown();
    void Rebuild() const;

    std::vector<tEntry> m_entries;  // newest first
};

// Shows the broker string at "sBrokerPath".
class CAIShowBrokerText : public C_AI {
public:
    explicit CAIShowBrokerText(const enXml& element);
    bool Update() override;

private:
    std::string m_brokerPath;
    bool m_idleInvisible = false;
};
