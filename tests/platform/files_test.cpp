#include "platform/win32/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "tests/support/file_text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using zumbo::test::ReadFileText;
using zumbo::test::ScopedEnvironmentVariable;
using zumbo::test::TempDir;

std::vector<std::string> Names(const std::vector<win32::FindData>& found) {
    std::vector<std::string> names;
    for (const auto& entry : found) {
        names.push_back(entry.name);
    }
    return names;
}

std::vector<std::string> FolderListing(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string OnDriveZ(const fs::path& host) {
    std::string text = "Z:" + host.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

class FilesTest : public ::testing::Test {
protected:
    ~FilesTest() override { fs::current_path(m_startFolder); }

    TempDir m_temp;
    ScopedEnvironmentVariable m_driveC{"ZUMBO_DRIVE_C", (m_temp.Path() / "drive_c").string()};
    fs::path m_startFolder = fs::current_path();
};

TEST_F(FilesTest, ResolvesEachComponentIgnoringCase) {
    const auto actual = m_temp.Write("Alpha/beta/Gamma.TXT", "cave");
    const std::string asked = m_temp.WindowsPath() + "ALPHA\\BETA/gamma.txt";
    EXPECT_EQ(win32::ToHostPath(asked), actual);
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(win32::ReadFile(asked, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "cave");
    // A missing component keeps the spelling asked for, and so does everything after it.
    EXPECT_EQ(win32::ToHostPath(m_temp.WindowsPath() + "alpha\\New\\BETA"), m_temp.Path() / "Alpha/New/BETA");
}

TEST_F(FilesTest, NamesDifferingOnlyInCasePreferExactThenSortedFirst) {
    m_temp.Write("data/x", "lower");
    m_temp.Write("Data/x", "upper");
    m_temp.Write("dATA/x", "mixed");
    EXPECT_EQ(win32::ToHostPath(m_temp.WindowsPath() + "data\\x"), m_temp.Path() / "data/x");
    EXPECT_EQ(win32::ToHostPath(m_temp.WindowsPath() + "dATA\\x"), m_temp.Path() / "dATA/x");
    EXPECT_EQ(win32::ToHostPath(m_temp.WindowsPath() + "DATA\\x"), m_temp.Path() / "Data/x");
}

TEST_F(FilesTest, DriveCIsTheConfiguredFolderWithItsSystemFolders) {
    const fs::path driveC = m_temp.Path() / "drive_c";
    EXPECT_EQ(win32::DriveCFolder(), driveC);
    for (const char* folder : {"Windows", "Windows/Temp", "Windows/System32", "Program Files"}) {
        EXPECT_TRUE(fs::is_directory(driveC / folder)) << folder;
    }
    EXPECT_EQ(win32::ToHostPath("c:\\windows\\SYSTEM.INI"), driveC / "Windows/SYSTEM.INI");
    EXPECT_EQ(win32::ToWindowsPath(driveC / "Program Files" / "Zumbo"), "C:\\Program Files\\Zumbo");
    EXPECT_EQ(win32::ToWindowsPath(driveC), "C:\\");
    EXPECT_TRUE(win32::DirectoryExists(win32::GetTempPath()));
    EXPECT_EQ(win32::ToHostPath(win32::GetSystemDirectory()), driveC / "Windows/System32");

    // Changing the variable moves the drive at once.
    ScopedEnvironmentVariable elsewhere("ZUMBO_DRIVE_C", (m_temp.Path() / "other").string());
    EXPECT_EQ(win32::ToHostPath("C:\\x"), m_temp.Path() / "other/x");
    EXPECT_EQ(win32::ToWindowsPath(driveC / "x"), OnDriveZ(driveC / "x"));
}

TEST_F(FilesTest, FullPathNamesResolveDotsAgainstTheCurrentFolder) {
    EXPECT_EQ(win32::GetFullPathName("Z:\\a\\b\\..\\c"), "Z:\\a\\c");
    EXPECT_EQ(win32::GetFullPathName("z:/a/./b/../../../x"), "Z:\\x");
    EXPECT_EQ(win32::GetFullPathName("C:\\Program Files\\"), "C:\\Program Files\\");
    EXPECT_EQ(win32::GetFullPathName("/usr/lib"), "Z:\\usr\\lib");

    m_temp.Write("Work/Deep/file", "");
    ASSERT_TRUE(win32::SetCurrentDirectory(m_temp.WindowsPath() + "WORK\\deep"));
    const std::string work = OnDriveZ(m_temp.Path() / "Work");
    EXPECT_EQ(win32::GetCurrentDirectory(), work + "\\Deep");
    EXPECT_EQ(win32::GetFullPathName("..\\x\\.\\y"), work + "\\x\\y");
    EXPECT_EQ(win32::GetFullPathName("\\etc"), "Z:\\etc");
    EXPECT_EQ(win32::GetFullPathName("C:x"), "C:\\x");  // another drive's own root
    EXPECT_TRUE(win32::FileExists("FILE"));
    EXPECT_FALSE(win32::SetCurrentDirectory(m_temp.WindowsPath() + "missing"));
    EXPECT_EQ(win32::GetCurrentDirectory(), work + "\\Deep");
}

TEST_F(FilesTest, ModuleFileNameIsTheRunningProgramOnDriveZ) {
    const std::string module = win32::GetModuleFileName();
    EXPECT_EQ(module, OnDriveZ(fs::read_symlink("/proc/self/exe")));
    EXPECT_EQ(win32::ToHostPath(module), fs::read_symlink("/proc/self/exe"));
}

TEST_F(FilesTest, WildcardsMatchWholeNamesIgnoringCase) {
    EXPECT_TRUE(win32::MatchesWildcard("debug*.log", "Debug0001.LOG"));
    EXPECT_TRUE(win32::MatchesWildcard("debug*.log", "debug.log"));
    EXPECT_TRUE(win32::MatchesWildcard("d?bug.*", "DEBUG.txt"));
    EXPECT_TRUE(win32::MatchesWildcard("*.*", "README"));
    EXPECT_TRUE(win32::MatchesWildcard("*a*b*c", "xxaxxbxxbxc"));
    EXPECT_FALSE(win32::MatchesWildcard("debug*.log", "debug0001.log.old"));
    EXPECT_FALSE(win32::MatchesWildcard("debug", "debug0001.log"));
    EXPECT_FALSE(win32::MatchesWildcard("?debug.log", "debug.log"));
    EXPECT_FALSE(win32::MatchesWildcard("*.x", "mesh.xx"));
}

TEST_F(FilesTest, FindFilesListsMatchesOfTheLastComponent) {
    for (const char* name : {"Debug0001.LOG", "debug0002.log", "debug12.log", "other.log", "debug.txt"}) {
        m_temp.Write(std::string("Logs/") + name, "12345");
    }
    fs::create_directory(m_temp.Path() / "Logs/DebugFolder.log");
    const std::string logs = m_temp.WindowsPath() + "LOGS\\";

    EXPECT_EQ(Names(win32::FindFiles(logs + "debug*.log")),
              (std::vector<std::string>{"Debug0001.LOG", "DebugFolder.log", "debug0002.log", "debug12.log"}));
    EXPECT_EQ(Names(win32::FindFiles(logs + "DEBUG000?.LOG")),
              (std::vector<std::string>{"Debug0001.LOG", "debug0002.log"}));
    EXPECT_TRUE(win32::FindFiles(logs + "debug00?.log").empty());
    EXPECT_TRUE(win32::FindFiles(logs + "debug").empty());
    EXPECT_EQ(Names(win32::FindFiles(logs + "OTHER.LOG")), (std::vector<std::string>{"other.log"}));
    EXPECT_EQ(win32::FindFiles(logs + "*").size(), 6u);
    EXPECT_TRUE(win32::FindFiles(logs).empty());
    EXPECT_TRUE(win32::FindFiles(logs + "..").empty());

    const auto folder = win32::FindFiles(logs + "debugfolder.LOG");
    ASSERT_EQ(folder.size(), 1u);
    EXPECT_TRUE(folder[0].directory);
    const auto file = win32::FindFiles(logs + "other.log");
    ASSERT_EQ(file.size(), 1u);
    EXPECT_FALSE(file[0].directory);
    EXPECT_EQ(file[0].size, 5u);
}

TEST_F(FilesTest, AtomicWriteReplacesTheFileAndLeavesNothingElse) {
    const auto target = m_temp.Write("state/settings.txt", "old");
    ::chmod(target.c_str(), 0600);
    const std::string path = m_temp.WindowsPath() + "State\\SETTINGS.txt";
    ASSERT_TRUE(win32::WriteFileAtomic(path, std::string_view("new content")));
    EXPECT_EQ(ReadFileText(target), "new content");
    EXPECT_EQ(FolderListing(target.parent_path()), std::vector<std::string>{"settings.txt"});
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    EXPECT_FALSE(win32::WriteFileAtomic(m_temp.WindowsPath() + "nowhere\\x", std::string_view("x")));
    EXPECT_FALSE(fs::exists(m_temp.Path() / "nowhere"));
}

TEST_F(FilesTest, ReadsAreBoundedByTheFileAndTheCaller) {
    m_temp.Write("blob", "0123456789");
    const std::string blob = m_temp.WindowsPath() + "BLOB";
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(win32::ReadFile(blob, bytes, 9));
    ASSERT_TRUE(win32::ReadFile(blob, bytes, 10));
    EXPECT_EQ(bytes.size(), 10u);

    ASSERT_TRUE(win32::ReadFileRange(blob, 7, 3, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "789");
    EXPECT_FALSE(win32::ReadFileRange(blob, 8, 3, bytes));
    EXPECT_FALSE(win32::ReadFileRange(blob, UINT64_MAX, 2, bytes));
    EXPECT_FALSE(win32::ReadFileRange(blob, 2, UINT64_MAX, bytes));
    EXPECT_FALSE(win32::ReadFile(m_temp.WindowsPath(), bytes));  // a folder
    EXPECT_EQ(win32::GetFileSize(blob), 10u);
    EXPECT_FALSE(win32::GetFileSize(blob + "x").has_value());
}

TEST_F(FilesTest, CopyMoveAppendAndDelete) {
    const std::string folder = m_temp.WindowsPath();
    ASSERT_TRUE(win32::AppendToFile(folder + "log.txt", "a"));
    ASSERT_TRUE(win32::AppendToFile(folder + "LOG.TXT", "b"));
    EXPECT_EQ(ReadFileText(m_temp.Path() / "log.txt"), "ab");

    m_temp.Write("copy.txt", "other");
    EXPECT_FALSE(win32::CopyFile(folder + "log.txt", folder + "copy.txt", true));
    ASSERT_TRUE(win32::CopyFile(folder + "log.txt", folder + "copy.txt", false));
    EXPECT_EQ(ReadFileText(m_temp.Path() / "copy.txt"), "ab");

    ASSERT_TRUE(win32::MoveFile(folder + "copy.txt", folder + "Log.Txt"));
    EXPECT_FALSE(win32::FileExists(folder + "copy.txt"));
    EXPECT_EQ(FolderListing(m_temp.Path()), std::vector<std::string>{"log.txt"});

    ASSERT_TRUE(win32::CreateDirectories(folder + "a\\b\\c"));
    EXPECT_FALSE(win32::RemoveDirectory(folder + "a"));
    EXPECT_FALSE(win32::DeleteFile(folder + "a\\b\\c"));
    EXPECT_TRUE(win32::RemoveDirectory(folder + "A\\B\\C"));
    EXPECT_TRUE(win32::DeleteFile(folder + "LOG.txt"));
    EXPECT_FALSE(win32::DeleteFile(folder + "LOG.txt"));
}

TEST_F(FilesTest, FolderTreesAreCopiedOverAndRemoved) {
    m_temp.Write("Source/ZumboCave.exe", "program");
    m_temp.Write("Source/Scenes/Intro.lbm", "scene");
    fs::create_directories(m_temp.Path() / "Source/Empty");
    m_temp.Write("Target/ZumboCave.exe", "old program");
    const std::string folder = m_temp.WindowsPath();

    ASSERT_TRUE(win32::CopyDirectoryTree(folder + "source", folder + "TARGET"));
    EXPECT_EQ(ReadFileText(m_temp.Path() / "Target/ZumboCave.exe"), "program");
    EXPECT_EQ(ReadFileText(m_temp.Path() / "Target/Scenes/Intro.lbm"), "scene");
    EXPECT_TRUE(fs::is_directory(m_temp.Path() / "Target/Empty"));
    ASSERT_TRUE(win32::CopyDirectoryTree(folder + "source", folder + "New\\Deeper"));
    EXPECT_EQ(ReadFileText(m_temp.Path() / "New/Deeper/Scenes/Intro.lbm"), "scene");
    EXPECT_FALSE(win32::CopyDirectoryTree(folder + "source", folder + "Source\\Scenes\\Copy"));
    EXPECT_FALSE(fs::exists(m_temp.Path() / "Source/Scenes/Copy"));

    EXPECT_FALSE(win32::RemoveDirectoryTree(folder + "source\\ZumboCave.exe"));
    EXPECT_FALSE(win32::RemoveDirectoryTree(folder + "missing"));
    ASSERT_TRUE(win32::RemoveDirectoryTree(folder + "TARGET"));
    EXPECT_FALSE(fs::exists(m_temp.Path() / "Target"));
    EXPECT_TRUE(fs::exists(m_temp.Path() / "Source/Scenes/Intro.lbm"));
}

// Only folders inside the test's own drive C and home are asked for, so a broken guard
// cannot reach real files.
TEST_F(FilesTest, TreeRemovalRefusesSystemAndHomeFolders) {
    m_temp.Write("home/me/keep", "");
    ScopedEnvironmentVariable home("HOME", (m_temp.Path() / "home/me").string());
    for (const std::string& kept :
         {std::string("C:\\"), std::string("C:\\Windows"), std::string("c:\\program files\\"),
          m_temp.WindowsPath() + "home", m_temp.WindowsPath() + "home\\me\\",
          m_temp.WindowsPath() + "home\\me\\.."}) {
        EXPECT_FALSE(win32::RemoveDirectoryTree(kept)) << kept;
    }
    EXPECT_TRUE(fs::exists(m_temp.Path() / "home/me/keep"));
    EXPECT_TRUE(fs::is_directory(m_temp.Path() / "drive_c/Windows/System32"));
}

TEST_F(FilesTest, ShortPathsAreTheFullPathsOfExistingFiles) {
    m_temp.Write("Zumbo Cave.scr", "");
    EXPECT_EQ(win32::GetShortPathName(m_temp.WindowsPath() + "zumbo cave.SCR"),
              m_temp.WindowsPath() + "zumbo cave.SCR");
    EXPECT_EQ(win32::GetShortPathName(m_temp.WindowsPath() + "missing.scr"), "");
}

}  // namespace
