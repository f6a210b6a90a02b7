// The built ZumboCave.scr run as a program: run mode with a stand-in main program, the
// install and the two-process uninstall, and its answers to bad command lines.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "platform/win32/files.h"
#include "platform/win32/registry.h"
#include "tests/scr/host_test_support.h"
#include "tests/support/file_text.h"
#include "tests/support/program_run.h"

namespace {

namespace fs = std::filesystem;
using namespace zumbo::test;

constexpr const char* kHostKey = "SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0";

fs::path BuiltHost() {
    return fs::path(ZUMBO_BIN_DIR) / "ZumboCave.scr";
}

fs::path WriteScript(const fs::path& path, const std::string& body) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    ::chmod(path.c_str(), 0755);
    return path;
}

void SetMainProgram(const std::string& path) {
    HKEY key = nullptr;
    ASSERT_EQ(win32::RegCreateKeyEx(win32::HKEY_CURRENT_USER, kHostKey, &key), ERROR_SUCCESS);
    ASSERT_TRUE(win32::RegWriteString(key, "", path));
    win32::RegCloseKey(key);
}

class HostProgramTest : public ::testing::Test {
protected:
    RunResult RunHost(const fs::path& host, const std::vector<std::string>& arguments) {
        return RunProgram(host, arguments, {}, work.Path(), 60);
    }

    TemporaryMachine machine;  // the child programs inherit its drive C:, registry and headless mode
    TempDir work;
};

TEST_F(HostProgramTest, RunStartsTheMainProgramWithOnlyItsQuotedPathAndWaits) {
    const fs::path log = work.Path() / "main-program.log";
    const fs::path mainProgram = WriteScript(work.Path() / "Main Program" / "ZumboCave.exe",
                                             "echo \"started with $# arguments\" > '" + log.string() +
                                                 "'\nsleep 1\necho finished >> '" + log.string() + "'");
    SetMainProgram(win32::ToWindowsPath(mainProgram));
    const RunResult result = RunHost(BuiltHost(), {"/S"});
    EXPECT_EQ(result.exitCode, 0) << result.output;
    // "finished" is written a second after the start: the host returned only after that.
    EXPECT_EQ(ReadFileText(log), "started with 0 arguments\nfinished\n");
}

TEST_F(HostProgramTest, RunWithoutTheMainProgramsPathSaysSoAndStartsNothing) {
    const RunResult result = RunHost(BuiltHost(), {"-s"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.output.find("Failed to obtain necessary information from the registry"),
              std::string::npos)
        << result.output;
}

TEST_F(HostProgramTest, RunWithAMainProgramThatCannotStartIsAFailure) {
    SetMainProgram("C:\\Program Files\\Nowhere\\ZumboCave.exe");
    const RunResult result = RunHost(BuiltHost(), {"/s"});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_NE(result.output.find("cannot start the main program"), std::string::npos) << result.output;
}

TEST_F(HostProgramTest, InstallThenTwoProcessUninstallRemovesEverything) {
    fs::copy_file(BuiltHost(), machine.ProgramFolder() / "ZumboCave.scr",
                  fs::copy_options::overwrite_existing);
    WriteScript(machine.ProgramFolder() / "ZumboCave.exe", "exit 0");
    const RunResult install = RunHost(machine.ProgramFolder() / "ZumboCave.scr", {"/install"});
    ASSERT_EQ(install.exitCode, 0) << install.output;
    EXPECT_NE(install.output.find("successfully installed on your computer."), std::string::npos);
    ASSERT_TRUE(fs::exists(machine.DriveC() / "Program Files/Zumbo Screen Saver/uninst.exe"));

    // The installed uninstaller asks (headless: the default answer Yes), hands over to a
    // temporary copy of itself, and that copy removes everything.
    const RunResult uninstall =
        RunHost(machine.DriveC() / "Program Files/Zumbo Screen Saver/uninst.exe", {"/uninstall"});
    EXPECT_EQ(uninstall.exitCode, 0) << uninstall.output;
    EXPECT_NE(uninstall.output.find("Are you sure that you want to uninstall Zumbo Cave Screen Saver?"),
              std::string::npos);
    EXPECT_EQ(machine.FilesOnDriveC(), (std::set<std::string>{"Windows/system.ini", "Windows/wininit.ini",
                                                              "Windows/Temp/ZumboScreenSaverUninstall.exe"}));
    EXPECT_EQ(RegistryString(win32::HKEY_CURRENT_USER, kHostKey, "ScreenSaverPath"), "<missing>");
    EXPECT_TRUE(fs::exists(machine.ProgramFolder() / "ZumboCave.exe"));
}

TEST_F(HostProgramTest, BadCommandLinesEndWithAClearLine) {
    const RunResult unknown = RunHost(BuiltHost(), {"/x", "-y"});
    EXPECT_EQ(unknown.exitCode, 0);
    EXPECT_EQ(unknown.output, "");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"/p"}, {"/p", "garbage"}, {"-window-id"}, {"-window-id", "0xZZ"}}) {
        const RunResult result = RunHost(BuiltHost(), arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.back();
        EXPECT_NE(result.output.find("ZumboCave.scr: "), std::string::npos) << result.output;
    }
    // Headless there is no window to draw into.
    const RunResult hack = RunHost(BuiltHost(), {"-window-id", "12345"});
    EXPECT_EQ(hack.exitCode, 2);
    EXPECT_NE(hack.output.find("does not exist"), std::string::npos) << hack.output;
}

TEST_F(HostProgramTest, OptionsDialogWithoutADisplayStoresNothing) {
    const RunResult result = RunHost(BuiltHost(), {"/c:123"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.output, "ZumboCave.scr: the options dialog needs a display\n");
    EXPECT_FALSE(fs::exists(machine.RegistryFile()) &&
                 ReadFileText(machine.RegistryFile()).find("MusicVolume") != std::string::npos);
}

}  // namespace
