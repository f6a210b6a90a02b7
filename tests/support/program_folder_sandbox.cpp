#include "tests/support/program_folder_sandbox.h"

#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "platform/win32/files.h"
#include "resource/paths.h"

namespace zumbo::test {

ProgramFolderSandbox::ProgramFolderSandbox() {
    static int counter = 0;
    const std::filesystem::path programFolder = win32::ToHostPath(GetProgramFolder());
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string relative = "sandbox-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        if (std::filesystem::create_directory(programFolder / relative)) {
            m_relative = std::move(relative);
            m_host = programFolder / m_relative;
            return;
        }
    }
    throw std::runtime_error("cannot create a sandbox below " + programFolder.string());
}

ProgramFolderSandbox::~ProgramFolderSandbox() {
    std::error_code ignored;
    std::filesystem::remove_all(m_host, ignored);
}

void ProgramFolderSandbox::Write(const std::string& relative, const std::vector<std::uint8_t>& bytes) const {
    Write(relative, std::string(bytes.begin(), bytes.end()));
}

void ProgramFolderSandbox::Write(const std::string& relative, const std::string& text) const {
    const std::filesystem::path path = m_host / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace zumbo::test
