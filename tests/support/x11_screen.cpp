#include "tests/support/x11_screen.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/x11/x11_display.h"

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

X11Screen::X11Screen() {
    // A busy server can turn a connection away for a moment.
    for (int attempt = 0; attempt < 8 && !m_display && std::getenv("DISPLAY"); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(attempt * 50));
        m_display = XOpenDisplay(nullptr);
    }
}

X11Screen::~X11Screen() {
    if (m_display) {
        XCloseDisplay(m_display);
    }
}

std::optional<std::pair<int, int>> X11Screen::WindowSize(unsigned long window) const {
    if (!m_display) {
        return std::nullopt;
    }
    // A window that went away is an error answer, not the end of the test program.
    x11::TrappedErrors errors(m_display);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(m_display, window, &attributes) || errors.Failed()) {
        return std::nullopt;
    }
    return std::make_pair(attributes.width, attributes.height);
}

std::vector<std::uint32_t> X11Screen::Pixels(unsigned long window, int width, int height) const {
    std::vector<std::uint32_t> pixels;
    if (!m_display) {
        return pixels;
    }
    x11::TrappedErrors errors(m_display);
    XImage* image = XGetImage(m_display, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image) {
        return pixels;
    }
    pixels.reserve(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            pixels.push_back(ChannelOf(pixel, image->red_mask) << 16 |
                             ChannelOf(pixel, image->green_mask) << 8 | ChannelOf(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    return pixels;
}

}  // namespace zumbo::test
