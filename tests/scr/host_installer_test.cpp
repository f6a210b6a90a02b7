#include "scr/host_installer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "platform/win32/registry.h"
#include "platform/win32/window.h"
#include "tests/scr/host_test_support.h"
#include "tests/support/file_text.h"

namespace {

namespace fs = std::filesystem;
using namespace zumbo::test;
using win32::HKEY_CURRENT_USER;
using win32::HKEY_LOCAL_MACHINE;

constexpr const char* kHostKey = "SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0";
constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zumbo ScreenSaver";
constexpr const char* kProgramsKey = "Software\\Microsoft\\Windows\\CurrentVersion";
constexpr const char* kInstalled = "Program Files/Zumbo Screen Saver/";

void SetString(HKEY root, const std::string& key, const std::string& name, const std::string& value) {
    HKEY opened = nullptr;
    ASSERT_EQ(win32::RegCreateKeyEx(root, key, &opened), ERROR_SUCCESS);
    ASSERT_TRUE(win32::RegWriteString(opened, name, value));
    win32::RegCloseKey(opened);
}

void DeleteValue(HKEY root, const std::string& key, const std::string& name) {
    HKEY opened = nullptr;
    ASSERT_EQ(win32::RegOpenKeyEx(root, key, &opened), ERROR_SUCCESS);
    win32::RegDeleteValue(opened, name);
    win32::RegCloseKey(opened);
}

class HostInstallerTest : public ::testing::Test {
protected:
    int Install() {
        CHostInstaller installer(machine.HostFile(), prompter);
        return installer.Install();
    }
    // The uninstaller as it runs after the hand-over: a copy of the host in the temporary folder.
    int DoUninstallFromTemporaryCopy() {
        const fs::path copy = machine.DriveC() / "Windows/Temp/ZumboScreenSaverUninstall.exe";
        fs::create_directories(copy.parent_path());
        fs::copy_file(machine.ProgramFolder() / "ZumboCave.scr", copy, fs::copy_options::overwrite_existing);
        CHostInstaller installer("C:\\Windows\\Temp\\ZumboScreenSaverUninstall.exe", prompter);
        return installer.DoUninstall();
    }

    TemporaryMachine machine;
    RecordingPrompter prompter;
};

TEST_F(HostInstallerTest, InstallLeavesExactlyTheInstalledLayoutAndValues) {
    SetString(HKEY_CURRENT_USER, kHostKey, "", "Z:\\opt\\where it ran\\ZumboCave.exe");
    ASSERT_EQ(Install(), 0);

    const std::string installed = kInstalled;
    EXPECT_EQ(machine.FilesOnDriveC(),
              (std::set<std::string>{"Windows/ZumboCave.scr", "Windows/system.ini",
                                     installed + "ZumboCave.scr", installed + "ZumboCave.exe",
                                     installed + "Scenes/Intro.lbm", installed + "uninst.exe"}));
    EXPECT_EQ(ReadFileText(machine.DriveC() / "Windows/ZumboCave.scr"), machine.HostBytes());
    EXPECT_EQ(ReadFileText(machine.DriveC() / (installed + "uninst.exe")), machine.HostBytes());
    EXPECT_EQ(ReadFileText(machine.DriveC() / (installed + "Scenes/Intro.lbm")), "scene bytes");
    EXPECT_EQ(ReadFileText(machine.DriveC() / "Windows/system.ini"),
              "[boot]\r\nSCRNSAVE.EXE=C:\\Windows\\ZumboCave.scr\r\n");

    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kHostKey, ""),
              "C:\\Program Files\\Zumbo Screen Saver\\ZumboCave.exe");
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kHostKey, "ScreenSaverPath"), "C:\\Windows\\ZumboCave.scr");
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName"), "Zumbo Cave ScreenSaver");
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
              "C:\\Program Files\\Zumbo Screen Saver\\uninst.exe /uninstall");
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveActive"), "1");

    ASSERT_EQ(prompter.prompts.size(), 1u);
    EXPECT_EQ(prompter.prompts[0].text, "Zumbo Cave Screen Saver\nsuccessfully installed on your computer.");
    EXPECT_EQ(prompter.prompts[0].caption, "Zumbo Cave Screen Saver");
    EXPECT_EQ(prompter.prompts[0].type, win32::MB_OK | win32::MB_ICONINFORMATION);
}

