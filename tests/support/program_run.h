#pragma once
// Runs a copy of a built program inside a temporary program folder, with its own registry
// file and drive C, and collects its exit status, output and debug log.

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace zumbo::test {

struct RunResult {
    int exitCode = -1;   // -1 when the program did not exit normally
    std::string output;  // standard output and standard error together
};

// Starts program with the arguments in the working folder, with this process's environment
// plus the given variables, its standard output and error going to outputFile. Throws when
// it cannot start.
pid_t StartProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment,
                   const std::filesystem::path& workingFolder, const std::filesystem::path& outputFile);

// Waits for a started program for at most timeoutSeconds, then kills it; the result holds what
// it wrote to outputFile.
RunResult WaitForProgram(pid_t pid, const std::filesystem::path& outputFile, int timeoutSeconds);

// Runs program with the arguments in the working folder, with this process's environment
// plus the given variables; waits for it for at most timeoutSeconds, then kills it.
RunResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                     const std::map<std::string, std::string>& environment,
                     const std::filesystem::path& workingFolder, int timeoutSeconds = 120);

class ProgramFolder {
public:
    // Copies build/bin/<program> into a fresh temporary folder.
    explicit ProgramFolder(const std::string& program = "ZumboCave.exe");

    const std::filesystem::path& Path() const { return m_dir.Path(); }
    std::filesystem::path RegistryFile() const { return m_dir.Path() / "registry.reg"; }
    std::filesystem::path WriteFile(const std::string& relative, const std::string& content) const;
    // A registry file holding only the screen saver's key with these value lines, such as
    // "\"FullScreen\"=dword:00000000\n".
    void WriteScreenSaverSettings(const std::string& values) const;

    // Runs the program with ZUMBO_REGISTRY and ZUMBO_DRIVE_C pointing into the folder,
    // plus the given variables; waits for it for at most timeoutSeconds.
    RunResult Run(const std::vector<std::string>& arguments,
                  const std::map<std::string, std::string>& environment, int timeoutSeconds = 120) const;

    // Starts the program as Run does, without waiting; its output goes to outputFile.
    pid_t Start(const std::vector<std::string>& arguments,
                const std::map<std::string, std::string>& environment,
                const std::filesystem::path& outputFile) const;

    // The lines of DebugLogs/<name> (empty when missing).
    std::vector<std::string> LogLines(const std::string& name = "Debug0000.log") const;
    std::string RegistryText() const;

private:
    // The given variables with the folder's registry file and drive C.
    std::map<std::string, std::string> Environment(
        const std::map<std::string, std::string>& environment) const;

    TempDir m_dir;
    std::string m_program;
};

}  // namespace zumbo::test
