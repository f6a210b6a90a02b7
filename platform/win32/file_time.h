#pragma once
// Last-write times of files addressed by Windows-style paths.

#include <cstdint>
#include <optional>
#include <string_view>

namespace win32 {

// Seconds since 1970 (UTC); empty when the file does not exist.
std::optional<std::int64_t> GetFileLastWriteTime(std::string_view path);
// Sets it, for tests and tools that need a file to look changed.
bool SetFileLastWriteTime(std::string_view path, std::int64_t secondsSince1970);

}  // namespace win32
