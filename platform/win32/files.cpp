#include "platform/win32/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "platform/win32/file_descriptor.h"
#include "platform/win32/path_resolver.h"

namespace win32 {

namespace fs = std::filesystem;

namespace {

// Repeats a read or write until all bytes moved; a short count or an error ends it.
template <typename Byte, typename Transfer>
bool TransferAll(int fd, Byte* data, std::size_t size, Transfer transfer) {
    while (size > 0) {
        const ssize_t moved = transfer(fd, data, size);
        if (moved < 0 && errno == EINTR) {
            continue;
        }
        if (moved <= 0) {
            return false;
        }
        data += moved;
        size -= static_cast<std::size_t>(moved);
    }
    return true;
}

bool WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
    return TransferAll(fd, data, size, ::write);
}
bool ReadAll(int fd, std::uint8_t* data, std::size_t size) {
    return TransferAll(fd, data, size, ::read);
}

std::optional<std::uint64_t> RegularFileSize(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

// Reads size bytes at offset from an open file after checking them against its length.
bool ReadRange(const fs::path& host, std::uint64_t offset, std::uint64_t size, std::uint64_t maxBytes,
               bool wholeFile, std::vector<std::uint8_t>& out) {
    FileDescriptor file(::open(host.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.Valid()) {
        return false;
    }
    const auto length = RegularFileSize(file.Get());
    if (!length) {
        return false;
    }
    if (wholeFile) {
        size = *length;
    }
    if (size > maxBytes || offset > *length || size > *length - offset) {
        return false;
    }
    out.resize(static_cast<std::size_t>(size));
    if (::lseek(file.Get(), static_cast<off_t>(offset), SEEK_SET) < 0 ||
        !ReadAll(file.Get(), out.data(), out.size())) {
        out.clear();
        return false;
    }
    return true;
}

// The mode a replacement file takes: the old file's, or read-write for everyone the
// umask allows.
mode_t ReplacementMode(const fs::path& target) {
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        return info.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void SyncFolder(const fs::path& folder) {
    FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.Valid()) {
        ::fsync(directory.Get());
    }
}

bool HasWildcard(std::string_view text) {
    return text.find_first_of("*?") != std::string_view::npos;
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// '*' matches any run of characters and '?' exactly one; iterative, so long names cost no
// stack.
bool MatchesGlob(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t starMatch = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            starMatch = n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++starMatch;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

WindowsPath WindowsPathBelow(char drive, const fs::path& relative) {
    WindowsPath path{drive, {}};
    for (const auto& component : relative) {
        if (!component.empty() && component != ".") {
            path.components.push_back(component.string());
        }
    }
    return path;
}

fs::path Canonical(const fs::path& path) {
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(path, error);
    return error ? path.lexically_normal() : canonical;
}

// True when path is folder or lies below it.
bool IsWithin(const fs::path& path, const fs::path& folder) {
    const fs::path relative = Canonical(path).lexically_relative(Canonical(folder));
    return !relative.empty() && *relative.begin() != "..";
}

bool IsProtectedFolder(const fs::path& host) {
    const fs::path driveC = DriveHostRoot('C');
    for (const fs::path& kept : {fs::path(GetEnvironmentVariable("HOME")), fs::path("/")}) {
        if (!kept.empty() && IsWithin(kept, host)) {
            return true;
        }
    }
    for (const fs::path& kept :
         {driveC, driveC / "Windows", driveC / "Windows" / "System32", driveC / "Program Files"}) {
        if (Canonical(host) == Canonical(kept)) {
            return true;
        }
    }
    return false;
}

}  // namespace

fs::path ToHostPath(std::string_view windowsPath) {
    const auto parsed = ParseWindowsPath(windowsPath);
    return parsed ? ResolveOnHost(*parsed) : fs::path();
}

std::string ToWindowsPath(const fs::path& hostPath) {
    std::error_code error;
    const fs::path absolute = fs::absolute(hostPath, error).lexically_normal();
    const fs::path driveC = DriveHostRoot('C');
    for (const fs::path& root : {driveC, fs::weakly_canonical(driveC, error)}) {
        const fs::path relative = absolute.lexically_relative(root);
        if (!relative.empty() && *relative.begin() != "..") {
            return FormatWindowsPath(WindowsPathBelow('C', relative));
        }
    }
    return FormatWindowsPath(WindowsPathBelow('Z', absolute.relative_path()));
}

std::string GetModuleFileName() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : ToWindowsPath(program);
}

std::string GetCurrentDirectory() {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    std::string text = error ? std::string("Z:\\") : ToWindowsPath(current);
    if (text.size() > 3 && text.back() == '\\') {
        text.pop_back();
    }
    return text;
}

bool SetCurrentDirectory(std::string_view path) {
    const fs::path host = ToHostPath(path);
    return !host.empty() && ::chdir(host.c_str()) == 0;
}

std::string GetFullPathName(std::string_view path) {
    const auto parsed = ParseWindowsPath(path);
    if (!parsed) {
        return {};
    }
    std::string full = FormatWindowsPath(*parsed);
    if (!path.empty() && IsPathSeparator(path.back()) && full.back() != '\\') {
        full += '\\';
    }
    return full;
}

std::string GetWindowsDirectory() {
    return "C:\\Windows";
}
std::string GetSystemDirectory() {
    return "C:\\Windows\\System32";
}

std::string GetTempPath() {
    DriveCFolder();
    return "C:\\Windows\\Temp\\";
}

bool FileExists(std::string_view path) {
    std::error_code error;
    const fs::path host = ToHostPath(path);
    return !host.empty() && fs::exists(host, error);
}

bool DirectoryExists(std::string_view path) {
    std::error_code error;
    const fs::path host = ToHostPath(path);
    return !host.empty() && fs::is_directory(host, error);
}

std::optional<std::uint64_t> GetFileSize(std::string_view path) {
    std::error_code error;
    const auto size = fs::file_size(ToHostPath(path), error);
    return error ? std::nullopt : std::optional<std::uint64_t>(size);
}

bool CreateDirectory(std::string_view path) {
    const fs::path host = ToHostPath(path);
    std::error_code error;
    return !host.empty() && (::mkdir(host.c_str(), 0777) == 0 || fs::is_directory(host, error));
}

bool CreateDirectories(std::string_view path) {
    const fs::path host = ToHostPath(path);
    std::error_code error;
    return !host.empty() && (fs::create_directories(host, error) || fs::is_directory(host, error));
}

bool RemoveDirectory(std::string_view path) {
    const fs::path host = ToHostPath(path);
    return !host.empty() && ::rmdir(host.c_str()) == 0;
}

bool DeleteFile(std::string_view path) {
    const fs::path host = ToHostPath(path);
    return !host.empty() && ::unlink(host.c_str()) == 0;
}

bool MoveFile(std::string_view from, std::string_view to) {
    const fs::path source = ToHostPath(from);
    const fs::path target = ToHostPath(to);
    if (source.empty() || target.empty()) {
        return false;
    }
    if (::rename(source.c_str(), target.c_str()) == 0) {
        return true;
    }
    // Another file system: copy, then remove the original.
    return errno == EXDEV && CopyFile(from, to, false) && ::unlink(source.c_str()) == 0;
}

bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
    std::error_code error;
    const fs::path source = ToHostPath(from);
    const fs::path target = ToHostPath(to);
    if (source.empty() || target.empty() || !fs::is_regular_file(source, error)) {
        return false;
    }
    if (failIfExists && fs::exists(target, error)) {
        return false;
    }
    // A copy beside the target renamed over it: a running program can be replaced this
    // way, and nobody sees a half-copied file.
    const fs::path temporary = target.string() + ".copy-" + std::to_string(::getpid());
    if (!fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, error)) {
        return false;
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool CopyDirectoryTree(std::string_view from, std::string_view to) {
    std::error_code error;
    const fs::path source = ToHostPath(from);
    const fs::path target = ToHostPath(to);
    if (source.empty() || target.empty() || !fs::is_directory(source, error) || IsWithin(target, source)) {
        return false;
    }
    fs::create_directories(target, error);
    fs::copy(
        source, target,
        fs::copy_options::recursive | fs::copy_options::overwrite_existing | fs::copy_options::copy_symlinks,
        error);
    return !error;
}

bool RemoveDirectoryTree(std::string_view path) {
    std::error_code error;
    const fs::path host = ToHostPath(path);
    if (host.empty() || !fs::is_directory(fs::symlink_status(host, error)) || IsProtectedFolder(host)) {
        return false;
    }
    fs::remove_all(host, error);
    return !error;
}

std::string GetShortPathName(std::string_view path) {
    return FileExists(path) ? GetFullPathName(path) : std::string();
}

bool ReadHostFile(const fs::path& hostPath, std::vector<std::uint8_t>& out, std::uint64_t maxBytes) {
    return !hostPath.empty() && ReadRange(hostPath, 0, 0, maxBytes, true, out);
}

bool ReadFile(std::string_view path, std::vector<std::uint8_t>& out, std::uint64_t maxBytes) {
    return ReadHostFile(ToHostPath(path), out, maxBytes);
}

bool ReadFileRange(std::string_view path, std::uint64_t offset, std::uint64_t size,
                   std::vector<std::uint8_t>& out) {
    const fs::path host = ToHostPath(path);
    return !host.empty() && ReadRange(host, offset, size, size, false, out);
}

bool WriteHostFileAtomic(const fs::path& target, std::span<const std::uint8_t> bytes) {
    if (target.empty() || !target.has_filename()) {
        return false;
    }
    std::string temporaryName = target.string() + ".tmp-XXXXXX";
    FileDescriptor file(::mkostemp(temporaryName.data(), O_CLOEXEC));
    if (!file.Valid()) {
        return false;
    }
    const bool written = ::fchmod(file.Get(), ReplacementMode(target)) == 0 &&
                         WriteAll(file.Get(), bytes.data(), bytes.size()) && ::fsync(file.Get()) == 0;
    if (!file.Close() || !written || ::rename(temporaryName.c_str(), target.c_str()) != 0) {
        ::unlink(temporaryName.c_str());
        return false;
    }
    SyncFolder(target.parent_path());
    return true;
}

bool WriteFileAtomic(std::string_view path, std::span<const std::uint8_t> bytes) {
    return WriteHostFileAtomic(ToHostPath(path), bytes);
}

bool WriteFileAtomic(std::string_view path, std::string_view text) {
    return WriteFileAtomic(path, std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool AppendToFile(std::string_view path, std::string_view text) {
    const fs::path host = ToHostPath(path);
    if (host.empty()) {
        return false;
    }
    FileDescriptor file(::open(host.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
    return file.Valid() &&
           WriteAll(file.Get(), reinterpret_cast<const std::uint8_t*>(text.data()), text.size()) &&
           file.Close();
}

bool MatchesWildcard(std::string_view pattern, std::string_view name) {
    if (MatchesGlob(pattern, name)) {
        return true;
    }
    // A pattern ending in ".*" also takes names without an extension, so "*.*" is "all".
    return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
           MatchesGlob(pattern.substr(0, pattern.size() - 2), name);
}

std::vector<FindData> FindFiles(std::string_view pattern) {
    // "C:name" keeps its drive in the folder part: it names the drive's current folder.
    const std::size_t driveEnd = (pattern.size() >= 2 && pattern[1] == ':') ? 2 : 0;
    std::size_t split = pattern.size();
    while (split > driveEnd && !IsPathSeparator(pattern[split - 1])) {
        --split;
    }
    const std::string_view namePattern = pattern.substr(split);
    if (namePattern.empty() || namePattern == "." || namePattern == "..") {
        return {};
    }
    const std::string_view folderPart = pattern.substr(0, split);
    const fs::path folder = ToHostPath(folderPart.empty() ? std::string_view(".") : folderPart);
    std::vector<FindData> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (!(HasWildcard(namePattern) ? MatchesWildcard(namePattern, name)
                                       : EqualsIgnoringCase(namePattern, name))) {
            continue;
        }
        std::error_code entryError;
        FindData data{name, it->is_directory(entryError), 0};
        if (!data.directory) {
            data.size = it->file_size(entryError);
        }
        found.push_back(std::move(data));
    }
    std::sort(found.begin(), found.end(),
              [](const FindData& a, const FindData& b) { return a.name < b.name; });
    return found;
}

std::string GetEnvironmentVariable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

}  // namespace win32
