// Under a display: ZumboCave.scr as a screen saver daemon's hack makes the main program draw
// into a window that the test made, until the test ends it.

#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>

#include "platform/win32/registry.h"
#include "tests/scr/child_process.h"
#include "tests/scr/host_test_support.h"
#include "tests/scr/x11_test_window.h"
#include "tests/support/file_text.h"
#include "tests/support/program_run.h"

namespace {

namespace fs = std::filesystem;
using namespace zumbo::test;
using namespace std::chrono_literals;

constexpr std::uint32_t kMagenta = 0xFF00FF;

struct HackLaunch {
    const char* name;
    bool byEnvironment;  // "-root" with the daemon's variable, else "-window-id"
};

class HackModeTest : public ::testing::TestWithParam<HackLaunch> {};

TEST_P(HackModeTest, MainProgramDrawsIntoTheGivenWindowUntilEnded) {
    X11TestWindow window(240, 180, kMagenta);
    if (!window.Valid()) {
        GTEST_SKIP() << "no display";
    }
    TemporaryMachine machine;
    for (const char* program : {"ZumboCave.scr", "ZumboCave.exe"}) {
        fs::copy_file(fs::path(ZUMBO_BIN_DIR) / program, machine.ProgramFolder() / program,
                      fs::copy_options::overwrite_existing);
    }
    const std::string id = std::to_string(window.Id());
    std::map<std::string, std::string> environment{{"ZUMBO_HEADLESS", "0"}};
    std::vector<std::string> arguments{"-volume", "35"};
    if (GetParam().byEnvironment) {
        arguments.push_back("-root");
        environment["XSCREENSAVER_WINDOW"] = id;
    } else {
        arguments.insert(arguments.end(), {"-window-id", id});
    }
    ChildProcess hack(machine.ProgramFolder() / "ZumboCave.scr", arguments, environment,
                      machine.ProgramFolder() / "output.txt");
    ASSERT_TRUE(hack.Started());

    const bool drawn = window.WaitForPixels(
        [](const auto& pixels) {
            return !pixels.empty() && std::none_of(pixels.begin(), pixels.end(),
                                                   [](std::uint32_t pixel) { return pixel == kMagenta; });
        },
        60s);
    EXPECT_TRUE(drawn) << ReadFileText(machine.ProgramFolder() / "output.txt");
    EXPECT_FALSE(hack.WaitForExit(0s)) << "the main program ended by itself";

    hack.Signal(SIGTERM);
    EXPECT_TRUE(hack.WaitForExit(30s)) << "the main program outlived the daemon's signal";
    // The signal ends the program the normal way, through its shutdown.
    EXPECT_NE(ReadFileText(machine.ProgramFolder() / "DebugLogs/Debug0000.log").find("Program Finished"),
              std::string::npos);
    // The borrowed window is no setting of the user's; the daemon's volume is.
    const std::string registry = ReadFileText(machine.RegistryFile());
    EXPECT_EQ(registry.find("\"FullScreen\""), std::string::npos) << registry;
    EXPECT_NE(registry.find("\"MusicVolume\"=dword:00000023"), std::string::npos) << registry;
    EXPECT_TRUE(window.Valid());
}

INSTANTIATE_TEST_SUITE_P(Ways, HackModeTest,
                         ::testing::Values(HackLaunch{"WindowId", false}, HackLaunch{"DaemonVariable", true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST(MainProgramWindowOption, MissingOrGarbageWindowEndsWithAClearLine) {
    X11TestWindow probe(4, 4, 0);
    if (!probe.Valid()) {
        GTEST_SKIP() << "no display";
    }
    const std::string gone = std::to_string(probe.Id());
    probe.Destroy();
    TemporaryMachine machine;
    fs::copy_file(fs::path(ZUMBO_BIN_DIR) / "ZumboCave.exe", machine.ProgramFolder() / "ZumboCave.exe",
                  fs::copy_options::overwrite_existing);
    for (const auto& [arguments, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"-window-id", gone}, "there is no X11 window " + gone},
             {{"/normalinput", "-window-id", "0xnope"}, "needs an X11 window id"},
             {{"-window-id"}, "needs an X11 window id"}}) {
        const RunResult result = RunProgram(machine.ProgramFolder() / "ZumboCave.exe", arguments,
                                            {{"ZUMBO_HEADLESS", "0"}}, machine.ProgramFolder(), 60);
        EXPECT_EQ(result.exitCode, 2) << result.output;
        EXPECT_NE(result.output.find(message), std::string::npos) << result.output;
    }
    // Refused before start-up: no debug log, no registry values.
    EXPECT_FALSE(fs::exists(machine.ProgramFolder() / "DebugLogs"));
}

}  // namespace
