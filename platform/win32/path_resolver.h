#pragma once
// For the file stand-ins only: Windows paths split into drive and components, and their
// host paths on the virtual drives.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win32 {

struct WindowsPath {
    char drive = 'Z';  // upper case
    std::vector<std::string> components;
};

// The absolute form of a Windows path, taken from the current folder when it is relative;
// "." and ".." are resolved. Empty for paths that no drive can hold (embedded zero bytes).
std::optional<WindowsPath> ParseWindowsPath(std::string_view path);
// "C:\a\b"; the root of a drive is "C:\".
std::string FormatWindowsPath(const WindowsPath& path);

// The host folder of a drive letter, without creating it; empty for unknown drives.
std::filesystem::path DriveHostRoot(char drive);
// The host path: each component that does not exist as written is looked up ignoring
// case. Drive C's folder is created when missing. Empty for unknown drives.
std::filesystem::path ResolveOnHost(const WindowsPath& path);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool IsPathSeparator(char c);

}  // namespace win32
