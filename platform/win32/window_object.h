#pragma once
// What a window handle points to, shared by the window functions and their back ends.

#include <string>

#include "platform/win32/window.h"

struct SDL_Window;

struct HWND__ {
    std::string title;
    DWORD style = 0;
    win32::WNDPROC procedure = nullptr;
    // Outer rectangle in screen coordinates; the client area follows from it and the style.
    RECT windowRect;
    bool visible = false;
    bool minimized = false;
    bool maximized = false;
    // Client size last announced with WM_SIZE, so that a size is reported once.
    LONG reportedWidth = 0;
    LONG reportedHeight = 0;
    SDL_Window* sdlWindow = nullptr;
    // Made by another program: its size, place, frame and visibility are that program's.
    bool foreign = false;
};

namespace win32 {

// Frame thickness that a style adds around the client area.
struct FrameInsets {
    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};
FrameInsets FrameOf(DWORD style);

RECT ClientRectOnScreen(const HWND__& window);
void SetClientRectOnScreen(HWND__& window, const RECT& client);

}  // namespace win32
