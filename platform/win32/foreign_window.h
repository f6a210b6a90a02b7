#pragma once
// Drawing into a window that another program made: a Linux screen saver daemon gives its
// hack an X11 window id, and the program's main window becomes that window instead of one
// of its own.

#include <cstdint>
#include <optional>

namespace win32 {

// Takes "-window-id ID" (decimal or "0x" hexadecimal) out of argv. The next top-level window
// the program creates is then the X11 window ID. False, with the reason on standard error,
// when the id is missing or garbage or names no window on the display; argv is left as it
// was then.
bool TakeForeignWindowOption(int& argc, char** argv);

// The X11 window given with "-window-id", if any.
std::optional<std::uint64_t> ForeignMainWindow();

}  // namespace win32
