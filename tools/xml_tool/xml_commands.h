#pragma once
// The two conversions of zumbo-xml. Each either writes the whole output file or none of it.

#include <filesystem>

#include "tools/common/tool_files.h"

namespace zumbo::tools {

bool ConvertXmlToLbm(const std::filesystem::path& input, const std::filesystem::path& output,
                     ToolError& error);
bool ConvertLbmToXml(const std::filesystem::path& input, const std::filesystem::path& output,
                     ToolError& error);

}  // namespace zumbo::tools
