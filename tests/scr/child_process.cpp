#include "tests/scr/child_process.h"

#include <signal.h>
#include <sys/wait.h>

#include <thread>

#include "tests/support/program_run.h"

namespace zumbo::test {

ChildProcess::ChildProcess(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment,
                           const std::filesystem::path& outputFile)
    : m_pid(StartProgram(program, arguments, environment, outputFile.parent_path(), outputFile)) {}

ChildProcess::~ChildProcess() {
    if (m_pid > 0 && !m_exitCode) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

void ChildProcess::Signal(int signal) const {
    if (m_pid > 0 && !m_exitCode) {
        ::kill(m_pid, signal);
    }
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_pid > 0 && !m_exitCode) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return m_exitCode;
}

}  // namespace zumbo::test
