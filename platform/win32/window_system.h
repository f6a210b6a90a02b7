#pragma once
// The process-wide window state that Win32 keeps for a program: its windows, its message
// queue, its key states and the back end that shows the windows.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/win32/key_state.h"
#include "platform/win32/message_queue.h"
#include "platform/win32/window_backend.h"

namespace win32 {

class WindowSystem {
public:
    static WindowSystem& Get();

    // The back end is chosen again whenever no window exists, so ZUMBO_HEADLESS takes effect
    // for the next window.
    WindowBackend& Backend();
    MessageQueue& Queue() { return m_queue; }
    KeyStateTable& Keys() { return m_keys; }

    // Any thread may ask, since any thread may post.
    bool Owns(HWND window) const;
    void Add(HWND window);
    void Remove(HWND window);
    std::vector<HWND> Windows() const;

    // The Win32 display counter: the cursor shows while it is not negative.
    int ChangeCursorCount(bool show);
    // The cursor shape; none hides the cursor as well.
    HCURSOR ChangeCursorShape(HCURSOR shape);
    static HCURSOR ArrowCursor();

    // A window of another program that the first top-level window stands for.
    void SetForeignWindow(std::uint64_t window) { m_foreignWindow = window; }
    std::optional<std::uint64_t> ForeignWindow() const { return m_foreignWindow; }
    // The foreign window for a window about to be created: only the first one gets it.
    std::optional<std::uint64_t> ClaimForeignWindow();

private:
    WindowSystem() = default;
    std::unique_ptr<WindowBackend> ChooseBackend();

    std::unique_ptr<WindowBackend> m_backend;
    bool m_sdlUnavailable = false;
    MessageQueue m_queue;
    KeyStateTable m_keys;
    mutable std::mutex m_windowsMutex;
    std::vector<HWND> m_windows;
    void ShowOrHideCursor();

    std::optional<std::uint64_t> m_foreignWindow;
    bool m_foreignWindowClaimed = false;

    int m_cursorCount = 0;
    HCURSOR m_cursorShape = ArrowCursor();
};

}  // namespace win32
