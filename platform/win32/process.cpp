#include "platform/win32/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/win32/files.h"
#include "platform/win32/kernel_object.h"

extern char** environ;

namespace win32 {

namespace fs = std::filesystem;

namespace {

class ProcessObject : public KernelObject {
public:
    explicit ProcessObject(pid_t pid) : m_pid(pid) {}
    // A process whose handle is closed runs on; it is collected if it has ended.
    ~ProcessObject() override { Poll(false); }

    // Collects the exit status once the process has ended; true when it has.
    bool Poll(bool block) {
        if (m_exitCode) {
            return true;
        }
        int status = 0;
        pid_t result;
        do {
            result = ::waitpid(m_pid, &status, block ? 0 : WNOHANG);
        } while (result < 0 && errno == EINTR);
        if (result != m_pid) {
            return false;
        }
        m_exitCode = WIFEXITED(status) ? DWORD(WEXITSTATUS(status)) : DWORD(128 + WTERMSIG(status));
        return true;
    }
    std::optional<DWORD> ExitCode() const { return m_exitCode; }

private:
    pid_t m_pid;
    std::optional<DWORD> m_exitCode;
};

// The host program and its argument vector: argv[0] is the program's host path and the
// rest are the command line's arguments after the program name.
struct Launch {
    std::string program;
    std::vector<std::string> arguments;

    std::vector<char*> Argv() {
        std::vector<char*> argv;
        for (auto& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        return argv;
    }
};

bool IsExecutableFile(const fs::path& host) {
    struct stat info {};
    return ::stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(host.c_str(), X_OK) == 0;
}

std::optional<Launch> PrepareLaunch(std::string_view applicationPath, std::string_view commandLine) {
    const auto [name, arguments] = SplitProgramName(commandLine);
    const std::string program = applicationPath.empty() ? name : std::string(applicationPath);
    const fs::path host = ToHostPath(program);
    if (program.empty() || !IsExecutableFile(host)) {
        return std::nullopt;
    }
    Launch launch{host.string(), {host.string()}};
    for (auto& argument : SplitCommandLine(arguments)) {
        launch.arguments.push_back(std::move(argument));
    }
    return launch;
}

std::optional<pid_t> Spawn(Launch& launch) {
    pid_t pid = 0;
    auto argv = launch.Argv();
    if (::posix_spawn(&pid, launch.program.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
        return std::nullopt;
    }
    return pid;
}

std::string FindInSearchPath(std::string_view name) {
    const std::string path = GetEnvironmentVariable("PATH");
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find(':', start), path.size());
        const fs::path candidate = fs::path(path.substr(start, end - start)) / name;
        if (end > start && IsExecutableFile(candidate)) {
            return candidate.string();
        }
        start = end + 1;
    }
    return {};
}

bool IsAddress(std::string_view target) {
    return target.find("://") != std::string_view::npos || target.starts_with("mailto:");
}

}  // namespace

bool CreateProcess(std::string_view applicationPath, std::string_view commandLine,
                   PROCESS_INFORMATION* info) {
    auto launch = PrepareLaunch(applicationPath, commandLine);
    const auto pid = launch ? Spawn(*launch) : std::nullopt;
    if (!pid) {
        return false;
    }
    const HANDLE process = AddHandle(std::make_unique<ProcessObject>(*pid));
    if (info) {
        info->hProcess = process;
        info->dwProcessId = static_cast<DWORD>(*pid);
    } else {
        CloseHandle(process);
    }
    return true;
}

bool ExecProcess(std::string_view applicationPath, std::string_view commandLine) {
    auto launch = PrepareLaunch(applicationPath, commandLine);
    if (!launch) {
        return false;
    }
    auto argv = launch->Argv();
    ::execv(launch->program.c_str(), argv.data());
    return false;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    auto* process = LookupHandleAs<ProcessObject>(handle);
    if (!process) {
        return WAIT_FAILED;
    }
    if (milliseconds == INFINITE) {
        return process->Poll(true) ? WAIT_OBJECT_0 : WAIT_FAILED;
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    auto pause = std::chrono::microseconds(500);
    while (!process->Poll(false)) {
        const auto now = Clock::now();
        if (now >= deadline) {
            return WAIT_TIMEOUT;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::microseconds(20000));
    }
    return WAIT_OBJECT_0;
}

bool GetExitCodeProcess(HANDLE handle, DWORD* exitCode) {
    auto* process = LookupHandleAs<ProcessObject>(handle);
    if (!process || !exitCode) {
        return false;
    }
    *exitCode = process->Poll(false) ? *process->ExitCode() : STILL_ACTIVE;
    return true;
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(::getpid());
}

bool ShellExecuteOpen(std::string_view target) {
    const std::string opener = FindInSearchPath("xdg-open");
    if (opener.empty() || target.empty()) {
        return false;
    }
    const std::string hostTarget = IsAddress(target) ? std::string(target) : ToHostPath(target).string();
    Launch launch{opener, {opener, hostTarget}};
    auto argv = launch.Argv();
    // The opener gets the target as one argument, never through a shell. A middle process
    // starts it and ends at once, so it runs on detached and nobody has to collect it; only
    // async-signal-safe calls happen after the fork.
    const pid_t middle = ::fork();
    if (middle < 0) {
        return false;
    }
    if (middle == 0) {
        ::setsid();
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            ::dup2(null, STDERR_FILENO);
        }
        const pid_t opened = ::fork();
        if (opened == 0) {
            ::execv(launch.program.c_str(), argv.data());
            ::_exit(127);
        }
        ::_exit(opened < 0 ? 1 : 0);
    }
    ProcessObject started(middle);
    return started.Poll(true) && started.ExitCode() == 0u;
}

}  // namespace win32
