#pragma once
// Runs a built data tool and collects its exit status and output.

#include <string>
#include <vector>

namespace zumbo::test {

struct ToolResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolResult RunTool(const std::string& tool, const std::vector<std::string>& arguments);

}  // namespace zumbo::test
