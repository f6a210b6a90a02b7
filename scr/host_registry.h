#pragma once
// The registry values that the host shares with the main program and the system.

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/registry.h"

namespace host_registry {

inline constexpr const char* kHostKey = "SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0";
inline constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zumbo ScreenSaver";
inline constexpr const char* kWindowsVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr const char* kDesktopKey = "Control Panel\\Desktop";

// A REG_SZ value of at most 260 bytes with its terminating zero; the key is created when
// missing. Nothing for a missing, longer or differently typed value.
std::optional<std::string> ReadString(HKEY root, std::string_view subKey, std::string_view name);
// Creates the key when missing.
bool WriteString(HKEY root, std::string_view subKey, std::string_view name, std::string_view text);
// Only a REG_DWORD of four bytes counts.
std::optional<DWORD> ReadDword(HKEY root, std::string_view subKey, std::string_view name);
bool WriteDword(HKEY root, std::string_view subKey, std::string_view name, DWORD value);

// The main program's path: the default value of the host key.
inline std::optional<std::string> MainProgramPath() {
    return ReadString(win32::HKEY_CURRENT_USER, kHostKey, "");
}

}  // namespace host_registry
