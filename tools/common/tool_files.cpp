#include "tools/common/tool_files.h"

#include "platform/win32/files.h"

namespace zumbo::tools {

namespace {
std::string WindowsPathOf(const std::filesystem::path& path) {
    return win32::ToWindowsPath(std::filesystem::absolute(path));
}
}  // namespace

bool ReadHostFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, ToolError& error) {
    std::error_code code;
    if (!std::filesystem::is_regular_file(path, code)) {
        error = {path.string(), "no such file"};
        return false;
    }
    if (!win32::ReadFile(WindowsPathOf(path), bytes, kMaxInputBytes)) {
        error = {path.string(), "cannot be read"};
        return false;
    }
    return true;
}

bool WriteHostFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                   ToolError& error) {
    if (!win32::WriteFileAtomic(WindowsPathOf(path), std::span<const std::uint8_t>(bytes))) {
        error = {path.string(), "cannot be written"};
        return false;
    }
    return true;
}

}  // namespace zumbo::tools
