#pragma once
// Text messages such as LoadScene(Menu): parsed once from data, posted during a tick and
// published to every consumer at the start of the entity manager's part of the next tick.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/singleton.h"

class enXml;

// The message types; the code is the position in the name table.
enum eMessageCode : std::int32_t {
    kMessageUnknown = 0,
    kMessageResetScene = 1,
    kMessageLoadScene = 2,
    kMessageLoadLevel = 3,
    kMessageClearLevel = 4,
    kMessageStopGame = 5,
    kMessageLoadGame = 6,
    kMessagePauseGame = 7,
    kMessageReplayLastEpisode = 8,
    kMessageExitApplication = 9,
    kMessageFrontendStart = 10,
    kMessageFrontendStop = 11,
    kMessageFrontendSwitchDialog = 12,
    kMessageButtonPressed = 13,
    kMessageOpenAffiliateLink = 14,
    kMessageOpenHighScoreLink = 15,
    kMessageOpenLocalLink = 16,
    kMessageOpenWebLink = 17,
    kMessageMusicStart = 18,
    kMessageMusicStop = 19,
    kMessageTextMessage = 20,
};

struct tMessage {
    std::int32_t code = kMessageUnknown;
    std::string argument;
};

class CMessagesBroker : public tmSingleton<CMessagesBroker> {
public:
    // Malformed text is logged once here and yields an unknown message that nobody handles.
    tMessage Parse(std::string_view text) const;

    // Appends one parsed message per child named tagName (any case), in document order, read
    // from the child's "Value" attribute (missing means empty).
    void ParseList(const enXml& element, std::string_view tagName, std::vector<tMessage>& out) const;

    void Post(const tMessage& message);
    void PostAll(const std::vector<tMessage>& messages);
    // Publishes everything posted since the last promotion; the previous ones are dropped.
    void Promote();

    const std::vector<tMessage>& GetCurrentMessages() const { return m_current; }

private:
    std::vector<tMessage> m_pending;
    std::vector<tMessage> m_current;
};
