#include "platform/win32/process.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "platform/win32/files.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace win32;
using namespace zumbo::test;
using Arguments = std::vector<std::string>;

fs::path WriteScript(const TempDir& temp, const std::string& name, const std::string& body) {
    const auto path = temp.Write(name, "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
}

// Waits up to ten seconds for a file that another process writes.
bool AppearsSoon(const fs::path& path) {
    for (int i = 0; i < 1000 && !fs::exists(path); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return fs::exists(path);
}

TEST(CommandLine, SplitFollowsTheWindowsRules) {
    EXPECT_EQ(SplitCommandLine("  /scene   \"My Scene.xml\"\t/normalinput  "),
              (Arguments{"/scene", "My Scene.xml", "/normalinput"}));
    EXPECT_EQ(SplitCommandLine(R"(C:\Program Files\x.exe)"), (Arguments{R"(C:\Program)", R"(Files\x.exe)"}));
    EXPECT_EQ(SplitCommandLine(R"(a\\\\"b c" d)"), (Arguments{R"(a\\b c)", "d"}));
    EXPECT_EQ(SplitCommandLine(R"(a\\\"b c)"), (Arguments{R"(a\"b)", "c"}));
    EXPECT_EQ(SplitCommandLine(R"("a""b" "" x"y"z)"), (Arguments{R"(a"b)", "", "xyz"}));
    EXPECT_EQ(SplitCommandLine(R"("unterminated \)"), (Arguments{R"(unterminated \)"}));
    EXPECT_TRUE(SplitCommandLine(" \t ").empty());
}

TEST(CommandLine, JoinQuotesOnlyWhatNeedsItAndSplitsBack) {
    EXPECT_EQ(JoinCommandLine({"/p", "12345"}), "/p 12345");
    EXPECT_EQ(JoinCommandLine({R"(C:\Program Files\Zumbo\ZumboCave.exe)"}),
              R"("C:\Program Files\Zumbo\ZumboCave.exe")");
    EXPECT_EQ(JoinCommandLine({R"(C:\a b\)", ""}), R"("C:\a b\\" "")");
    const Arguments awkward = {"plain",     "",          "two words",          R"(quote"inside)", R"(trail\)",
                               R"(a\\"b\)", "tab\there", R"(\\server\share\)", R"(\")",           "ünïcode"};
    EXPECT_EQ(SplitCommandLine(JoinCommandLine(awkward)), awkward);
}

TEST(CommandLine, ProgramNameComesOffTheFrontByTheRuntimeRules) {
    EXPECT_EQ(SplitProgramName(R"("C:\Program Files\a.exe" /s)"),
              std::make_pair(std::string(R"(C:\Program Files\a.exe)"), std::string_view(" /s")));
    EXPECT_EQ(SplitProgramName(R"(x\"y z)"), std::make_pair(std::string(R"(x\"y)"), std::string_view(" z")));
    EXPECT_EQ(SplitProgramName(" ExternalDebug1f 1f"),
              std::make_pair(std::string(), std::string_view(" ExternalDebug1f 1f")));
    EXPECT_EQ(SplitProgramName(R"("unterminated)"),
              std::make_pair(std::string("unterminated"), std::string_view()));
    EXPECT_EQ(SplitProgramName(""), std::make_pair(std::string(), std::string_view()));
}

TEST(CommandLine, ProgramCommandLineComesFromItsArguments) {
    char program[] = "ZumboCave.exe";
    char scene[] = "/scene";
    char name[] = "My Scene.xml";
    char* argv[] = {program, scene, name, nullptr};
    SetCommandLineFromArgv(3, argv);
    EXPECT_EQ(GetCommandLine(), R"(/scene "My Scene.xml")");
    SetCommandLineFromArgv(1, argv);
    EXPECT_EQ(GetCommandLine(), "");
}

TEST(Process, StartedProgramGetsItsArgumentsAndReturnsItsExitCode) {
    TempDir temp;
    const auto script =
        WriteScript(temp, "Child.sh", "printf '%s\\n' \"$0\" \"$@\" > \"$(dirname \"$0\")/args\"\nexit 7");
    PROCESS_INFORMATION info;
    // The program name in the command line is the child's own business; argv[0] is its path.
    ASSERT_TRUE(CreateProcess(temp.WindowsPath() + "CHILD.SH", R"("whatever" a "b c" "")", &info));
    EXPECT_GT(info.dwProcessId, 0u);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &exitCode));
    EXPECT_EQ(exitCode, 7u);
    EXPECT_TRUE(CloseHandle(info.hProcess));
    EXPECT_FALSE(CloseHandle(info.hProcess));
    EXPECT_EQ(ReadFileText(temp.Path() / "args"), script.string() + "\na\nb c\n\n");

    // Without an application path the command line's first argument names the program.
    ASSERT_TRUE(CreateProcess("", "\"" + temp.WindowsPath() + "child.sh\" x", &info));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    CloseHandle(info.hProcess);
    EXPECT_EQ(ReadFileText(temp.Path() / "args"), script.string() + "\nx\n");

    // A line that starts with a blank has an empty program name: every word is an argument.
    ASSERT_TRUE(CreateProcess(temp.WindowsPath() + "child.sh", " ExternalDebug1f 1f", &info));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    CloseHandle(info.hProcess);
    EXPECT_EQ(ReadFileText(temp.Path() / "args"), script.string() + "\nExternalDebug1f\n1f\n");
}

TEST(Process, WaitingHonoursTheTimeout) {
    TempDir temp;
    WriteScript(temp, "wait.sh", "while [ ! -e \"$(dirname \"$0\")/go\" ]; do sleep 0.01; done\nexit 3");
    PROCESS_INFORMATION info;
    ASSERT_TRUE(CreateProcess(temp.WindowsPath() + "wait.sh", "wait.sh", &info));
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 30), WAIT_TIMEOUT);
    DWORD exitCode = 0;
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &exitCode));
    EXPECT_EQ(exitCode, STILL_ACTIVE);
    temp.Write("go", "");
    EXPECT_EQ(WaitForSingleObject(info.hProcess, INFINITE), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &exitCode));
    EXPECT_EQ(exitCode, 3u);
    CloseHandle(info.hProcess);
}

