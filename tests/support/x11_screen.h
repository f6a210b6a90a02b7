#pragma once
// A connection to the X server (Xvfb in CI) for reading back what windows show. Xlib's header
// stays out, since its macros clash with the engine's names.

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

struct _XDisplay;

namespace zumbo::test {

class X11Screen {
public:
    // Check Valid(): without a display there is no connection.
    X11Screen();
    ~X11Screen();
    X11Screen(const X11Screen&) = delete;
    X11Screen& operator=(const X11Screen&) = delete;

    bool Valid() const { return m_display != nullptr; }
    _XDisplay* Display() const { return m_display; }
    // Width and height of the window; nothing when it does not exist (any more).
    std::optional<std::pair<int, int>> WindowSize(unsigned long window) const;
    // What the screen shows in the window's top-left width x height, 0xRRGGBB row by row;
    // empty when it cannot be read.
    std::vector<std::uint32_t> Pixels(unsigned long window, int width, int height) const;

private:
    _XDisplay* m_display = nullptr;
};

}  // namespace zumbo::test
