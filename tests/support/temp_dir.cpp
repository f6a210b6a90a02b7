#include "tests/support/temp_dir.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "platform/win32/files.h"

namespace zumbo::test {

namespace {
std::filesystem::path TempRoot() {
    const char* configured = std::getenv("ZUMBO_TEST_TMP");
    std::filesystem::path root =
        configured && *configured ? configured : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(root);
    return root;
}
}  // namespace

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    const auto root = TempRoot();
    for (int attempt = 0; attempt < 1000; ++attempt) {
        auto candidate = root / ("zumbo-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
        if (std::filesystem::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder below " + root.string());
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::WindowsPath() const {
    return win32::ToWindowsPath(m_path) + "\\";
}

std::filesystem::path TempDir::Write(const std::string& relative, const std::string& content) const {
    const auto target = m_path / relative;
    std::filesystem::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary);
    out << content;
    return target;
}

}  // namespace zumbo::test
