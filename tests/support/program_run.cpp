#include "tests/support/program_run.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace zumbo::test {

namespace {
std::string ReadText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

ProgramFolder::ProgramFolder(const std::string& program) : m_program(program) {
    std::filesystem::copy_file(std::filesystem::path(ZUMBO_BIN_DIR) / program, m_dir.Path() / program);
}

std::filesystem::path ProgramFolder::WriteFile(const std::string& relative,
                                               const std::string& content) const {
    return m_dir.Write(relative, content);
}

void ProgramFolder::WriteScreenSaverSettings(const std::string& values) const {
    m_dir.Write(
        "registry.reg",
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0]\n" + values);
}

pid_t StartProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment,
                   const std::filesystem::path& workingFolder, const std::filesystem::path& outputFile) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const auto equals = text.find('=');
        if (equals != std::string::npos) {
            variables[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    for (const auto& [name, value] : environment) {
        variables[name] = value;
    }
    std::vector<std::string> environmentText;
    for (const auto& [name, value] : variables) {
        environmentText.push_back(name + "=" + value);
    }
    std::vector<char*> envp;
    for (auto& text : environmentText) {
        envp.push_back(text.data());
    }
    envp.push_back(nullptr);

    const std::string programPath = program.string();
    std::vector<std::string> argumentText{programPath};
    argumentText.insert(argumentText.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& text : argumentText) {
        argv.push_back(text.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputFile.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, workingFolder.c_str());
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, programPath.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + programPath);
    }
    return pid;
}

RunResult WaitForProgram(pid_t pid, const std::filesystem::path& outputFile, int timeoutSeconds) {
    RunResult result;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            result.output = ReadText(outputFile) + "\n[killed after timeout]";
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.output = ReadText(outputFile);
    return result;
}

RunResult RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                     const std::map<std::string, std::string>& environment,
                     const std::filesystem::path& workingFolder, int timeoutSeconds) {
    const std::filesystem::path outputPath = workingFolder / "program-output.txt";
    const pid_t pid = StartProgram(program, arguments, environment, workingFolder, outputPath);
    return WaitForProgram(pid, outputPath, timeoutSeconds);
}

std::map<std::string, std::string> ProgramFolder::Environment(
    const std::map<std::string, std::string>& environment) const {
    std::map<std::string, std::string> variables{{"ZUMBO_REGISTRY", RegistryFile().string()},
                                                 {"ZUMBO_DRIVE_C", (m_dir.Path() / "drive_c").string()}};
    for (const auto& [name, value] : environment) {
        variables[name] = value;
    }
    return variables;
}

RunResult ProgramFolder::Run(const std::vector<std::string>& arguments,
                             const std::map<std::string, std::string>& environment,
                             int timeoutSeconds) const {
    return RunProgram(m_dir.Path() / m_program, arguments, Environment(environment), m_dir.Path(),
                      timeoutSeconds);
}

pid_t ProgramFolder::Start(const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment,
                           const std::filesystem::path& outputFile) const {
    return StartProgram(m_dir.Path() / m_program, arguments, Environment(environment), m_dir.Path(),
                        outputFile);
}

std::vector<std::string> ProgramFolder::LogLines(const std::string& name) const {
    std::ifstream in(m_dir.Path() / "DebugLogs" / name);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::string ProgramFolder::RegistryText() const {
    return ReadText(RegistryFile());
}

}  // namespace zumbo::test