TEST(Process, MissingOrNonExecutableProgramsDoNotStart) {
    TempDir temp;
    temp.Write("data.txt", "not a program");
    PROCESS_INFORMATION info;
    EXPECT_FALSE(CreateProcess(temp.WindowsPath() + "missing.exe", "missing.exe", &info));
    EXPECT_FALSE(CreateProcess(temp.WindowsPath() + "data.txt", "data.txt", &info));
    EXPECT_FALSE(CreateProcess("", "", &info));
    EXPECT_FALSE(ExecProcess(temp.WindowsPath() + "data.txt", "data.txt"));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
}

TEST(Process, ExecReplacesTheRunningProgram) {
    TempDir temp;
    WriteScript(temp, "Uninstall.sh", "[ \"$1\" = /douninstall ] && exit 5\nexit 1");
    const std::string program = temp.WindowsPath() + "uninstall.sh";
    EXPECT_EXIT(ExecProcess(program, R"("ZumboScreenSaverUninstall.exe" "/douninstall")"),
                ::testing::ExitedWithCode(5), "");
}

TEST(SharedMemory, SecondMappingSeesTheFirstOnesBytes) {
    const std::string name = "Local\\ExternalDebug/" + std::to_string(GetCurrentProcessId());
    const HANDLE created = CreateFileMapping(name, 104000);
    ASSERT_NE(created, nullptr);
    auto* first = static_cast<char*>(MapViewOfFile(created));
    ASSERT_NE(first, nullptr);
    std::strcpy(first + 103000, "Counter");

    const HANDLE opened = OpenFileMapping(name);
    ASSERT_NE(opened, nullptr);
    auto* second = static_cast<char*>(MapViewOfFile(opened));
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(second + 103000, "Counter");
    second[0] = 'x';
    EXPECT_EQ(first[0], 'x');

    EXPECT_TRUE(UnmapViewOfFile(second));
    EXPECT_FALSE(UnmapViewOfFile(second));
    EXPECT_TRUE(CloseHandle(opened));
    EXPECT_TRUE(CloseHandle(created));
    EXPECT_EQ(first[0], 'x');  // a view outlives its handles
    EXPECT_TRUE(UnmapViewOfFile(first));
    EXPECT_EQ(OpenFileMapping(name), nullptr);  // the name went with the creator's handle
    EXPECT_EQ(CreateFileMapping(name, 0), nullptr);
}

TEST(SharedMemory, UnnamedMappingIsSharedBetweenItsViews) {
    const HANDLE mapping = CreateFileMapping("", 64);
    ASSERT_NE(mapping, nullptr);
    auto* first = static_cast<char*>(MapViewOfFile(mapping));
    auto* second = static_cast<char*>(MapViewOfFile(mapping));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first[63] = 'z';
    EXPECT_EQ(second[63], 'z');
    EXPECT_TRUE(UnmapViewOfFile(first));
    EXPECT_TRUE(UnmapViewOfFile(second));
    EXPECT_TRUE(CloseHandle(mapping));
    EXPECT_EQ(MapViewOfFile(mapping), nullptr);
}

TEST(SharedMemory, LongNamesStayDistinct) {
    const std::string stem(300, 'n');
    const HANDLE a = CreateFileMapping(stem + "a", 16);
    const HANDLE b = CreateFileMapping(stem + "b", 16);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    auto* viewA = static_cast<char*>(MapViewOfFile(a));
    auto* viewB = static_cast<char*>(MapViewOfFile(b));
    viewA[0] = 'a';
    viewB[0] = 'b';
    EXPECT_EQ(viewA[0], 'a');
    UnmapViewOfFile(viewA);
    UnmapViewOfFile(viewB);
    CloseHandle(a);
    CloseHandle(b);
}

TEST(Shell, OpenHandsTheHostPathOrAddressToXdgOpen) {
    TempDir temp;
    WriteScript(temp, "bin/xdg-open",
                "printf '%s' \"$1\" > \"$(dirname \"$0\")/../opened.tmp\"\n"
                "mv \"$(dirname \"$0\")/../opened.tmp\" \"$(dirname \"$0\")/../opened\"");
    temp.Write("Register.URL", "");
    ScopedEnvironmentVariable path("PATH", (temp.Path() / "bin").string() + ":/usr/bin:/bin");
    ASSERT_TRUE(ShellExecuteOpen(temp.WindowsPath() + "register.url"));
    ASSERT_TRUE(AppearsSoon(temp.Path() / "opened"));
    EXPECT_EQ(ReadFileText(temp.Path() / "opened"), (temp.Path() / "Register.URL").string());
    fs::remove(temp.Path() / "opened");

    ASSERT_TRUE(ShellExecuteOpen("https://example.invalid/zumbo?a=1&b=2"));
    ASSERT_TRUE(AppearsSoon(temp.Path() / "opened"));
    EXPECT_EQ(ReadFileText(temp.Path() / "opened"), "https://example.invalid/zumbo?a=1&b=2");

    ScopedEnvironmentVariable noOpener("PATH", (temp.Path() / "nothing").string());
    EXPECT_FALSE(ShellExecuteOpen("https://example.invalid/"));
}

TEST(Process, CurrentProcessId) {
    EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(::getpid()));
}

}  // namespace
