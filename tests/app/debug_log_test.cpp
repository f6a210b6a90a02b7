#include "app/debug_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "engine/global_options.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<std::string> ReadLines(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class DebugLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        CGlobalOptions::Instance().ResetToDefaults();
        log.SetFolder(dir.WindowsPath() + "DebugLogs");
        std::filesystem::create_directories(dir.Path() / "DebugLogs");
    }
    std::filesystem::path LogFile(const char* name) const { return dir.Path() / "DebugLogs" / name; }

    zumbo::test::TempDir dir;
    CDebugLog& log = CDebugLog::Instance();
};

TEST_F(DebugLogTest, LinesCarryNumberTimeAndText) {
    log.Log("=========== Program Started ============");
    log.LogLevel(1, "CommandLine: %s", "/scene Menu.xml");
    const auto lines = ReadLines(LogFile("Debug0000.log"));
    ASSERT_EQ(lines.size(), 2u);
    const std::regex format(R"(\d{4} \(\d{2}:\d{2}:\d{2}\.\d{3}\): .*)");
    EXPECT_TRUE(std::regex_match(lines[0], format)) << lines[0];
    EXPECT_EQ(lines[0].substr(0, 5), "0001 ");
    EXPECT_EQ(lines[0].substr(21), "=========== Program Started ============");
    EXPECT_EQ(lines[1].substr(0, 5), "0002 ");
    EXPECT_EQ(lines[1].substr(21), "CommandLine: /scene Menu.xml");
}

TEST_F(DebugLogTest, Entry999StaysInFirstFileAnd1000StartsTheNext) {
    for (int i = 1; i <= 999; ++i) {
        log.Log("entry %d", i);
    }
    EXPECT_EQ(log.FileNumber(), 0);
    EXPECT_FALSE(std::filesystem::exists(LogFile("Debug0001.log")));
    log.Log("entry 1000");
    EXPECT_EQ(log.FileNumber(), 1);
    const auto first = ReadLines(LogFile("Debug0000.log"));
    const auto second = ReadLines(LogFile("Debug0001.log"));
    ASSERT_EQ(first.size(), 999u);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].substr(0, 5), "1000 ");
    EXPECT_EQ(second[0].substr(21), "entry 1000");
}

TEST_F(DebugLogTest, StartDeletesEveryPreviousLogIgnoringCase) {
    dir.Write("DebugLogs/Debug0000.log", "old");
    dir.Write("DebugLogs/DEBUG0007.LOG", "old");
    dir.Write("DebugLogs/debugger.txt", "kept");
    dir.Write("DebugLogs/notes.log", "kept");
    log.SetFolder(dir.WindowsPath() + "DebugLogs");
    EXPECT_FALSE(std::filesystem::exists(LogFile("Debug0000.log")));
    EXPECT_FALSE(std::filesystem::exists(LogFile("DEBUG0007.LOG")));
    EXPECT_TRUE(std::filesystem::exists(LogFile("debugger.txt")));
    EXPECT_TRUE(std::filesystem::exists(LogFile("notes.log")));
}

TEST_F(DebugLogTest, LevelFilterFollowsTheDebugInfoLevel) {
    CGlobalOptions::Instance().iDebugInfoLevel = 0;
    log.LogLevel(1, "level one");
    log.Log("plain");
    CGlobalOptions::Instance().iDebugInfoLevel = 3;
    log.LogLevel(3, "level three");
    log.LogLevel(4, "level four");
    const auto lines = ReadLines(LogFile("Debug0000.log"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(21), "plain");
    EXPECT_EQ(lines[1].substr(21), "level three");
    // Filtered entries do not count.
    EXPECT_EQ(log.LineCount(), 2);
}

TEST_F(DebugLogTest, LongMessagesAreCutTo1023Characters) {
    const std::string text(1500, 'x');
    log.Log("%s", text.c_str());
    const auto lines = ReadLines(LogFile("Debug0000.log"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(21), std::string(1023, 'x'));
}

TEST_F(DebugLogTest, UnwritableFolderLosesEntriesSilently) {
    log.SetFolder(dir.WindowsPath() + "Missing\\Deeper");
    log.Log("lost");
    EXPECT_EQ(log.LineCount(), 1);
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "Missing"));
}

}  // namespace
