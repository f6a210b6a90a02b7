#include "tests/tools/tool_run.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/support/temp_dir.h"

namespace zumbo::test {

namespace {
std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

std::string ReadAll(const std::filesystem::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}
}  // namespace

ToolResult RunTool(const std::string& tool, const std::vector<std::string>& arguments) {
    TempDir capture;
    std::string command = Quoted(std::string(ZUMBO_TOOLS_DIR) + "/" + tool);
    for (const std::string& argument : arguments) {
        command += " " + Quoted(argument);
    }
    command +=
        " >" + Quoted((capture.Path() / "out").string()) + " 2>" + Quoted((capture.Path() / "err").string());
    const int status = std::system(command.c_str());
    ToolResult result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadAll(capture.Path() / "out");
    result.err = ReadAll(capture.Path() / "err");
    return result;
}

}  // namespace zumbo::test
