#pragma once
// For the other platform stand-ins only: the SDL window behind a window handle.

#include "platform/win32/types.h"

struct SDL_Window;

namespace win32 {

// Null for headless windows and unknown handles.
SDL_Window* SdlWindowOf(HWND window);

}  // namespace win32
