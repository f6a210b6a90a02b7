#include "tests/support/engine_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "app/camera_manager.h"
#include "app/debug_log.h"

#include "engine/entity_manager.h"
#include "engine/game_manager.h"
#include "engine/global_options.h"
#include "engine/hit_manager.h"
#include "engine/messages_broker.h"
#include "platform/win32/files.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kEntriesPerLogFile = 1000;

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

// Test programs run side by side, so each keeps its log in a folder of its own.
void UseOwnLogFolder() {
    static const zumbo::test::TempDir folder;
    static const bool moved = [] {
        std::string path = folder.WindowsPath();
        path.pop_back();
        CDebugLog::Instance().SetFolder(path);
        return true;
    }();
    (void)moved;
}

std::string LogFolder() {
    const std::string& file = CDebugLog::Instance().FilePath();
    return file.substr(0, file.find_last_of('\\'));
}

}  // namespace

void DestroyEngineManagers() {
    if (enEntityManager* manager = enEntityManager::GetInstance()) {
        manager->DestroyInstance();
    }
    if (enHitManager* manager = enHitManager::GetInstance()) {
        manager->DestroyInstance();
    }
    if (enGameManager* manager = enGameManager::GetInstance()) {
        manager->DestroyInstance();
    }
    CMessagesBroker::DestroyInstance();
    CCameraManager::DestroyInstance();
}

void EngineTest::SetUp() {
    UseOwnLogFolder();
    DestroyEngineManagers();
    CGlobalOptions::Instance().ResetToDefaults();
    CGlobalOptions::Instance().iDebugInfoLevel = 5;
    enEntityManager::Instance();  // its missing catalogue is logged here, not in the test
    ClearLog();
}

void EngineTest::TearDown() {
    DestroyEngineManagers();
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
        if (win32::ReadFile(LogFolder() + name, bytes)) {
            CollectEntries(std::string(bytes.begin(), bytes.end()), m_logMark, messages);
        }
    }
    return messages;
}

bool EngineTest::LogContains(const std::string& message) const {
    const auto messages = LogMessages();
    return std::find(messages.begin(), messages.end(), message) != messages.end();
}
