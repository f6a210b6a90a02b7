#pragma once
// A program started by a test that runs while the test looks at it, ended by the test.

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace zumbo::test {

class ChildProcess {
public:
    // Starts program in the folder of outputFile with this process's environment plus the
    // given variables; its output goes to outputFile.
    ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment,
                 const std::filesystem::path& outputFile);
    // Kills the program if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_pid > 0; }
    void Signal(int signal) const;
    // The exit code once the program has ended within the timeout (128 + signal when a
    // signal ended it); nothing when it still runs.
    std::optional<int> WaitForExit(std::chrono::seconds timeout);

private:
    pid_t m_pid = -1;
    std::optional<int> m_exitCode;
};

}  // namespace zumbo::test
