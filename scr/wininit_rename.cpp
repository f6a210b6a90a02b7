#include "scr/wininit_rename.h"

#include <cstdint>
#include <vector>

#include "platform/win32/files.h"
#include "platform/win32/path_resolver.h"

namespace {

constexpr std::string_view kHeader = "[Rename]\r\n";
constexpr std::size_t kMaxShortPath = 1024;
constexpr std::uint64_t kMaxFileBytes = 16u << 20;

std::size_t FindIgnoringCase(std::string_view text, std::string_view pattern) {
    for (std::size_t at = 0; at + pattern.size() <= text.size(); ++at) {
        if (win32::EqualsIgnoringCase(text.substr(at, pattern.size()), pattern)) {
            return at;
        }
    }
    return std::string_view::npos;
}

// Text appended after an unterminated last line would join it.
std::string Terminated(std::string_view text) {
    std::string result(text);
    if (!result.empty() && result.back() != '\n') {
        result += "\r\n";
    }
    return result;
}

}  // namespace

std::string AddRenameLine(std::string_view text, std::string_view line) {
    const std::size_t header = FindIgnoringCase(text, kHeader);
    if (header == std::string_view::npos) {
        return Terminated(text) + std::string(kHeader) + std::string(line);
    }
    // The header's own line end counts, so a section right below it is found.
    const std::size_t nextSection = text.find("\n[", header + kHeader.size() - 1);
    if (nextSection == std::string_view::npos) {
        return Terminated(text) + std::string(line);
    }
    const std::size_t insertAt = nextSection + 1;
    return std::string(text.substr(0, insertAt)) + std::string(line) + std::string(text.substr(insertAt));
}

bool ScheduleDeleteAtRestart(std::string_view path) {
    const std::string shortPath = win32::GetShortPathName(path);
    if (shortPath.empty() || shortPath.size() > kMaxShortPath) {
        return false;
    }
    const std::string file = win32::GetWindowsDirectory() + "\\wininit.ini";
    std::vector<std::uint8_t> bytes;
    if (win32::FileExists(file) && !win32::ReadFile(file, bytes, kMaxFileBytes)) {
        return false;
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return win32::WriteFileAtomic(file, AddRenameLine(text, "NUL=" + shortPath + "\r\n"));
}
