#include "platform/win32/profile.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/win32/files.h"
#include "platform/win32/path_resolver.h"
#include "platform/win32/profile_document.h"

namespace win32 {

namespace {

constexpr std::uint64_t kMaxProfileBytes = 16u << 20;

// A bare file name lives in the Windows folder, as the system's profile calls have it.
std::string ProfilePath(std::string_view file) {
    const bool bare =
        file.find(':') == std::string_view::npos && std::none_of(file.begin(), file.end(), IsPathSeparator);
    return bare ? GetWindowsDirectory() + "\\" + std::string(file) : std::string(file);
}

// The document in the file; an empty one for a missing file; nothing when the file
// exists but cannot be read whole, so that a write never replaces what it could not see.
std::optional<ProfileDocument> Load(const std::string& path) {
    if (!FileExists(path)) {
        return ProfileDocument("");
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadFile(path, bytes, kMaxProfileBytes)) {
        return std::nullopt;
    }
    return ProfileDocument(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

template <typename Edit>
bool Change(std::string_view file, Edit edit) {
    const std::string path = ProfilePath(file);
    auto document = Load(path);
    return document && edit(*document) && WriteFileAtomic(path, std::string_view(document->Text()));
}

}  // namespace

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view file) {
    const auto document = Load(ProfilePath(file));
    const auto value = document ? document->Get(section, key) : std::nullopt;
    return value ? *value : std::string(defaultValue);
}

bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               std::string_view file) {
    return Change(file, [&](ProfileDocument& document) { return document.Set(section, key, value); });
}

bool DeletePrivateProfileKey(std::string_view section, std::string_view key, std::string_view file) {
    return Change(file, [&](ProfileDocument& document) { return document.Remove(section, key); });
}

}  // namespace win32
