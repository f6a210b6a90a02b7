#pragma once
// A built program run windowed on the X display (Xvfb in CI): started from its program folder with
// the pointer parked outside, its window found and focused, read back pixel by pixel, closed like
// any window. Needs a display and xdotool.

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/program_run.h"
#include "tests/support/x11_screen.h"

namespace zumbo::test {

// X and the program run at their own pace: polls until the condition holds or patience runs out.
template <class Condition>
bool WaitFor(Condition condition, std::chrono::seconds patience = std::chrono::seconds(90)) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

class ProgramWindow {
public:
    // The window is expected to be width x height.
    ProgramWindow(const ProgramFolder& folder, int width, int height);
    // Kills the program when it still runs.
    ~ProgramWindow();
    ProgramWindow(const ProgramWindow&) = delete;
    ProgramWindow& operator=(const ProgramWindow&) = delete;

    // Starts the program with the arguments and variables, waits for its window of the expected
    // size and gives it the keyboard focus, which its devices need to read.
    ::testing::AssertionResult Start(const std::vector<std::string>& arguments,
                                     const std::map<std::string, std::string>& environment);
    // What the window shows, 0xRRGGBB row by row; empty when it cannot be read whole.
    std::vector<std::uint32_t> Pixels() const;
    // xdotool's words for a point in the window.
    std::string Point(int x, int y) const;
    // Asks the program to end as closing its window does, and waits for it.
    RunResult Close();

private:
    const ProgramFolder& m_folder;
    int m_width;
    int m_height;
    X11Screen m_screen;
    std::filesystem::path m_output;
    pid_t m_pid = 0;
    unsigned long m_window = 0;
};

// The program's debug log as one text.
std::string LogText(const ProgramFolder& folder);

}  // namespace zumbo::test
