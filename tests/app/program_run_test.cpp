// Runs the real ZumboCave.exe in a temporary program folder.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>

#include "tests/support/program_run.h"

namespace {

using zumbo::test::ProgramFolder;

const std::map<std::string, std::string> kHeadless = {
    {"ZUMBO_HEADLESS", "1"}, {"ZUMBO_FAST_CLOCK", "1"}, {"ZUMBO_MAX_TICKS", "120"}};

std::string Entry(const std::string& line) {
    return line.size() > 21 ? line.substr(21) : std::string();
}

bool HasDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

// The contents of the registry files that were set aside as unreadable.
std::vector<std::string> KeptAsideRegistries(const ProgramFolder& folder) {
    std::vector<std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        if (entry.path().filename().string().rfind("registry.reg.bad-", 0) == 0) {
            std::ifstream in(entry.path(), std::ios::binary);
            contents.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
    }
    return contents;
}

TEST(ProgramRunTest, HeadlessRunLogsStartAndFinishAndStoresTheSettings) {
    ProgramFolder folder;
    const auto result = folder.Run({}, kHeadless);
    ASSERT_EQ(result.exitCode, 0) << result.output;

    const auto lines = folder.LogLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(Entry(lines.front()), "=========== Program Started ============");
    EXPECT_EQ(Entry(lines.back()), "=========== Program Finished ===========");
    const std::regex format(R"(\d{4} \(\d{2}:\d{2}:\d{2}\.\d{3}\): .*)");
    for (const auto& line : lines) {
        EXPECT_TRUE(std::regex_match(line, format)) << line;
    }

    const std::string registry = folder.RegistryText();
    for (const char* name :
         {"Width", "Height", "FullScreenWidth", "FullScreenHeight", "FullScreenRefreshRate", "FullScreen"}) {
        EXPECT_TRUE(
            std::regex_search(registry, std::regex(std::string("\"") + name + "\"=dword:[0-9a-f]{8}")))
            << name << "\n"
            << registry;
    }
    // The key's default value holds the program's own path (backslashes escaped in the file).
    std::string expected = "@=\"Z:";
    for (char c : (folder.Path() / "ZumboCave.exe").string()) {
        expected += c == '/' ? std::string("\\\\") : std::string(1, c);
    }
    EXPECT_NE(registry.find(expected + "\""), std::string::npos) << registry;
}

TEST(ProgramRunTest, GarbageRegistryFileIsKeptAsideAndTheRunSucceeds) {
    ProgramFolder folder;
    const std::string garbage =
        "\x01\x02 this is not a registry \xff\n[HKEY_CURRENT_USER\\broken\n\"x\"=dword:zz\n";
    folder.WriteFile("registry.reg", garbage);
    const auto result = folder.Run({}, kHeadless);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(KeptAsideRegistries(folder), std::vector<std::string>{garbage});
    EXPECT_NE(folder.RegistryText().find("\"FullScreen\"=dword:"), std::string::npos);
}

TEST(ProgramRunTest, TruncatedRegistryFileIsKeptAsideAndTheRunSucceeds) {
    ProgramFolder folder;
    const std::string truncated =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\Kervala Studio\\Zumbo ScreenSaver\\1.0]\n"
        "\"Width\"=dword:0000";
    folder.WriteFile("registry.reg", truncated);
    const auto result = folder.Run({}, kHeadless);
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(KeptAsideRegistries(folder), std::vector<std::string>{truncated});
    EXPECT_NE(folder.RegistryText().find("\"Width\"=dword:"), std::string::npos);
}

TEST(ProgramRunTest, StoredWindowedSettingStartsWindowedAndIsWrittenBack) {
    if (!HasDisplay()) {
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    ProgramFolder folder;
    folder.WriteScreenSaverSettings(
        "\"FullScreen\"=dword:00000000\n\"Width\"=dword:00000140\n\"Height\"=dword:000000f0\n");
    const auto result = folder.Run({}, {{"ZUMBO_FAST_CLOCK", "1"}, {"ZUMBO_MAX_TICKS", "30"}});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    const std::string registry = folder.RegistryText();
    EXPECT_NE(registry.find("\"FullScreen\"=dword:00000000"), std::string::npos) << registry;
    EXPECT_NE(registry.find("\"Width\"=dword:00000140"), std::string::npos) << registry;
    EXPECT_NE(registry.find("\"Height\"=dword:000000f0"), std::string::npos) << registry;
}

TEST(ProgramRunTest, MissingFullScreenValueStartsFullScreen) {
    if (!HasDisplay()) {
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    ProgramFolder folder;
    const auto result = folder.Run({}, {{"ZUMBO_FAST_CLOCK", "1"}, {"ZUMBO_MAX_TICKS", "30"}});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_NE(folder.RegistryText().find("\"FullScreen\"=dword:00000001"), std::string::npos);
}

TEST(ProgramRunTest, ScreenshotIsWrittenAsPng) {
    if (!HasDisplay()) {
        GTEST_SKIP() << "needs a display (run under xvfb-run)";
    }
    ProgramFolder folder;
    const auto shot = folder.Path() / "shot.png";
    const auto result = folder.Run(
        {}, {{"ZUMBO_FAST_CLOCK", "1"}, {"ZUMBO_MAX_TICKS", "10"}, {"ZUMBO_SCREENSHOT", shot.string()}});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    std::ifstream in(shot, std::ios::binary);
    std::string header(8, '\0');
    in.read(header.data(), 8);
    EXPECT_EQ(header, std::string("\x89PNG\r\n\x1a\n", 8));
}

}  // namespace
