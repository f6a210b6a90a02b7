#include "engine/game_manager.h"

#include <strings.h>

#include "engine/messages_broker.h"

enGameManager& enGameManager::Instance() {
    return gaGameManager::Instance();
}

void enGameManager::Tick() {
    for (const tMessage& message : CMessagesBroker::Instance().GetCurrentMessages()) {
        if (message.code == kMessagePauseGame) {
            m_paused = message.argument.empty() || strcasecmp(message.argument.c_str(), "true") == 0;
        }
    }
}
