#pragma once
// Shared by the host's tests: a recording stand-in for message boxes, and a temporary
// machine (drive C: and registry) with a program folder holding a host file.

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "scr/host_prompter.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace zumbo::test {

struct Prompt {
    std::string text;
    std::string caption;
    UINT type = 0;
};

// Answers every message box with one button and remembers what was asked.
class RecordingPrompter final : public CHostPrompter {
public:
    explicit RecordingPrompter(int answer = 1) : m_answer(answer) {}
    int Show(std::string_view text, std::string_view caption, UINT type) override;

    std::vector<Prompt> prompts;

private:
    int m_answer;
};

// Drive C:, the registry file and a program folder, each in a temporary folder of its own;
// the environment points the platform at them while the object lives.
class TemporaryMachine {
public:
    TemporaryMachine();

    std::filesystem::path DriveC() const { return m_driveC.Path(); }
    std::filesystem::path ProgramFolder() const { return m_program.Path(); }
    std::filesystem::path RegistryFile() const { return m_registry.Path() / "registry.reg"; }
    // The host file "ZumboCave.scr" in the program folder, as a Windows path.
    std::string HostFile() const;
    std::string HostBytes() const { return "host program bytes"; }

    // Every file below drive C:, as '/' separated relative paths.
    std::set<std::string> FilesOnDriveC() const;

private:
    TempDir m_driveC;
    TempDir m_program;
    TempDir m_registry;
    ScopedEnvironmentVariable m_driveVariable;
    ScopedEnvironmentVariable m_registryVariable;
    ScopedEnvironmentVariable m_headless;
};

// A registry string read back through the platform; "<missing>" when it is not there.
std::string RegistryString(HKEY root, const std::string& key, const std::string& name);

}  // namespace zumbo::test
