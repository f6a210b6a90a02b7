#include "tests/scr/x11_test_window.h"

#include <X11/Xutil.h>

#include <cstdlib>
#include <thread>

namespace zumbo::test {

namespace {

std::uint32_t ChannelOf(unsigned long pixel, unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return mask ? std::uint32_t(((pixel >> shift) & mask) * 255 / mask) : 0;
}

}  // namespace

X11TestWindow::X11TestWindow(int width, int height, std::uint32_t background)
    : m_width(width), m_height(height) {
    // A busy server can turn a connection away for a moment.
    for (int attempt = 0; attempt < 8 && !m_display && std::getenv("DISPLAY"); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(attempt * 50));
        m_display = XOpenDisplay(nullptr);
    }
    if (!m_display) {
        return;
    }
    const int screen = DefaultScreen(m_display);
    // The default visual is 24-bit TrueColor on the test server: the colour is the pixel.
    m_window =
        XCreateSimpleWindow(m_display, RootWindow(m_display, screen), 0, 0, width, height, 0, 0, background);
    XSelectInput(m_display, m_window, ExposureMask | StructureNotifyMask);
    XMapWindow(m_display, m_window);
    for (XEvent event;;) {
        XNextEvent(m_display, &event);
        if (event.type == Expose) {
            break;
        }
    }
    XSync(m_display, False);
}

X11TestWindow::~X11TestWindow() {
    Destroy();
    if (m_display) {
        XCloseDisplay(m_display);
    }
}

void X11TestWindow::Destroy() {
    if (m_window != None) {
        XDestroyWindow(m_display, m_window);
        XSync(m_display, False);
        m_window = None;
    }
}

std::vector<std::uint32_t> X11TestWindow::Pixels() const {
    std::vector<std::uint32_t> pixels;
    XImage* image = XGetImage(m_display, m_window, 0, 0, m_width, m_height, AllPlanes, ZPixmap);
    if (!image) {
        return pixels;
    }
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            pixels.push_back(ChannelOf(pixel, image->red_mask) << 16 |
                             ChannelOf(pixel, image->green_mask) << 8 | ChannelOf(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return pixels;
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
    XResizeWindow(m_display, m_window, width, height);
    XSync(m_display, False);
}

std::size_t X11TestWindow::ChildCount() const {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(m_display, m_window, &root, &parent, &children, &count)) {
        return 0;
    }
    if (children) {
        XFree(children);
    }
    return count;
}

}  // namespace zumbo::test
