#include "platform/win32/window_system.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace win32 {

// The only cursor shape there is: the system's arrow.
struct HCURSOR__ {};

namespace {
bool HeadlessRequested() {
    const char* value = std::getenv("ZUMBO_HEADLESS");
    return value && std::strcmp(value, "1") == 0;
}
}  // namespace

WindowSystem& WindowSystem::Get() {
    static WindowSystem instance;
    return instance;
}

WindowBackend& WindowSystem::Backend() {
    if (!m_backend) {
        m_backend = ChooseBackend();
    } else if (Windows().empty()) {
        const bool wantHeadless = HeadlessRequested() || m_sdlUnavailable;
        if (wantHeadless != m_backend->IsHeadless()) {
            m_backend = ChooseBackend();
        }
    }
    return *m_backend;
}

std::unique_ptr<WindowBackend> WindowSystem::ChooseBackend() {
    if (!HeadlessRequested() && !m_sdlUnavailable) {
        if (auto sdl = MakeSdlBackend()) {
            return sdl;
        }
        m_sdlUnavailable = true;
    }
    return MakeHeadlessBackend();
}

bool WindowSystem::Owns(HWND window) const {
    std::lock_guard lock(m_windowsMutex);
    return window && std::find(m_windows.begin(), m_windows.end(), window) != m_windows.end();
}

void WindowSystem::Add(HWND window) {
    std::lock_guard lock(m_windowsMutex);
    m_windows.push_back(window);
}

void WindowSystem::Remove(HWND window) {
    std::lock_guard lock(m_windowsMutex);
    std::erase(m_windows, window);
}

std::vector<HWND> WindowSystem::Windows() const {
    std::lock_guard lock(m_windowsMutex);
    return m_windows;
}

std::optional<std::uint64_t> WindowSystem::ClaimForeignWindow() {
    if (!m_foreignWindow || m_foreignWindowClaimed) {
        return std::nullopt;
    }
    m_foreignWindowClaimed = true;
    return m_foreignWindow;
}

int WindowSystem::ChangeCursorCount(bool show) {
    m_cursorCount += show ? 1 : -1;
    ShowOrHideCursor();
    return m_cursorCount;
}

HCURSOR WindowSystem::ChangeCursorShape(HCURSOR shape) {
    const HCURSOR previous = m_cursorShape;
    m_cursorShape = shape;
    if ((previous == nullptr) != (shape == nullptr)) {
        ShowOrHideCursor();
    }
    return previous;
}

HCURSOR WindowSystem::ArrowCursor() {
    static HCURSOR__ arrow;
    return &arrow;
}

void WindowSystem::ShowOrHideCursor() {
    Backend().SetCursorVisible(m_cursorCount >= 0 && m_cursorShape);
}

}  // namespace win32
