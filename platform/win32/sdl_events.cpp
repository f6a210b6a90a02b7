#include "platform/win32/sdl_events.h"

#include "platform/win32/keyboard_map.h"
#include "platform/win32/window_system.h"

namespace win32 {

namespace {

constexpr WPARAM kUnmappableCharacter = '?';

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowSystem::Get().Queue().Post(MSG{window, message, wParam, lParam});
}

LPARAM PackPoint(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

// Events pushed by hand may carry no window id: they go to the focused window, or the first.
HWND TargetOf(Uint32 windowId) {
    if (HWND window = WindowOfSdlWindow(SDL_GetWindowFromID(windowId))) {
        return window;
    }
    if (HWND focused = WindowOfSdlWindow(SDL_GetKeyboardFocus())) {
        return focused;
    }
    const auto windows = WindowSystem::Get().Windows();
    return windows.empty() ? nullptr : windows.front();
}

void PostOnce(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!WindowSystem::Get().Queue().HasPending(window, message)) {
        Post(window, message, wParam, lParam);
    }
}

void PostSize(HWND window, WPARAM kind) {
    RECT client;
    GetClientRect(window, &client);
    window->reportedWidth = client.right;
    window->reportedHeight = client.bottom;
    Post(window, WM_SIZE, kind, kind == SIZE_MINIMIZED ? 0 : PackPoint(client.right, client.bottom));
}

void PostSizeIfChanged(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    if (client.right != window->reportedWidth || client.bottom != window->reportedHeight) {
        PostSize(window, window->maximized ? SIZE_MAXIMIZED : SIZE_RESTORED);
    }
}

void TranslateWindowEvent(const SDL_WindowEvent& event) {
    HWND window = WindowOfSdlWindow(SDL_GetWindowFromID(event.windowID));
    if (!window) {
        return;
    }
    switch (event.event) {
        case SDL_WINDOWEVENT_EXPOSED:
            PostOnce(window, WM_PAINT, 0, 0);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            PostSizeIfChanged(window);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            PostSize(window, SIZE_MINIMIZED);
            break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            PostSize(window, SIZE_MAXIMIZED);
            break;
        case SDL_WINDOWEVENT_RESTORED:
            PostSize(window, SIZE_RESTORED);
            break;
        case SDL_WINDOWEVENT_MOVED: {
            POINT origin{};
            ClientToScreen(window, &origin);
            Post(window, WM_MOVE, 0, PackPoint(origin.x, origin.y));
            break;
        }
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            Post(window, WM_ACTIVATE, WA_ACTIVE, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            Post(window, WM_ACTIVATE, WA_INACTIVE, 0);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            PostOnce(window, WM_CLOSE, 0, 0);
            break;
        default:
            break;
    }
}

bool IsAltKey(SDL_Scancode scancode) {
    return scancode == SDL_SCANCODE_LALT || scancode == SDL_SCANCODE_RALT;
}

LPARAM KeyParameter(const SDL_KeyboardEvent& event, bool alt) {
    const BYTE dik = DikFromScancode(event.keysym.scancode);
    LPARAM value = 1 | (static_cast<LPARAM>(dik & 0x7F) << 16);
    if (dik & 0x80) {
        value |= KF_EXTENDED_BIT;
    }
    if (alt) {
        value |= KF_ALTDOWN_BIT;
    }
    if (event.type == SDL_KEYUP) {
        value |= KF_REPEAT_BIT | KF_UP_BIT;
    } else if (event.repeat) {
        value |= KF_REPEAT_BIT;
    }
    return value;
}

// Win32 turns these keys into characters too; SDL's text input does not.
WPARAM ControlCharacterOf(WPARAM virtualKey) {
    switch (virtualKey) {
        case VK_BACK:
        case VK_TAB:
        case VK_RETURN:
        case VK_ESCAPE:
            return virtualKey;
        default:
            return 0;
    }
}

void TranslateKeyEvent(const SDL_KeyboardEvent& event) {
    HWND window = TargetOf(event.windowID);
    const WPARAM virtualKey = VirtualKeyFromKey(event.keysym.sym, event.keysym.scancode);
    if (!window || virtualKey == 0) {
        return;
    }
    const bool down = event.type == SDL_KEYDOWN;
    const bool alt = (event.keysym.mod & KMOD_ALT) != 0 || IsAltKey(event.keysym.scancode);
    const bool system = alt || virtualKey == VK_F10;
    const UINT message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    Post(window, message, virtualKey, KeyParameter(event, alt));
    const bool plainKey = (event.keysym.mod & (KMOD_ALT | KMOD_CTRL)) == 0;
    if (down && plainKey) {
        if (const WPARAM character = ControlCharacterOf(virtualKey)) {
            Post(window, WM_CHAR, character, KeyParameter(event, false));
        }
    }
}

// Decodes one UTF-8 sequence at text; returns its length, 0 at the end, and stores the code
// point (or the replacement when the sequence is broken).
std::size_t DecodeUtf8(const char* text, char32_t* codePoint) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead == 0) {
        return 0;
    }
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0) {
        *codePoint = 0xFFFD;
        return 1;
    }
    char32_t value = length == 1 ? lead : (lead & (0x7F >> length));
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            *codePoint = 0xFFFD;
            return i;
        }
        value = (value << 6) | (next & 0x3F);
    }
    *codePoint = value;
    return length;
}

