#include "platform/win32/path_resolver.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <system_error>

#include "platform/win32/files.h"

namespace win32 {

namespace {

char LowerAscii(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::filesystem::path HomeFolder() {
    const std::string home = GetEnvironmentVariable("HOME");
    return home.empty() ? std::filesystem::path("/") : std::filesystem::path(home);
}

// Only an absolute XDG variable counts, as the base directory rules ask.
std::filesystem::path XdgDataHome() {
    const std::filesystem::path configured = GetEnvironmentVariable("XDG_DATA_HOME");
    return configured.is_absolute() ? configured : HomeFolder() / ".local" / "share";
}

void AppendComponents(std::string_view text, std::vector<std::string>& components) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = start;
        while (end < text.size() && !IsPathSeparator(text[end])) {
            ++end;
        }
        const std::string_view piece = text.substr(start, end - start);
        if (piece == "..") {
            if (!components.empty()) {
                components.pop_back();
            }
        } else if (!piece.empty() && piece != ".") {
            components.emplace_back(piece);
        }
        start = end + 1;
    }
}

bool HasDriveLetter(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

// The sorted-first entry of folder whose name equals name ignoring case, so the choice
// between names that differ only in case does not depend on the directory's order.
std::optional<std::string> FindIgnoringCase(const std::filesystem::path& folder, std::string_view name) {
    std::optional<std::string> best;
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (EqualsIgnoringCase(entry, name) && (!best || entry < *best)) {
            best = std::move(entry);
        }
    }
    return best;
}

}  // namespace

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::optional<WindowsPath> ParseWindowsPath(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) {
        return std::nullopt;
    }
    WindowsPath result;
    std::string_view rest = path;
    bool sameDriveAsCurrent = true;
    if (HasDriveLetter(path)) {
        result.drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
        rest = path.substr(2);
        sameDriveAsCurrent = false;
    }
    const bool rooted = !rest.empty() && IsPathSeparator(rest.front());
    if (!rooted) {
        // Relative (or drive-relative on the current drive): start from the current folder.
        const std::string current = GetCurrentDirectory();
        const char currentDrive = static_cast<char>(std::toupper(static_cast<unsigned char>(current[0])));
        if (sameDriveAsCurrent || currentDrive == result.drive) {
            result.drive = currentDrive;
            AppendComponents(std::string_view(current).substr(2), result.components);
        }
    } else if (sameDriveAsCurrent) {
        result.drive = GetCurrentDirectory()[0];
    }
    AppendComponents(rest, result.components);
    return result;
}

std::string FormatWindowsPath(const WindowsPath& path) {
    std::string text{path.drive, ':'};
    for (const auto& component : path.components) {
        text += '\\';
        text += component;
    }
    if (path.components.empty()) {
        text += '\\';
    }
    return text;
}

std::filesystem::path DriveHostRoot(char drive) {
    switch (drive) {
        case 'Z':
            return "/";
        case 'C': {
            const std::filesystem::path configured = GetEnvironmentVariable("ZUMBO_DRIVE_C");
            const auto folder = configured.empty() ? XdgDataHome() / "zumbo" / "drive_c" : configured;
            return std::filesystem::absolute(folder).lexically_normal();
        }
        default:
            return {};
    }
}

std::filesystem::path DriveCFolder() {
    const auto root = DriveHostRoot('C');
    std::error_code ignored;
    for (const char* folder : {"Windows/Temp", "Windows/System32", "Program Files"}) {
        std::filesystem::create_directories(root / folder, ignored);
    }
    return root;
}

std::filesystem::path ResolveOnHost(const WindowsPath& path) {
    std::filesystem::path host = path.drive == 'C' ? DriveCFolder() : DriveHostRoot(path.drive);
    if (host.empty()) {
        return host;
    }
    bool parentExists = true;
    for (const auto& component : path.components) {
        if (parentExists) {
            std::error_code error;
            if (!std::filesystem::exists(std::filesystem::symlink_status(host / component, error))) {
                const auto match = FindIgnoringCase(host, component);
                parentExists = match.has_value();
                host /= match.value_or(component);
                continue;
            }
        }
        host /= component;
    }
    return host;
}

}  // namespace win32
