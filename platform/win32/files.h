#pragma once
// Files and folders addressed by Windows-style paths on virtual drives.
//
// "Z:" is the Linux root; "C:" is the folder named by ZUMBO_DRIVE_C (default
// $XDG_DATA_HOME/zumbo/drive_c, created on demand). Backslashes and slashes both separate
// components, and each component that does not exist with its exact name is looked up
// ignoring case. A relative path is taken from the current folder.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win32/types.h"

namespace win32 {

// The host path for a Windows path; components that exist in another case are resolved.
std::filesystem::path ToHostPath(std::string_view windowsPath);
// The Windows path ("Z:\..." or "C:\..." when below drive C's folder) for a host path.
std::string ToWindowsPath(const std::filesystem::path& hostPath);
// The host folder that stands for drive C:, created when missing.
std::filesystem::path DriveCFolder();

// Full Windows path of the running program file ("Z:\...\ZumboCave.exe").
std::string GetModuleFileName();
std::string GetCurrentDirectory();  // with no trailing backslash
bool SetCurrentDirectory(std::string_view path);
// Absolute form of a path: drive added, "." and ".." resolved, backslashes only.
std::string GetFullPathName(std::string_view path);
std::string GetWindowsDirectory();  // "C:\Windows"
std::string GetSystemDirectory();   // "C:\Windows\System32"
std::string GetTempPath();          // "C:\Windows\Temp\" (trailing backslash), created on demand

bool FileExists(std::string_view path);  // a file or a folder
bool DirectoryExists(std::string_view path);
std::optional<std::uint64_t> GetFileSize(std::string_view path);

bool CreateDirectory(std::string_view path);  // one level; true when it exists afterwards
bool CreateDirectories(std::string_view path);
bool RemoveDirectory(std::string_view path);  // only when empty
bool DeleteFile(std::string_view path);
bool MoveFile(std::string_view from, std::string_view to);  // replaces an existing target
bool CopyFile(std::string_view from, std::string_view to, bool failIfExists);
// Copies a folder with everything below it, creating the target and overwriting files
// there; refuses a target inside the source.
bool CopyDirectoryTree(std::string_view from, std::string_view to);
// Removes a folder with everything below it. Refuses drive roots, the Windows and
// programs folders and the user's home folder or any folder above it, so a damaged
// path can never wipe them.
bool RemoveDirectoryTree(std::string_view path);
// These drives keep no 8.3 names: the full path of an existing file or folder, else empty.
std::string GetShortPathName(std::string_view path);

// Reads a whole file; fails on files larger than maxBytes.
bool ReadFile(std::string_view path, std::vector<std::uint8_t>& out,
              std::uint64_t maxBytes = std::uint64_t(1) << 31);
// Reads size bytes at offset; fails when the file is shorter.
bool ReadFileRange(std::string_view path, std::uint64_t offset, std::uint64_t size,
                   std::vector<std::uint8_t>& out);
// Writes through a temporary file in the same folder that is renamed over the target,
// so readers see the old or the new content, never a torn file.
bool WriteFileAtomic(std::string_view path, std::span<const std::uint8_t> bytes);
bool WriteFileAtomic(std::string_view path, std::string_view text);
// The same for a host path, which is used as it stands (no drive, no case lookup).
bool ReadHostFile(const std::filesystem::path& hostPath, std::vector<std::uint8_t>& out,
                  std::uint64_t maxBytes);
bool WriteHostFileAtomic(const std::filesystem::path& hostPath, std::span<const std::uint8_t> bytes);
// Appends text, creating the file when missing.
bool AppendToFile(std::string_view path, std::string_view text);

// FindFirstFile/FindNextFile: the folder part of the pattern is resolved as a path, the
// last component may hold the wildcards '*' and '?', matched ignoring case.
struct FindData {
    std::string name;  // the entry's name as stored on disk
    bool directory = false;
    std::uint64_t size = 0;
};
std::vector<FindData> FindFiles(std::string_view pattern);
bool MatchesWildcard(std::string_view pattern, std::string_view name);

// Reads an environment variable; empty when unset.
std::string GetEnvironmentVariable(const char* name);

}  // namespace win32
