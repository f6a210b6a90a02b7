#include "platform/win32/profile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/win32/profile_document.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace win32;
using zumbo::test::ReadFileText;
using zumbo::test::ScopedEnvironmentVariable;
using zumbo::test::TempDir;

class ProfileTest : public ::testing::Test {
protected:
    TempDir m_temp;
    ScopedEnvironmentVariable m_driveC{"ZUMBO_DRIVE_C", (m_temp.Path() / "c").string()};
};

TEST_F(ProfileTest, BareNamesLiveInTheWindowsFolderAndStartEmpty) {
    EXPECT_EQ(GetPrivateProfileString("boot", "SCRNSAVE.EXE", "none", "system.ini"), "none");
    EXPECT_FALSE(fs::exists(m_temp.Path() / "c/Windows/system.ini"));
    ASSERT_TRUE(WritePrivateProfileString("boot", "SCRNSAVE.EXE", "C:\\WINDOWS\\ZUMBOC~1.SCR", "system.ini"));
    EXPECT_EQ(ReadFileText(m_temp.Path() / "c/Windows/system.ini"),
              "[boot]\r\nSCRNSAVE.EXE=C:\\WINDOWS\\ZUMBOC~1.SCR\r\n");
    EXPECT_EQ(GetPrivateProfileString("BOOT", "scrnsave.exe", "", "C:\\windows\\SYSTEM.INI"),
              "C:\\WINDOWS\\ZUMBOC~1.SCR");
    EXPECT_EQ(fs::directory_iterator(m_temp.Path() / "c/Windows/Temp"), fs::directory_iterator());
}

TEST_F(ProfileTest, EditsKeepEverythingElseInPlace) {
    const auto file = m_temp.Write("settings.ini",
                                   "; settings\n[Boot]\nshell = explorer.exe\nSCRNSAVE.EXE=old.scr\n\n"
                                   "[Other]\nscrnsave.exe=elsewhere\n");
    const std::string path = m_temp.WindowsPath() + "SETTINGS.INI";
    ASSERT_TRUE(WritePrivateProfileString("boot", "ScrnSave.exe", "new.scr", path));
    ASSERT_TRUE(WritePrivateProfileString("BOOT", "added", "\"quoted value\"", path));
    EXPECT_EQ(ReadFileText(file),
              "; settings\n[Boot]\nshell = explorer.exe\nScrnSave.exe=new.scr\nadded=\"quoted value\"\n\n"
              "[Other]\nscrnsave.exe=elsewhere\n");
    EXPECT_EQ(GetPrivateProfileString("boot", "SHELL", "", path), "explorer.exe");
    EXPECT_EQ(GetPrivateProfileString("boot", "added", "", path), "quoted value");
    EXPECT_EQ(GetPrivateProfileString("other", "SCRNSAVE.EXE", "", path), "elsewhere");

    ASSERT_TRUE(DeletePrivateProfileKey("Boot", "shell", path));
    EXPECT_FALSE(DeletePrivateProfileKey("Boot", "shell", path));
    EXPECT_EQ(GetPrivateProfileString("boot", "shell", "gone", path), "gone");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_temp.Path()), fs::directory_iterator()), 1);
}

TEST(ProfileDocument, RefusesWhatOneLineCannotHold) {
    ProfileDocument document("[a]\r\nk=v\r\n");
    EXPECT_FALSE(document.Set("a", "k", "two\r\nlines"));
    EXPECT_FALSE(document.Set("a", "k=x", "v"));
    EXPECT_FALSE(document.Set("a]", "k", "v"));
    EXPECT_FALSE(document.Set("a", "[k", "v"));
    EXPECT_FALSE(document.Set("a", "  ", "v"));
    EXPECT_EQ(document.Text(), "[a]\r\nk=v\r\n");
    ASSERT_TRUE(document.Set("b", "k", ""));
    EXPECT_EQ(document.Get("B", "K"), "");
    EXPECT_EQ(document.Text(), "[a]\r\nk=v\r\n[b]\r\nk=\r\n");
}

TEST(ProfileDocument, OnlyTheFirstSectionAndKeyCount) {
    const ProfileDocument document("k=outside\n[s]\n;k=comment\nk=first\nk=second\n[s]\nk=third\n");
    EXPECT_EQ(document.Get("s", "k"), "first");
    EXPECT_FALSE(document.Get("", "k").has_value());
    EXPECT_FALSE(document.Get("t", "k").has_value());
}

}  // namespace
