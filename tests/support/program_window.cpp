#include "tests/support/program_window.h"

#include <signal.h>
#include <sys/wait.h>

#include "tests/support/xdotool.h"

namespace zumbo::test {

ProgramWindow::ProgramWindow(const ProgramFolder& folder, int width, int height)
    : m_folder(folder), m_width(width), m_height(height) {}

ProgramWindow::~ProgramWindow() {
    if (m_pid > 0) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
}

::testing::AssertionResult ProgramWindow::Start(const std::vector<std::string>& arguments,
                                                const std::map<std::string, std::string>& environment) {
    if (!m_screen.Valid()) {
        return ::testing::AssertionFailure() << "no display";
    }
    // The pointer waits outside the window, so that it enters the window only when moved.
    if (!Xdotool("mousemove 5000 5000")) {
        return ::testing::AssertionFailure() << "xdotool cannot move the pointer";
    }
    m_output = m_folder.Path() / "program-output.txt";
    m_pid = m_folder.Start(arguments, environment, m_output);
    const std::string window = XdotoolAnswer("search --sync --onlyvisible --pid " + std::to_string(m_pid));
    if (window.empty()) {
        return ::testing::AssertionFailure() << "no window of the program";
    }
    m_window = std::stoul(window);
    const auto size = m_screen.WindowSize(m_window);
    if (size != std::make_pair(m_width, m_height)) {
        return ::testing::AssertionFailure() << "the window is not " << m_width << " x " << m_height;
    }
    if (!Xdotool("windowfocus --sync " + std::to_string(m_window))) {
        return ::testing::AssertionFailure() << "the window takes no focus";
    }
    return ::testing::AssertionSuccess();
}

std::vector<std::uint32_t> ProgramWindow::Pixels() const {
    std::vector<std::uint32_t> pixels = m_screen.Pixels(m_window, m_width, m_height);
    if (pixels.size() != std::size_t(m_width) * std::size_t(m_height)) {
        pixels.clear();
    }
    return pixels;
}

std::string ProgramWindow::Point(int x, int y) const {
    return std::to_string(m_window) + " " + std::to_string(x) + " " + std::to_string(y);
}

RunResult ProgramWindow::Close() {
    kill(m_pid, SIGTERM);
    const RunResult result = WaitForProgram(m_pid, m_output, 60);
    m_pid = 0;
    return result;
}

std::string LogText(const ProgramFolder& folder) {
    std::string text;
    for (const std::string& line : folder.LogLines()) {
        text += line + "\n";
    }
    return text;
}

}  // namespace zumbo::test
