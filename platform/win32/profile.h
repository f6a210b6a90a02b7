#pragma once
// Private profile (INI) files such as "system.ini": sections and keys compare ignoring
// case; writes go through a temporary file.

#include <string>
#include <string_view>

namespace win32 {

// A bare file name ("system.ini") names a file in the Windows folder. A missing file or
// key gives the default value.
std::string GetPrivateProfileString(std::string_view section, std::string_view key,
                                    std::string_view defaultValue, std::string_view file);
// Replaces the key's value or adds the key (and its section); false for names or values
// that one line cannot hold.
bool WritePrivateProfileString(std::string_view section, std::string_view key, std::string_view value,
                               std::string_view file);
// False when there was no such key; the file is then left untouched.
bool DeletePrivateProfileKey(std::string_view section, std::string_view key, std::string_view file);

}  // namespace win32
