#pragma once
// Starts the frontend: on its first tick it posts "FrontendStart" with the start dialog and
// then its own messages, once.

#include <string>
#include <vector>

#include "engine/ai.h"
#include "engine/messages_broker.h"

class enXml;

class CAIFrontendStarter : public C_AI {
public:
    explicit CAIFrontendStarter(const enXml& element);
    bool Update() override;

private:
    std::string m_startDialogID;
    std::vector<tMessage> m_messages;
    bool m_dieOnFinish = false;
    bool m_done = false;
};
