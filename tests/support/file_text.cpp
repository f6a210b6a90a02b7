#include "tests/support/file_text.h"

#include <fstream>
#include <sstream>

namespace zumbo::test {

std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace zumbo::test
