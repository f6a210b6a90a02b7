#pragma once
// File access for the data tools, which take host paths from their command line. Outputs are
// written whole through a temporary file, so a failed run leaves no partial file behind.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zumbo::tools {

// A failure that names the file and the problem, reported as "<file>: <problem>".
struct ToolError {
    std::string file;
    std::string problem;
    std::string Message() const { return file + ": " + problem; }
};

// Inputs larger than this are refused rather than read.
constexpr std::uint64_t kMaxInputBytes = std::uint64_t(1) << 31;

bool ReadHostFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes, ToolError& error);
bool WriteHostFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes,
                   ToolError& error);

}  // namespace zumbo::tools
