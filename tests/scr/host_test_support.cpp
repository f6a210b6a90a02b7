#include "tests/scr/host_test_support.h"

#include "platform/win32/files.h"
#include "platform/win32/registry.h"

namespace zumbo::test {

namespace fs = std::filesystem;

int RecordingPrompter::Show(std::string_view text, std::string_view caption, UINT type) {
    prompts.push_back(Prompt{std::string(text), std::string(caption), type});
    return m_answer;
}

TemporaryMachine::TemporaryMachine()
    : m_driveVariable("ZUMBO_DRIVE_C", m_driveC.Path().string()),
      m_registryVariable("ZUMBO_REGISTRY", (m_registry.Path() / "registry.reg").string()),
      m_headless("ZUMBO_HEADLESS", "1") {
    m_program.Write("ZumboCave.scr", HostBytes());
    m_program.Write("ZumboCave.exe", "main program bytes");
    m_program.Write("Scenes/Intro.lbm", "scene bytes");
}

std::string TemporaryMachine::HostFile() const {
    return win32::ToWindowsPath(m_program.Path() / "ZumboCave.scr");
}

std::set<std::string> TemporaryMachine::FilesOnDriveC() const {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(m_driveC.Path())) {
        if (entry.is_regular_file()) {
            files.insert(entry.path().lexically_relative(m_driveC.Path()).generic_string());
        }
    }
    return files;
}

std::string RegistryString(HKEY root, const std::string& key, const std::string& name) {
    HKEY opened = nullptr;
    if (win32::RegOpenKeyEx(root, key, &opened) != ERROR_SUCCESS) {
        return "<missing>";
    }
    std::string value;
    const bool found = win32::RegReadString(opened, name, value);
    win32::RegCloseKey(opened);
    return found ? value : "<missing>";
}

}  // namespace zumbo::test
