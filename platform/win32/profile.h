#pragma once
// Private profile (INI) files such as "system.ini": sections and keys compare ignoring
// case; writes go through a temporary file.

#include <string>
#include <string_view>

namespace win32 {

std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view file);
// An empty key value with deleteKey removes the key.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               std::string_view file);
bool DeletePrivateProfileKey(std::string_view section, std::string_view key, std::string_view file);

}  // namespace win32
