#pragma once
// Registry: HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE kept in one REGEDIT4 text file named
// by ZUMBO_REGISTRY (default $XDG_CONFIG_HOME/zumbo/registry.reg). Every change is written
// through a temporary file renamed over the old one. A file that cannot be parsed is
// reported on standard error and moved aside ("<file>.bad-<n>") before a new one is written.
// The file is read on every call, so changes by the other program sharing it are seen at
// once; a lock on its folder keeps two writers from losing each other's changes.

#include <string>
#include <string_view>

#include "platform/win32/types.h"

namespace win32 {

inline const HKEY HKEY_CURRENT_USER = reinterpret_cast<HKEY>(std::uintptr_t(0x80000001u));
inline const HKEY HKEY_LOCAL_MACHINE = reinterpret_cast<HKEY>(std::uintptr_t(0x80000002u));

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;

// Key names separate levels with backslashes and compare ignoring case. An empty value
// name stands for the key's default value.
LONG RegCreateKeyEx(HKEY parent, std::string_view subKey, HKEY* result);
LONG RegOpenKeyEx(HKEY parent, std::string_view subKey, HKEY* result);
LONG RegCloseKey(HKEY key);
// Like the Win32 call: with data null only *size is set; a buffer too small gives
// ERROR_MORE_DATA and the needed size. REG_SZ data carries its terminating zero.
LONG RegQueryValueEx(HKEY key, std::string_view valueName, DWORD* type, BYTE* data, DWORD* size);
LONG RegSetValueEx(HKEY key, std::string_view valueName, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValue(HKEY key, std::string_view valueName);
// Deletes a key with everything below it.
LONG RegDeleteKey(HKEY parent, std::string_view subKey);

// Convenience wrappers used by the programs.
bool RegReadString(HKEY key, std::string_view valueName, std::string& out);
bool RegReadDword(HKEY key, std::string_view valueName, DWORD& out);
bool RegWriteString(HKEY key, std::string_view valueName, std::string_view text);
bool RegWriteDword(HKEY key, std::string_view valueName, DWORD value);

}  // namespace win32
