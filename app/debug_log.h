#pragma once
// The main program's diagnostic channel: numbered files "DebugLogs\Debug%.4i.log" below the
// program folder, one line per entry with a running number and the local time. Every entry
// opens, appends and closes the file, so it is on disk when the call returns.

#include <cstdarg>
#include <string>

#include "engine/singleton.h"

class CDebugLog : public tmSingleton<CDebugLog> {
public:
    CDebugLog();

    // Plain entry: always written.
    void Log(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Levelled entry: written when level is at most the option iDebugInfoLevel; the filter
    // runs before any formatting.
    void LogLevel(int level, const char* format, ...) __attribute__((format(printf, 3, 4)));
    bool IsLevelEnabled(int level) const;

    int LineCount() const { return m_lineCount; }
    int FileNumber() const { return m_fileNumber; }
    const std::string& FilePath() const { return m_filePath; }
    // "<program folder>DebugLogs"
    static std::string Folder();
    // Moves the log to another folder (for runs of the engine inside tests): the folder's old
    // logs are deleted and numbering starts again.
    void SetFolder(const std::string& folder);

private:
    void Write(const char* format, va_list arguments);
    void RebuildFilePath();
    void DeletePreviousLogs();

    int m_lineCount = 0;
    int m_fileNumber = 0;
    std::string m_folder;
    std::string m_filePath;
};
