#pragma once
// The REGEDIT4 text form of the registry stand-in's file: a "REGEDIT4" header line, one
// "[HIVE\key\...]" section per key, and value lines such as "name"="text", @="default",
// "n"=dword:0000000a and "b"=hex:01,02 (hex(N): for other types).

#include <string>
#include <string_view>

#include "platform/win32/registry_tree.h"

namespace win32 {

// Fills tree from text. On failure returns false with the reason (and the line number);
// tree then holds whatever was read before the fault.
bool ParseRegistryText(std::string_view text, RegistryTree& tree, std::string& error);
std::string FormatRegistryText(const RegistryTree& tree);

}  // namespace win32
