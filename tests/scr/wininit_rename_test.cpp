#include "scr/wininit_rename.h"

#include <gtest/gtest.h>

#include "platform/win32/files.h"
#include "tests/support/file_text.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace zumbo::test;

constexpr const char* kLine = "NUL=C:\\T\\x.exe\r\n";

TEST(WininitRename, SectionIsAppendedWhenMissing) {
    EXPECT_EQ(AddRenameLine("", kLine), std::string("[Rename]\r\n") + kLine);
    EXPECT_EQ(AddRenameLine("[Other]\r\na=b\r\n", kLine),
              std::string("[Other]\r\na=b\r\n[Rename]\r\n") + kLine);
    // An unterminated last line is ended first, so the header starts a line of its own.
    EXPECT_EQ(AddRenameLine("[Other]\r\na=b", kLine), std::string("[Other]\r\na=b\r\n[Rename]\r\n") + kLine);
}

TEST(WininitRename, LineGoesToTheEndOfTheExistingSection) {
    EXPECT_EQ(AddRenameLine("[Rename]\r\nNUL=old\r\n", kLine),
              std::string("[Rename]\r\nNUL=old\r\n") + kLine);
    EXPECT_EQ(AddRenameLine("[rename]\r\nNUL=old\r\n[Next]\r\nk=v\r\n", kLine),
              std::string("[rename]\r\nNUL=old\r\n") + kLine + "[Next]\r\nk=v\r\n");
    EXPECT_EQ(AddRenameLine("x=1\r\n[RENAME]\r\n[Next]\r\n", kLine),
              std::string("x=1\r\n[RENAME]\r\n") + kLine + "[Next]\r\n");
    EXPECT_EQ(AddRenameLine("[Rename]\r\nNUL=old", kLine), std::string("[Rename]\r\nNUL=old\r\n") + kLine);
}

TEST(WininitRename, HeaderNeedsItsLineEnd) {
    // "[Renamed]" and a header without "\r\n" are no "[Rename]\r\n" section.
    EXPECT_EQ(AddRenameLine("[Renamed]\r\n", kLine), std::string("[Renamed]\r\n[Rename]\r\n") + kLine);
    EXPECT_EQ(AddRenameLine("[Rename]\n", kLine), std::string("[Rename]\n[Rename]\r\n") + kLine);
}

TEST(WininitRename, ScheduleWritesTheShortPathIntoTheWindowsFolder) {
    TempDir driveC;
    ScopedEnvironmentVariable drive("ZUMBO_DRIVE_C", driveC.Path().string());
    driveC.Write("Windows/Temp/Copy.exe", "bytes");
    driveC.Write("Windows/wininit.ini", "[Next]\r\nk=v\r\n");
    ASSERT_TRUE(ScheduleDeleteAtRestart("C:\\Windows\\Temp\\Copy.exe"));
    EXPECT_EQ(ReadFileText(driveC.Path() / "Windows/wininit.ini"),
              "[Next]\r\nk=v\r\n[Rename]\r\nNUL=C:\\Windows\\Temp\\Copy.exe\r\n");
    // A file that does not exist has no short path: nothing is written.
    EXPECT_FALSE(ScheduleDeleteAtRestart("C:\\Windows\\Temp\\Missing.exe"));
    EXPECT_EQ(ReadFileText(driveC.Path() / "Windows/wininit.ini"),
              "[Next]\r\nk=v\r\n[Rename]\r\nNUL=C:\\Windows\\Temp\\Copy.exe\r\n");
}

}  // namespace
