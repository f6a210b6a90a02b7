#pragma once
// Translation of SDL events into the window messages the program handles.

#include <SDL.h>

#include "platform/win32/window.h"

namespace win32 {

// The SDL window data entry that leads back to the window handle.
inline constexpr char kSdlWindowDataName[] = "zumbo.hwnd";

// Posts the messages that one SDL event stands for (none for events the program ignores).
void TranslateSdlEvent(const SDL_Event& event);
// The window behind an SDL window, or null.
HWND WindowOfSdlWindow(SDL_Window* sdlWindow);
// Reads the size, position and state of the SDL window into the window.
void ReadSdlGeometry(HWND window);

}  // namespace win32
