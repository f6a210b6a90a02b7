#pragma once
// The whole content of a host file as text; empty when it cannot be read.

#include <filesystem>
#include <string>

namespace zumbo::test {

std::string ReadFileText(const std::filesystem::path& path);

}  // namespace zumbo::test
