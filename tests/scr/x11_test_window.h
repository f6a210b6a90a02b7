#pragma once
// Test windows on the X server (Xvfb in CI) that the host or the main program draws into,
// and their pixels read back.

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

#include "tests/support/x11_screen.h"

namespace zumbo::test {

class X11TestWindow {
public:
    // A mapped top-level window filled with background (0xRRGGBB). Check Valid(): without
    // a display there is none.
    X11TestWindow(int width, int height, std::uint32_t background);
    ~X11TestWindow();
    X11TestWindow(const X11TestWindow&) = delete;
    X11TestWindow& operator=(const X11TestWindow&) = delete;

    bool Valid() const { return m_window != None; }
    std::uint64_t Id() const { return m_window; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // What the screen shows in the window, 0xRRGGBB row by row (children included).
    std::vector<std::uint32_t> Pixels() const;
    // Polls the pixels until done(pixels) or the timeout; true when done.
    bool WaitForPixels(const std::function<bool(const std::vector<std::uint32_t>&)>& done,
                       std::chrono::seconds timeout) const;
    std::size_t ChildCount() const;
    void Resize(int width, int height);
    void Destroy();

private:
    X11Screen m_screen;
    Window m_window = None;
    int m_width;
    int m_height;
};

}  // namespace zumbo::test
