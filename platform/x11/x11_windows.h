#pragma once
// X11 windows that the host works with by id: the daemon's and the settings' windows, the
// root window and the active window.

#include <cstdint>
#include <optional>
#include <string_view>

namespace x11 {

// Nothing without a display.
std::optional<std::uint64_t> RootWindowId();
// The window manager's active window (_NET_ACTIVE_WINDOW); nothing when none is known.
std::optional<std::uint64_t> ActiveWindowId();
bool WindowExists(std::uint64_t window);

// A window id as decimal, or as hexadecimal with "0x" (the daemon's form); nothing for
// garbage, zero or values beyond 32 bits.
std::optional<std::uint64_t> ParseWindowId(std::string_view text);

}  // namespace x11
