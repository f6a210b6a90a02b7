#include "app/debug_log.h"

#include <cstdio>

#include "engine/global_options.h"
#include "platform/win32/files.h"
#include "platform/win32/timer.h"
#include "resource/paths.h"

namespace {
constexpr int kEntriesPerFile = 1000;
constexpr std::size_t kMessageBufferSize = 1024;
}  // namespace

std::string CDebugLog::Folder() {
    return GetProgramFolder() + "DebugLogs";
}

CDebugLog::CDebugLog() : m_folder(Folder()) {
    DeletePreviousLogs();
    RebuildFilePath();
}

void CDebugLog::SetFolder(const std::string& folder) {
    m_folder = folder;
    m_lineCount = 0;
    m_fileNumber = 0;
    DeletePreviousLogs();
    RebuildFilePath();
}

void CDebugLog::DeletePreviousLogs() {
    // The match ignores case.
    for (const auto& entry : win32::FindFiles(m_folder + "\\debug*.log")) {
        if (!entry.directory) {
            win32::DeleteFile(m_folder + "\\" + entry.name);
        }
    }
}

void CDebugLog::RebuildFilePath() {
    char name[32];
    std::snprintf(name, sizeof(name), "\\Debug%.4i.log", m_fileNumber);
    m_filePath = m_folder + name;
}

bool CDebugLog::IsLevelEnabled(int level) const {
    return level <= CGlobalOptions::Instance().iDebugInfoLevel;
}

void CDebugLog::Log(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    Write(format, arguments);
    va_end(arguments);
}

void CDebugLog::LogLevel(int level, const char* format, ...) {
    if (!IsLevelEnabled(level)) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    Write(format, arguments);
    va_end(arguments);
}

void CDebugLog::Write(const char* format, va_list arguments) {
    char message[kMessageBufferSize];
    std::vsnprintf(message, sizeof(message), format, arguments);

    ++m_lineCount;
    if (m_lineCount / kEntriesPerFile != m_fileNumber) {
        m_fileNumber = m_lineCount / kEntriesPerFile;
        RebuildFilePath();
    }

    SYSTEMTIME now{};
    win32::GetLocalTime(&now);
    char line[kMessageBufferSize + 64];
    std::snprintf(line, sizeof(line), "%04i (%02i:%02i:%02i.%03i): %s\n", m_lineCount, now.wHour, now.wMinute,
                  now.wSecond, now.wMilliseconds, message);
    // A file that cannot be opened loses the entry silently.
    win32::AppendToFile(m_filePath, line);
}
