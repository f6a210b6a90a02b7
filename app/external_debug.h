#pragma once
// The channel to the external call-stack logger "CrashTrace.exe": a named shared block of
// counter records that the logger program watches.

#include <cstdint>
#include <string>

#include "platform/win32/types.h"

class CExternalDebug {
public:
    static constexpr std::uint32_t kRecordCapacity = 1000;
    static constexpr std::size_t kTextSize = 100;
    static constexpr std::size_t kRecordSize = 104;

    CExternalDebug();
    CExternalDebug(const CExternalDebug&) = delete;
    CExternalDebug& operator=(const CExternalDebug&) = delete;

    // Creates the shared block and starts the logger program; false when either fails.
    // The block and the program stay alive until the process ends.
    bool Start();

    bool IsEnabled() const { return m_enabled; }
    std::uint32_t UsedRecords() const { return m_usedRecords; }
    const std::string& BlockName() const { return m_blockName; }

private:
    void WriteRecord(std::uint32_t index, const char* text, std::int32_t value);

    std::uint32_t m_recordCapacity = kRecordCapacity;
    std::uint32_t m_usedRecords = 0;
    HANDLE m_mapping = nullptr;
    std::string m_blockName;
    void* m_view = nullptr;
    bool m_enabled = false;
};
