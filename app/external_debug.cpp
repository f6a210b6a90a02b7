#include "app/external_debug.h"

#include <cstdio>
#include <cstring>

#include "platform/win32/files.h"
#include "platform/win32/process.h"

namespace {
constexpr const char* kLoggerProgram = "CrashTrace.exe";
}

CExternalDebug::CExternalDebug() {
    char name[64];
    std::snprintf(name, sizeof(name), "ExternalDebug%x", static_cast<unsigned>(win32::GetCurrentProcessId()));
    m_blockName = name;
}

bool CExternalDebug::Start() {
    const std::string program = win32::GetFullPathName(kLoggerProgram);
    if (!win32::FileExists(program) || win32::DirectoryExists(program)) {
        return false;
    }
    const std::size_t blockSize = std::size_t(m_recordCapacity) * kRecordSize;
    m_mapping = win32::CreateFileMapping(m_blockName, blockSize);
    if (!m_mapping) {
        return false;
    }
    m_view = win32::MapViewOfFile(m_mapping);
    if (!m_view) {
        win32::CloseHandle(m_mapping);
        m_mapping = nullptr;
        return false;
    }
    std::memset(m_view, 0, blockSize);

    char commandLine[96];
    std::snprintf(commandLine, sizeof(commandLine), " %s %x", m_blockName.c_str(),
                  static_cast<unsigned>(win32::GetCurrentProcessId()));
    win32::PROCESS_INFORMATION process;
    if (!win32::CreateProcess(program, commandLine, &process)) {
        win32::UnmapViewOfFile(m_view);
        win32::CloseHandle(m_mapping);
        m_view = nullptr;
        m_mapping = nullptr;
        return false;
    }
    win32::CloseHandle(process.hProcess);

    WriteRecord(0, "Counter", 1);
    m_usedRecords = 1;
    m_enabled = true;
    return true;
}

void CExternalDebug::WriteRecord(std::uint32_t index, const char* text, std::int32_t value) {
    auto* record = static_cast<unsigned char*>(m_view) + std::size_t(index) * kRecordSize;
    std::memset(record, 0, kTextSize);
    std::strncpy(reinterpret_cast<char*>(record), text, kTextSize - 1);
    std::memcpy(record + kTextSize, &value, sizeof(value));
}