void TranslateTextEvent(const SDL_TextInputEvent& event) {
    HWND window = TargetOf(event.windowID);
    if (!window) {
        return;
    }
    const char* cursor = event.text;
    char32_t codePoint = 0;
    while (std::size_t length = DecodeUtf8(cursor, &codePoint)) {
        cursor += length;
        Post(window, WM_CHAR, codePoint <= 0xFF ? codePoint : kUnmappableCharacter, 1);
    }
}

WPARAM MouseKeyFlags() {
    const Uint32 buttons = SDL_GetMouseState(nullptr, nullptr);
    const SDL_Keymod modifiers = SDL_GetModState();
    WPARAM flags = 0;
    flags |= (buttons & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0;
    flags |= (buttons & SDL_BUTTON_RMASK) ? MK_RBUTTON : 0;
    flags |= (buttons & SDL_BUTTON_MMASK) ? MK_MBUTTON : 0;
    flags |= (modifiers & KMOD_SHIFT) ? MK_SHIFT : 0;
    flags |= (modifiers & KMOD_CTRL) ? MK_CONTROL : 0;
    return flags;
}

UINT ButtonMessage(Uint8 button, bool down) {
    switch (button) {
        case SDL_BUTTON_LEFT:
            return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        case SDL_BUTTON_RIGHT:
            return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        case SDL_BUTTON_MIDDLE:
            return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        default:
            return WM_NULL;
    }
}

void TranslateMouseButton(const SDL_MouseButtonEvent& event) {
    HWND window = TargetOf(event.windowID);
    const UINT message = ButtonMessage(event.button, event.type == SDL_MOUSEBUTTONDOWN);
    if (window && message != WM_NULL) {
        Post(window, message, MouseKeyFlags(), PackPoint(event.x, event.y));
    }
}

void TranslateMouseWheel(const SDL_MouseWheelEvent& event) {
    HWND window = TargetOf(event.windowID);
    if (!window || event.y == 0) {
        return;
    }
    const int direction = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
    const auto delta = static_cast<WORD>(static_cast<std::int16_t>(event.y * direction * WHEEL_DELTA));
    POINT cursor{};
    GetCursorPos(&cursor);
    Post(window, WM_MOUSEWHEEL, MouseKeyFlags() | (static_cast<WPARAM>(delta) << 16),
         PackPoint(cursor.x, cursor.y));
}

void CloseEveryWindow() {
    for (HWND window : WindowSystem::Get().Windows()) {
        PostOnce(window, WM_CLOSE, 0, 0);
    }
}

}  // namespace

HWND WindowOfSdlWindow(SDL_Window* sdlWindow) {
    if (!sdlWindow) {
        return nullptr;
    }
    auto* window = static_cast<HWND>(SDL_GetWindowData(sdlWindow, kSdlWindowDataName));
    return WindowSystem::Get().Owns(window) ? window : nullptr;
}

void ReadSdlGeometry(HWND window) {
    if (!window->sdlWindow) {
        return;
    }
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    SDL_GetWindowPosition(window->sdlWindow, &x, &y);
    SDL_GetWindowSize(window->sdlWindow, &width, &height);
    SetClientRectOnScreen(*window, RECT{x, y, x + width, y + height});
    const Uint32 flags = SDL_GetWindowFlags(window->sdlWindow);
    window->minimized = (flags & SDL_WINDOW_MINIMIZED) != 0;
    window->maximized = (flags & SDL_WINDOW_MAXIMIZED) != 0;
}

void TranslateSdlEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_WINDOWEVENT:
            TranslateWindowEvent(event.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            TranslateKeyEvent(event.key);
            break;
        case SDL_TEXTINPUT:
            TranslateTextEvent(event.text);
            break;
        case SDL_MOUSEMOTION:
            if (HWND window = TargetOf(event.motion.windowID)) {
                // Win32 asks the window for its cursor shape whenever the pointer moves over it.
                Post(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
                Post(window, WM_MOUSEMOVE, MouseKeyFlags(), PackPoint(event.motion.x, event.motion.y));
            }
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            TranslateMouseButton(event.button);
            break;
        case SDL_MOUSEWHEEL:
            TranslateMouseWheel(event.wheel);
            break;
        case SDL_QUIT:
            CloseEveryWindow();
            break;
        default:
            break;
    }
}

}  // namespace win32
