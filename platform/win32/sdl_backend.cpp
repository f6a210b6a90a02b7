// Windows on SDL2: every window is an SDL window with OpenGL support, and SDL events become
// posted window messages.

#include <SDL.h>

#include <algorithm>
#include <string>

#include "platform/system_allocations.h"
#include "platform/win32/sdl_events.h"
#include "platform/win32/sdl_window.h"
#include "platform/win32/window_backend.h"
#include "platform/win32/window_system.h"

namespace win32 {

namespace {

bool HasCaption(DWORD style) {
    return (style & WS_CAPTION) == WS_CAPTION;
}

Uint32 SdlFlagsOf(DWORD style) {
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (style & WS_THICKFRAME) {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    if (!HasCaption(style)) {
        flags |= SDL_WINDOW_BORDERLESS;
    }
    return flags;
}

// The pixel format is fixed when an X11 window is made, so the OpenGL wishes come first.
void RequestOpenGlPixelFormat() {
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}

// Confinement to a part of a window needs SDL 2.0.18; older versions grab the whole window.
void ConfineMouse(SDL_Window* window, const SDL_Rect* area) {
#if SDL_VERSION_ATLEAST(2, 0, 18)
    SDL_SetWindowMouseRect(window, area);
#else
    (void)window;
    (void)area;
#endif
}

bool IsFullScreen(SDL_Window* window) {
    return (SDL_GetWindowFlags(window) & (SDL_WINDOW_FULLSCREEN | SDL_WINDOW_FULLSCREEN_DESKTOP)) != 0;
}

SDL_MessageBoxFlags IconFlagOf(UINT type) {
    switch (type & 0xF0) {
        case MB_ICONERROR:
            return SDL_MESSAGEBOX_ERROR;
        case MB_ICONWARNING:
            return SDL_MESSAGEBOX_WARNING;
        default:
            return SDL_MESSAGEBOX_INFORMATION;
    }
}

constexpr SDL_MessageBoxButtonData kOkButtons[] = {
    {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK, "OK"}};
constexpr SDL_MessageBoxButtonData kOkCancelButtons[] = {
    {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDOK, "OK"},
    {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDCANCEL, "Cancel"}};
constexpr SDL_MessageBoxButtonData kYesNoButtons[] = {{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "Yes"},
                                                      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "No"}};

template <std::size_t N>
void SetButtons(SDL_MessageBoxData& data, const SDL_MessageBoxButtonData (&buttons)[N]) {
    data.buttons = buttons;
    data.numbuttons = static_cast<int>(N);
}

class SdlBackend final : public WindowBackend {
public:
    ~SdlBackend() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

    bool IsHeadless() const override { return false; }

    bool CreateNative(HWND window) override {
        const SystemAllocations openGlDriver;
        if (const auto foreign = WindowSystem::Get().ClaimForeignWindow()) {
            return AdoptForeignWindow(window, *foreign);
        }
        const RECT client = ClientRectOnScreen(*window);
        window->sdlWindow = SDL_CreateWindow(
            window->title.c_str(), client.left, client.top, std::max<LONG>(1, client.right - client.left),
            std::max<LONG>(1, client.bottom - client.top), SdlFlagsOf(window->style));
        if (!window->sdlWindow) {
            return false;
        }
        SDL_SetWindowData(window->sdlWindow, kSdlWindowDataName, window);
        ReadSdlGeometry(window);
        return true;
    }

    void DestroyNative(HWND window) override {
        if (window->sdlWindow) {
            SDL_SetWindowData(window->sdlWindow, kSdlWindowDataName, nullptr);
            SDL_DestroyWindow(window->sdlWindow);
            window->sdlWindow = nullptr;
        }
    }

    void ApplyTitle(HWND window) override {
        if (!window->foreign) {
            SDL_SetWindowTitle(window->sdlWindow, window->title.c_str());
        }
    }

    void ApplyStyle(HWND window) override {
        if (window->foreign) {
            return;
        }
        SDL_SetWindowBordered(window->sdlWindow, HasCaption(window->style) ? SDL_TRUE : SDL_FALSE);
        SDL_SetWindowResizable(window->sdlWindow, (window->style & WS_THICKFRAME) ? SDL_TRUE : SDL_FALSE);
    }

    void ApplyGeometry(HWND window) override {
        // A full-screen window takes the size of its display mode; a foreign one keeps the size
        // its owner gives it.
        if (window->foreign || IsFullScreen(window->sdlWindow)) {
            ReadSdlGeometry(window);
            return;
        }
        const RECT client = ClientRectOnScreen(*window);
        SDL_SetWindowPosition(window->sdlWindow, client.left, client.top);
        SDL_SetWindowSize(window->sdlWindow, std::max<LONG>(1, client.right - client.left),
                          std::max<LONG>(1, client.bottom - client.top));
    }

