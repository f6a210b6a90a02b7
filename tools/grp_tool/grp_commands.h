#pragma once
// The commands of zumbo-grp. Archives are checked completely before anything is written, so a
// damaged archive or an unsafe name leaves no partial output.

#include <filesystem>
#include <ostream>

#include "tools/common/tool_files.h"

namespace zumbo::tools {

// Every regular file below the folder, under its relative path, in name order.
bool PackGroupFile(const std::filesystem::path& folder, const std::filesystem::path& output,
                   ToolError& error);
// One line per file: the stored path with backslashes, the offset and the size, tab-separated.
bool ListGroupFile(const std::filesystem::path& input, std::ostream& out, ToolError& error);
bool ExtractGroupFile(const std::filesystem::path& input, const std::filesystem::path& folder,
                      ToolError& error);

}  // namespace zumbo::tools
