#pragma once
// For the other platform stand-ins only: the SDL window behind a window handle.

#include "platform/win32/types.h"

struct SDL_Window;

namespace win32 {

// Null for headless windows and unknown handles.
SDL_Window* SdlWindowOf(HWND window);

// Stops and restarts SDL's video, so that it reads the displays again; only while no window
// exists, since restarting would take the windows with it. False when it did not restart.
bool RestartSdlVideo();

}  // namespace win32