    void ApplyVisibility(HWND window) override {
        if (!window->visible) {
            if (!window->foreign) {
                SDL_HideWindow(window->sdlWindow);
            }
            return;
        }
        if (!window->foreign) {
            SDL_ShowWindow(window->sdlWindow);
        }
        SDL_StartTextInput();
    }

    void RefreshGeometry(HWND window) override { ReadSdlGeometry(window); }

    void PumpEvents() override {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            TranslateSdlEvent(event);
        }
    }

    void WaitForEvents(int timeoutMilliseconds) override {
        SDL_WaitEventTimeout(nullptr, timeoutMilliseconds);
    }

    void SetCursorVisible(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

    bool ClipCursor(const RECT* screenRect) override {
        for (HWND window : WindowSystem::Get().Windows()) {
            ClipCursorTo(window, screenRect);
        }
        return true;
    }

    bool GetCursorPos(POINT* point) override {
        int x = 0;
        int y = 0;
        SDL_GetGlobalMouseState(&x, &y);
        *point = POINT{x, y};
        return true;
    }

    bool ShowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type,
                        int* result) override {
        const std::string message(text);
        const std::string title(caption);
        SDL_MessageBoxData data{};
        data.flags = IconFlagOf(type);
        data.window = owner ? owner->sdlWindow : nullptr;
        data.title = title.c_str();
        data.message = message.c_str();
        switch (type & 0x0F) {
            case MB_OKCANCEL:
                SetButtons(data, kOkCancelButtons);
                break;
            case MB_YESNO:
                SetButtons(data, kYesNoButtons);
                break;
            default:
                SetButtons(data, kOkButtons);
                break;
        }
        int pressed = -1;
        if (SDL_ShowMessageBox(&data, &pressed) != 0) {
            return false;
        }
        // Closing the box without a button answers like its escape button.
        *result = pressed >= 0 ? pressed : data.buttons[data.numbuttons - 1].buttonid;
        return true;
    }

private:
    // The window stays its owner's: SDL draws into it and never destroys it.
    static bool AdoptForeignWindow(HWND window, std::uint64_t foreign) {
        SDL_SetHint(SDL_HINT_VIDEO_FOREIGN_WINDOW_OPENGL, "1");
        window->sdlWindow =
            SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(foreign)));
        if (!window->sdlWindow) {
            return false;
        }
        window->foreign = true;
        SDL_SetWindowData(window->sdlWindow, kSdlWindowDataName, window);
        ReadSdlGeometry(window);
        return true;
    }

    static void ClipCursorTo(HWND window, const RECT* screenRect) {
        if (!screenRect) {
            ConfineMouse(window->sdlWindow, nullptr);
            SDL_SetWindowGrab(window->sdlWindow, SDL_FALSE);
            return;
        }
        const RECT client = ClientRectOnScreen(*window);
        const SDL_Rect wanted{screenRect->left - client.left, screenRect->top - client.top,
                              screenRect->right - screenRect->left, screenRect->bottom - screenRect->top};
        const SDL_Rect whole{0, 0, client.right - client.left, client.bottom - client.top};
        SDL_Rect area;
        if (!SDL_IntersectRect(&wanted, &whole, &area)) {
            ClipCursorTo(window, nullptr);
            return;
        }
        ConfineMouse(window->sdlWindow, &area);
        SDL_SetWindowGrab(window->sdlWindow, SDL_TRUE);
    }
};

}  // namespace

std::unique_ptr<WindowBackend> MakeSdlBackend() {
    const SystemAllocations dbusLink;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        return nullptr;
    }
    RequestOpenGlPixelFormat();
    return std::make_unique<SdlBackend>();
}

bool RestartSdlVideo() {
    if (!WindowSystem::Get().Windows().empty()) {
        return false;
    }
    // Every holder lets go, so that the subsystem really stops; then each takes it again.
    constexpr int kMostHolders = 16;
    int holders = 0;
    while (SDL_WasInit(SDL_INIT_VIDEO) != 0 && holders < kMostHolders) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        ++holders;
    }
    bool restarted = true;
    for (int holder = 0; holder < holders; ++holder) {
        restarted = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && restarted;
    }
    // Starting the video resets the OpenGL wishes.
    RequestOpenGlPixelFormat();
    return restarted;
}

SDL_Window* SdlWindowOf(HWND window) {
    return IsWindow(window) ? window->sdlWindow : nullptr;
}

}  // namespace win32
