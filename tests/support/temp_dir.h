#pragma once
// A unique temporary folder for one test, removed with everything in it at the end.

#include <filesystem>
#include <string>

namespace zumbo::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder as a Windows path on drive Z: with a trailing backslash.
    std::string WindowsPath() const;
    // Writes a file below the folder, creating its parent folders.
    std::filesystem::path Write(const std::string& relative, const std::string& content) const;

private:
    std::filesystem::path m_path;
};

}  // namespace zumbo::test