TEST_F(HostInstallerTest, InstallBeforeTheMainProgramEverRanStillNamesIt) {
    ASSERT_EQ(Install(), 0);
    ASSERT_EQ(prompter.prompts.size(), 2u);
    EXPECT_EQ(prompter.prompts[0].text, "Failed to obtain necessary information from the registry");
    EXPECT_EQ(prompter.prompts[1].type, win32::MB_OK | win32::MB_ICONINFORMATION);
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, kHostKey, ""),
              "C:\\Program Files\\Zumbo Screen Saver\\ZumboCave.exe");
}

TEST_F(HostInstallerTest, InstallWithoutProgramsFolderValueSkipsTheFolderAndReportsIt) {
    DeleteValue(HKEY_LOCAL_MACHINE, kProgramsKey, "ProgramFilesDir");
    EXPECT_NE(Install(), 0);
    EXPECT_EQ(prompter.prompts.front().text, "Failed to obtain program files path from the registry");
    EXPECT_EQ(prompter.prompts.back().type, win32::MB_OK | win32::MB_ICONERROR);
    EXPECT_EQ(prompter.prompts.back().text.find("successfully"), std::string::npos);
    EXPECT_EQ(machine.FilesOnDriveC(),
              (std::set<std::string>{"Windows/ZumboCave.scr", "Windows/system.ini"}));
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"), "<missing>");
}

TEST_F(HostInstallerTest, InstallIntoAMissingProgramsFolderCreatesNothingThere) {
    SetString(HKEY_LOCAL_MACHINE, kProgramsKey, "ProgramFilesDir", "C:\\No Such Folder");
    EXPECT_NE(Install(), 0);
    EXPECT_FALSE(fs::exists(machine.DriveC() / "No Such Folder"));
    EXPECT_EQ(prompter.prompts.back().type, win32::MB_OK | win32::MB_ICONERROR);
}

TEST_F(HostInstallerTest, InstallOnAReadOnlyDriveIsNoSuccess) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permissions do not bind the superuser";
    }
    fs::create_directories(machine.DriveC() / "Windows");
    fs::create_directories(machine.DriveC() / "Program Files");
    ::chmod((machine.DriveC() / "Windows").c_str(), 0555);
    ::chmod((machine.DriveC() / "Program Files").c_str(), 0555);
    const int result = Install();
    ::chmod((machine.DriveC() / "Windows").c_str(), 0755);
    ::chmod((machine.DriveC() / "Program Files").c_str(), 0755);
    EXPECT_NE(result, 0);
    EXPECT_EQ(prompter.prompts.back().type, win32::MB_OK | win32::MB_ICONERROR);
    EXPECT_EQ(machine.FilesOnDriveC(), std::set<std::string>{});
}

TEST_F(HostInstallerTest, InstallThatCannotCopyTheFolderIsNoSuccess) {
    fs::create_directories(machine.DriveC() / "Program Files");
    std::ofstream(machine.DriveC() / "Program Files/Zumbo Screen Saver") << "a file in the way";
    EXPECT_NE(Install(), 0);
    EXPECT_EQ(prompter.prompts.back().type, win32::MB_OK | win32::MB_ICONERROR);
    EXPECT_NE(prompter.prompts.back().text.find("the copy of the program folder"), std::string::npos);
}

TEST_F(HostInstallerTest, UninstallAnsweredNoChangesNothing) {
    ASSERT_EQ(Install(), 0);
    const auto files = machine.FilesOnDriveC();
    const std::string registry = ReadFileText(machine.RegistryFile());
    RecordingPrompter no(win32::IDNO);
    CHostInstaller installed("C:\\Program Files\\Zumbo Screen Saver\\uninst.exe", no);
    EXPECT_EQ(installed.Uninstall(), 0);
    ASSERT_EQ(no.prompts.size(), 1u);
    EXPECT_EQ(no.prompts[0].text, "Are you sure that you want to uninstall Zumbo Cave Screen Saver?");
    EXPECT_EQ(no.prompts[0].caption, "Uninstall Zumbo Cave Screen Saver");
    EXPECT_EQ(no.prompts[0].type, win32::MB_YESNO | win32::MB_ICONQUESTION);
    EXPECT_EQ(machine.FilesOnDriveC(), files);
    EXPECT_EQ(ReadFileText(machine.RegistryFile()), registry);
}

