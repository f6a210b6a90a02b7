#include "platform/x11/x11_display.h"

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/win32/files.h"

namespace x11 {

namespace {

std::atomic<int>& ErrorCount() {
    static std::atomic<int> count{0};
    return count;
}

int CountError(Display*, XErrorEvent*) {
    ++ErrorCount();
    return 0;
}

}  // namespace

DisplayConnection::DisplayConnection() {
    if (win32::GetEnvironmentVariable("ZUMBO_HEADLESS") == "1" ||
        win32::GetEnvironmentVariable("DISPLAY").empty()) {
        return;
    }
    // A busy server can turn a connection away for a moment.
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts && !m_display; ++attempt) {
        if (attempt > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20 << attempt));
        }
        m_display = XOpenDisplay(nullptr);
    }
}

DisplayConnection::~DisplayConnection() {
    if (m_display) {
        XCloseDisplay(m_display);
    }
}

TrappedErrors::TrappedErrors(Display* display) : m_display(display) {
    XSync(m_display, False);
    ErrorCount() = 0;
    m_previous = XSetErrorHandler(CountError);
}

TrappedErrors::~TrappedErrors() {
    XSync(m_display, False);
    XSetErrorHandler(m_previous);
}

bool TrappedErrors::Failed() {
    XSync(m_display, False);
    return ErrorCount() != 0;
}

}  // namespace x11
