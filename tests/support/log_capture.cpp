#include "tests/support/log_capture.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/debug_log.h"
#include "engine/global_options.h"

namespace zumbo::test {

LogCapture::LogCapture(int debugInfoLevel) : m_previousLevel(CGlobalOptions::Instance().iDebugInfoLevel) {
    CDebugLog::Instance().SetFolder(m_folder.WindowsPath() + "DebugLogs");
    std::filesystem::create_directory(m_folder.Path() / "DebugLogs");
    CGlobalOptions::Instance().iDebugInfoLevel = debugInfoLevel;
}

LogCapture::~LogCapture() {
    CGlobalOptions::Instance().iDebugInfoLevel = m_previousLevel;
    CDebugLog::Instance().SetFolder(CDebugLog::Folder());
}

// The log moves to a new numbered file every thousand entries; their names sort in order.
std::string LogCapture::Text() const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder.Path() / "DebugLogs")) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    std::ostringstream text;
    for (const auto& file : files) {
        text << std::ifstream(file, std::ios::binary).rdbuf();
    }
    return text.str();
}

int LogCapture::Count(std::string_view needle) const {
    const std::string text = Text();
    int count = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

}  // namespace zumbo::test
