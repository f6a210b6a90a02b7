#include "platform/x11/preview_window.h"

#include <X11/Xutil.h>

#include <algorithm>

#include "platform/x11/x11_display.h"

namespace x11 {

namespace {

int ShiftOf(unsigned long mask) {
    int shift = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// Scales an 8-bit channel into the bits of a visual's channel mask.
unsigned long Channel(std::uint32_t value, unsigned long mask) {
    const int shift = ShiftOf(mask);
    const unsigned long bits = mask >> shift;
    return ((value * bits + 127) / 255) << shift;
}

class PreviewWindow {
public:
    PreviewWindow(Display* display, Window parent, const XWindowAttributes& parentAttributes,
                  const Picture& picture)
        : m_display(display),
          m_parent(parent),
          m_visual(parentAttributes.visual),
          m_depth(parentAttributes.depth),
          m_picture(picture) {
        m_width = std::max(1, parentAttributes.width);
        m_height = std::max(1, parentAttributes.height);
        const unsigned long black = BlackPixel(display, DefaultScreen(display));
        m_window = XCreateSimpleWindow(display, parent, 0, 0, m_width, m_height, 0, black, black);
    }

    void Show(const char* title) {
        XStoreName(m_display, m_window, title);
        XSelectInput(m_display, m_window, ExposureMask | StructureNotifyMask);
        XSelectInput(m_display, m_parent, StructureNotifyMask);
        XMapWindow(m_display, m_window);
        m_gc = XCreateGC(m_display, m_window, 0, nullptr);
    }

    // Handles events until the window is destroyed.
    void Run() {
        for (;;) {
            XEvent event;
            XNextEvent(m_display, &event);
            if (event.type == DestroyNotify && event.xdestroywindow.window == m_window) {
                return;
            }
            if (event.type == ConfigureNotify && event.xconfigure.window == m_parent) {
                XResizeWindow(m_display, m_window, std::max(1, event.xconfigure.width),
                              std::max(1, event.xconfigure.height));
            } else if (event.type == ConfigureNotify && event.xconfigure.window == m_window) {
                m_width = std::max(1, event.xconfigure.width);
                m_height = std::max(1, event.xconfigure.height);
                Paint();
            } else if (event.type == Expose && event.xexpose.count == 0) {
                Paint();
            }
        }
    }

    ~PreviewWindow() {
        if (m_gc) {
            XFreeGC(m_display, m_gc);
        }
    }

private:
    void Paint() {
        const std::vector<std::uint32_t> pixels = StretchPicture(m_picture, m_width, m_height);
        XImage* image =
            XCreateImage(m_display, m_visual, m_depth, ZPixmap, 0, nullptr, m_width, m_height, 32, 0);
        if (!image) {
            return;
        }
        std::vector<char> data(std::size_t(image->bytes_per_line) * m_height);
        image->data = data.data();
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                const std::uint32_t rgb = pixels[std::size_t(y) * m_width + x];
                XPutPixel(image, x, y,
                          Channel(rgb >> 16 & 0xFF, m_visual->red_mask) |
                              Channel(rgb >> 8 & 0xFF, m_visual->green_mask) |
                              Channel(rgb & 0xFF, m_visual->blue_mask));
            }
        }
        XPutImage(m_display, m_window, m_gc, image, 0, 0, 0, 0, m_width, m_height);
        XFlush(m_display);
        image->data = nullptr;  // the vector owns the pixels
        XDestroyImage(image);
    }

    Display* m_display;
    Window m_parent;
    Visual* m_visual;
    int m_depth;
    Picture m_picture;
    Window m_window = None;
    GC m_gc = nullptr;
    int m_width = 1;
    int m_height = 1;
};

}  // namespace

std::vector<std::uint32_t> StretchPicture(const Picture& picture, int width, int height) {
    std::vector<std::uint32_t> pixels(std::size_t(std::max(0, width)) * std::max(0, height));
    if (picture.width <= 0 || picture.height <= 0 ||
        picture.rgb.size() < std::size_t(picture.width) * picture.height * 3) {
        return pixels;
    }
    for (int y = 0; y < height; ++y) {
        const std::size_t sourceRow = std::size_t(std::int64_t(y) * picture.height / height);
        for (int x = 0; x < width; ++x) {
            const std::size_t sourceColumn = std::size_t(std::int64_t(x) * picture.width / width);
            const std::uint8_t* source = &picture.rgb[(sourceRow * picture.width + sourceColumn) * 3];
            pixels[std::size_t(y) * width + x] =
                std::uint32_t(source[0]) << 16 | std::uint32_t(source[1]) << 8 | source[2];
        }
    }
    return pixels;
}

bool RunPreviewWindow(std::uint64_t parent, const Picture& picture, const char* title) {
    const DisplayConnection display;
    if (!display) {
        return false;
    }
    // A parent that goes away while the preview draws must not end the program.
    TrappedErrors errors(display.Get());
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display.Get(), Window(parent), &attributes) == 0 || errors.Failed() ||
        attributes.c_class != InputOutput) {
        return false;
    }
    PreviewWindow preview(display.Get(), Window(parent), attributes, picture);
    preview.Show(title);
    preview.Run();
    return true;
}

}  // namespace x11