TEST_F(HostInstallerTest, DoUninstallRemovesAllOfItAndNothingElse) {
    machine.DriveC();
    const fs::path neighbour = machine.DriveC() / "Program Files/Other Program/keep.txt";
    fs::create_directories(neighbour.parent_path());
    { std::ofstream(neighbour) << "keep"; }
    SetString(HKEY_CURRENT_USER, "SOFTWARE\\Other", "Setting", "kept");
    ASSERT_EQ(Install(), 0);
    const std::size_t installerPrompts = prompter.prompts.size();

    EXPECT_EQ(DoUninstallFromTemporaryCopy(), 0);
    EXPECT_EQ(machine.FilesOnDriveC(), (std::set<std::string>{"Windows/system.ini", "Windows/wininit.ini",
                                                              "Windows/Temp/ZumboScreenSaverUninstall.exe",
                                                              "Program Files/Other Program/keep.txt"}));
    EXPECT_FALSE(fs::exists(machine.DriveC() / "Program Files/Zumbo Screen Saver"));
    EXPECT_EQ(ReadFileText(machine.DriveC() / "Windows/wininit.ini"),
              "[Rename]\r\nNUL=C:\\Windows\\Temp\\ZumboScreenSaverUninstall.exe\r\n");
    HKEY key = nullptr;
    EXPECT_NE(win32::RegOpenKeyEx(HKEY_CURRENT_USER, kHostKey, &key), ERROR_SUCCESS);
    EXPECT_NE(win32::RegOpenKeyEx(HKEY_LOCAL_MACHINE, kUninstallKey, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, "SOFTWARE\\Other", "Setting"), "kept");
    EXPECT_EQ(RegistryString(HKEY_LOCAL_MACHINE, kProgramsKey, "ProgramFilesDir"), "C:\\Program Files");
    // The program folder the host was installed from is untouched.
    EXPECT_EQ(ReadFileText(machine.ProgramFolder() / "Scenes/Intro.lbm"), "scene bytes");
    EXPECT_EQ(prompter.prompts.size(), installerPrompts);  // the removal asks nothing
}

// The folder and file that the registry names are removed only when they are ours.
TEST_F(HostInstallerTest, DoUninstallLeavesForeignFoldersAndFilesAlone) {
    ASSERT_EQ(Install(), 0);
    machine.DriveC();
    const auto plant = [&](const std::string& relative, const std::string& content) {
        const fs::path path = machine.DriveC() / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path) << content;
    };
    plant("Program Files/Other/ZumboCave.exe", "other");
    plant("Program Files/Other/uninst.exe", machine.HostBytes());  // our bytes, but not our folder
    plant("Windows/notepad.exe", "notepad");
    plant("Users/me/Zumbo Screen Saver/uninst.exe", machine.HostBytes());

    const std::vector<std::pair<std::string, std::string>> hostile = {
        {"C:\\Program Files\\Other\\ZumboCave.exe", "C:\\Windows\\notepad.exe"},
        {"C:\\Users\\me\\Zumbo Screen Saver\\ZumboCave.exe", "C:\\Program Files\\Other\\uninst.exe"},
        {"C:\\Program Files\\Zumbo Screen Saver\\..\\..\\Windows\\x.exe",
         "C:\\Windows\\..\\Windows\\notepad.exe"},
        {"C:\\Program Files\\ZumboCave.exe", "C:\\Windows"},
        {"ZumboCave.exe", ""}};
    for (const auto& [mainProgram, screenSaver] : hostile) {
        SetString(HKEY_CURRENT_USER, kHostKey, "", mainProgram);
        SetString(HKEY_CURRENT_USER, kHostKey, "ScreenSaverPath", screenSaver);
        fs::remove(machine.DriveC() / "Windows/wininit.ini");
        fs::remove(machine.DriveC() / "Windows/Temp/ZumboScreenSaverUninstall.exe");
        const auto before = machine.FilesOnDriveC();
        EXPECT_NE(DoUninstallFromTemporaryCopy(), 0) << mainProgram;
        auto after = machine.FilesOnDriveC();
        after.erase("Windows/wininit.ini");
        after.erase("Windows/Temp/ZumboScreenSaverUninstall.exe");
        EXPECT_EQ(after, before) << mainProgram;
    }
    EXPECT_TRUE(fs::exists(machine.DriveC() / "Program Files/Zumbo Screen Saver/uninst.exe"));
}

TEST_F(HostInstallerTest, DoUninstallKeepsAnInstalledFolderWithAnotherUninstaller) {
    ASSERT_EQ(Install(), 0);
    { std::ofstream(machine.DriveC() / (std::string(kInstalled) + "uninst.exe")) << "another program"; }
    EXPECT_NE(DoUninstallFromTemporaryCopy(), 0);
    EXPECT_TRUE(fs::exists(machine.DriveC() / (std::string(kInstalled) + "ZumboCave.exe")));
    // The Windows-folder copy is ours and goes.
    EXPECT_FALSE(fs::exists(machine.DriveC() / "Windows/ZumboCave.scr"));
}

}  // namespace
