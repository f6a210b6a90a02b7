#include "tests/scr/x11_test_window.h"

#include <X11/Xutil.h>

#include <thread>

namespace zumbo::test {

X11TestWindow::X11TestWindow(int width, int height, std::uint32_t background)
    : m_width(width), m_height(height) {
    if (!m_screen.Valid()) {
        return;
    }
    Display* const display = m_screen.Display();
    const int screen = DefaultScreen(display);
    // The default visual is 24-bit TrueColor on the test server: the colour is the pixel.
    m_window =
        XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0, 0, background);
    XSelectInput(display, m_window, ExposureMask | StructureNotifyMask);
    XMapWindow(display, m_window);
    for (XEvent event;;) {
        XNextEvent(display, &event);
        if (event.type == Expose) {
            break;
        }
    }
    XSync(display, False);
}

X11TestWindow::~X11TestWindow() {
    Destroy();
}

void X11TestWindow::Destroy() {
    if (m_window != None) {
        XDestroyWindow(m_screen.Display(), m_window);
        XSync(m_screen.Display(), False);
        m_window = None;
    }
}

std::vector<std::uint32_t> X11TestWindow::Pixels() const {
    return m_screen.Pixels(m_window, m_width, m_height);
}

bool X11TestWindow::WaitForPixels(const std::function<bool(const std::vector<std::uint32_t>&)>& done,
                                  std::chrono::seconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done(Pixels())) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done(Pixels());
}

void X11TestWindow::Resize(int width, int height) {
    m_width = width;
    m_height = height;
    XResizeWindow(m_screen.Display(), m_window, width, height);
    XSync(m_screen.Display(), False);
}

std::size_t X11TestWindow::ChildCount() const {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(m_screen.Display(), m_window, &root, &parent, &children, &count)) {
        return 0;
    }
    if (children) {
        XFree(children);
    }
    return count;
}

}  // namespace zumbo::test
