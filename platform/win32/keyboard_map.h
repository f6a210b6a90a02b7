#pragma once
// Key codes across the three numbering schemes in play: SDL scancodes and keycodes (what the
// system reports), DirectInput key codes (PC set 1 scan codes, 0x80 marking extended keys)
// and Win32 virtual-key codes.

#include <cstdint>

#include "platform/win32/types.h"

namespace win32 {

// 0 when the scancode has no DirectInput code.
BYTE DikFromScancode(int sdlScancode);
// SDL_SCANCODE_UNKNOWN (0) when the code is not a key.
int ScancodeFromDik(BYTE dik);
// The virtual key of a key event: letters and digits follow the layout (keycode), the rest
// the physical key. 0 when there is none.
WPARAM VirtualKeyFromKey(std::int32_t sdlKeycode, int sdlScancode);

}  // namespace win32
