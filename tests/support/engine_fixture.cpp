#include "tests/engine/engine_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/debug_log.h"

#include "engine/game_manager.h"
#include "engine/global_options.h"
#include "engine/messages_broker.h"
#include "platform/win32/files.h"

namespace {

constexpr int kEntriesPerLogFile = 1000;

void DestroyManagers() {
    if (enGameManager* manager = enGameManager::GetInstance()) {
        manager->DestroyInstance();
    }
    CMessagesBroker::DestroyInstance();
}

// Entries look like "0012 (10:11:12.013): message".
void CollectEntries(const std::string& text, int after, std::vector<std::string>& out) {
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const auto separator = line.find("): ");
        if (separator == std::string::npos || std::atoi(line.c_str()) <= after) {
            continue;
        }
        out.push_back(line.substr(separator + 3));
    }
}

}  // namespace

void EngineTest::SetUp() {
    DestroyManagers();
    CGlobalOptions::Instance().ResetToDefaults();
    CGlobalOptions::Instance().iDebugInfoLevel = 5;
    ClearLog();
}

void EngineTest::TearDown() {
    DestroyManagers();
    CGlobalOptions::Instance().ResetToDefaults();
}

void EngineTest::ClearLog() {
    m_logMark = CDebugLog::Instance().LineCount();
}

std::vector<std::string> EngineTest::LogMessages() const {
    std::vector<std::string> messages;
    const int last = CDebugLog::Instance().LineCount();
    for (int file = m_logMark / kEntriesPerLogFile; file <= last / kEntriesPerLogFile; ++file) {
        char name[32];
        std::snprintf(name, sizeof(name), "\\Debug%.4i.log", file);
        std::vector<std::uint8_t> bytes;
        if (win32::ReadFile(CDebugLog::Folder() + name, bytes)) {
            CollectEntries(std::string(bytes.begin(), bytes.end()), m_logMark, messages);
        }
    }
    return messages;
}

bool EngineTest::LogContains(const std::string& message) const {
    const auto messages = LogMessages();
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}
