#pragma once
// A unique folder below the program folder (the folder of the running test program), for
// tests of the rules that only apply there. Removed with everything in it at the end.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zumbo::test {

class ProgramFolderSandbox {
public:
    ProgramFolderSandbox();
    ~ProgramFolderSandbox();
    ProgramFolderSandbox(const ProgramFolderSandbox&) = delete;
    ProgramFolderSandbox& operator=(const ProgramFolderSandbox&) = delete;

    // The folder's name, relative to the program folder.
    const std::string& Relative() const { return m_relative; }
    const std::filesystem::path& HostPath() const { return m_host; }
    // Writes a file below the sandbox ('/' separated), creating its parent folders.
    void Write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const;
    void Write(const std::string& relative, const std::string& text) const;

private:
    std::string m_relative;
    std::filesystem::path m_host;
};

}  // namespace zumbo::test
