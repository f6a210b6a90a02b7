#include "platform/x11/x11_windows.h"

#include <X11/Xatom.h>

#include <charconv>
#include <limits>

#include "platform/x11/x11_display.h"

namespace x11 {

std::optional<std::uint64_t> RootWindowId() {
    const DisplayConnection display;
    if (!display) {
        return std::nullopt;
    }
    return DefaultRootWindow(display.Get());
}

std::optional<std::uint64_t> ActiveWindowId() {
    const DisplayConnection display;
    if (!display) {
        return std::nullopt;
    }
    const Atom property = XInternAtom(display.Get(), "_NET_ACTIVE_WINDOW", True);
    if (property == None) {
        return std::nullopt;
    }
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    std::optional<std::uint64_t> active;
    if (XGetWindowProperty(display.Get(), DefaultRootWindow(display.Get()), property, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &remaining, &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1) {
        const auto window = *reinterpret_cast<const unsigned long*>(data);
        if (window != None) {
            active = window;
        }
    }
    if (data) {
        XFree(data);
    }
    return active;
}

bool WindowExists(std::uint64_t window) {
    const DisplayConnection display;
    if (!display) {
        return false;
    }
    TrappedErrors errors(display.Get());
    XWindowAttributes attributes;
    const Status status = XGetWindowAttributes(display.Get(), Window(window), &attributes);
    return !errors.Failed() && status != 0;
}

std::optional<std::uint64_t> ParseWindowId(std::string_view text) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value == 0 ||
        value > std::numeric_limits<std::uint32_t>::max()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace x11
