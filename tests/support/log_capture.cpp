#include "tests/support/log_capture.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/debug_log.h"
#include "engine/global_options.h"
#include "platform/win32/files.h"

namespace zumbo::test {

LogCapture::LogCapture(int debugInfoLevel) : m_previousLevel(CGlobalOptions::Instance().iDebugInfoLevel) {
    // The program creates the log folder at start-up; a test program has to do it itself.
    win32::CreateDirectory(CDebugLog::Folder());
    CDebugLog::Instance();
    CGlobalOptions::Instance().iDebugInfoLevel = debugInfoLevel;
    m_start = AllLogText().size();
}

LogCapture::~LogCapture() {
    CGlobalOptions::Instance().iDebugInfoLevel = m_previousLevel;
}

std::string LogCapture::Text() const {
    return AllLogText().substr(m_start);
}

int LogCapture::Count(std::string_view needle) const {
    const std::string text = Text();
    int count = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

// The log moves to a new numbered file every thousand entries; their names sort in order.
std::string LogCapture::AllLogText() {
    const std::string folder = CDebugLog::Folder();
    std::vector<std::string> names;
    for (const auto& entry : win32::FindFiles(folder + "\\debug*.log")) {
        names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    std::string text;
    for (const auto& name : names) {
        std::vector<std::uint8_t> bytes;
        if (win32::ReadFile(folder + "\\" + name, bytes)) {
            text.append(bytes.begin(), bytes.end());
        }
    }
    return text;
}

}  // namespace zumbo::test
