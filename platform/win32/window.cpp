#include "platform/win32/window.h"

#include "platform/win32/files.h"
#include "platform/win32/window_system.h"

namespace win32 {

namespace {
constexpr LONG kDefaultLeft = 32;
constexpr LONG kDefaultTop = 32;

WindowSystem& System() {
    return WindowSystem::Get();
}

HWND__* Live(HWND window) {
    return System().Owns(window) ? window : nullptr;
}

LONG ClientWidth(const HWND__& window) {
    const RECT client = ClientRectOnScreen(window);
    return client.right - client.left;
}

LONG ClientHeight(const HWND__& window) {
    const RECT client = ClientRectOnScreen(window);
    return client.bottom - client.top;
}

// Sends WM_SIZE when the client size differs from the one last announced.
void AnnounceSize(HWND window) {
    const LONG width = ClientWidth(*window);
    const LONG height = ClientHeight(*window);
    if (width == window->reportedWidth && height == window->reportedHeight) {
        return;
    }
    window->reportedWidth = width;
    window->reportedHeight = height;
    SendMessage(window, WM_SIZE, SIZE_RESTORED,
                MAKELPARAM(static_cast<WORD>(width), static_cast<WORD>(height)));
}

bool TakeMessage(MSG* message, bool remove) {
    if (!System().Queue().Take(message, remove)) {
        return false;
    }
    if (remove) {
        System().Keys().Apply(*message);
    }
    return true;
}
}  // namespace

bool IsHeadless() {
    return System().Backend().IsHeadless();
}

HWND CreateWindow(std::string_view title, DWORD style, int width, int height, WNDPROC proc) {
    if (!proc || width < 0 || height < 0) {
        return nullptr;
    }
    WindowBackend& backend = System().Backend();
    auto* window = new HWND__;
    window->title = title;
    window->style = style;
    window->procedure = proc;
    window->windowRect = RECT{kDefaultLeft, kDefaultTop, kDefaultLeft + width, kDefaultTop + height};
    window->reportedWidth = ClientWidth(*window);
    window->reportedHeight = ClientHeight(*window);
    if (!backend.CreateNative(window)) {
        delete window;
        return nullptr;
    }
    System().Add(window);
    if (SendMessage(window, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(window);
        return nullptr;
    }
    if (style & WS_VISIBLE) {
        ShowWindow(window, SW_SHOW);
    }
    return window;
}

bool DestroyWindow(HWND window) {
    if (!Live(window)) {
        return false;
    }
    SendMessage(window, WM_DESTROY, 0, 0);
    System().Backend().DestroyNative(window);
    System().Remove(window);
    System().Queue().Forget(window);
    delete window;
    return true;
}

bool IsWindow(HWND window) {
    return Live(window) != nullptr;
}

bool SetWindowText(HWND window, std::string_view title) {
    if (!Live(window)) {
        return false;
    }
    window->title = title;
    System().Backend().ApplyTitle(window);
    return true;
}

std::string GetWindowText(HWND window) {
    return Live(window) ? window->title : std::string();
}

std::string DisplayName() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
        if (std::string name = GetEnvironmentVariable(variable); !name.empty()) {
            return name;
        }
    }
    return {};
}

bool PeekMessage(MSG* message, bool remove) {
    if (!message) {
        return false;
    }
    System().Backend().PumpEvents();
    return TakeMessage(message, remove);
}

bool GetMessage(MSG* message) {
    if (!message) {
        return false;
    }
    constexpr int kWaitSliceMilliseconds = 10;
    while (!PeekMessage(message, true)) {
        System().Backend().WaitForEvents(kWaitSliceMilliseconds);
    }
    return message->message != WM_QUIT;
}

LRESULT DispatchMessage(const MSG* message) {
    if (!message || !Live(message->hwnd)) {
        return 0;
    }
    return message->hwnd->procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !Live(window)) {
        return false;
    }
    System().Queue().Post(MSG{window, message, wParam, lParam});
    return true;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!Live(window)) {
        return 0;
    }
    return window->procedure(window, message, wParam, lParam);
}

void PostQuitMessage(int exitCode) {
    System().Queue().PostQuit(exitCode);
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_SETCURSOR:
            SetCursor(WindowSystem::ArrowCursor());
            return 0;
        case WM_SYSKEYDOWN:
            if (wParam == VK_F4 && (lParam & KF_ALTDOWN_BIT)) {
                SendMessage(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return 0;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                SendMessage(window, WM_CLOSE, 0, 0);
            }
            return 0;
        default:
            return 0;
    }
}

bool GetClientRect(HWND window, RECT* rect) {
    if (!Live(window) || !rect) {
        return false;
    }
    System().Backend().RefreshGeometry(window);
    *rect = RECT{0, 0, ClientWidth(*window), ClientHeight(*window)};
    return true;
}

bool GetWindowRect(HWND window, RECT* rect) {
    if (!Live(window) || !rect) {
        return false;
    }
    System().Backend().RefreshGeometry(window);
    *rect = window->windowRect;
    return true;
}

bool SetWindowPos(HWND window, int x, int y, int width, int height, UINT flags) {
    if (!Live(window)) {
        return false;
    }
    RECT& outer = window->windowRect;
    if (!(flags & SWP_NOMOVE)) {
        outer = RECT{x, y, x + (outer.right - outer.left), y + (outer.bottom - outer.top)};
    }
    if (!(flags & SWP_NOSIZE) && width >= 0 && height >= 0) {
        outer.right = outer.left + width;
        outer.bottom = outer.top + height;
    }
    System().Backend().ApplyGeometry(window);
    if (flags & SWP_SHOWWINDOW) {
        ShowWindow(window, SW_SHOW);
    }
    AnnounceSize(window);
    return true;
}

DWORD GetWindowStyle(HWND window) {
    return Live(window) ? window->style : 0;
}

void SetWindowStyle(HWND window, DWORD style) {
    if (!Live(window)) {
        return;
    }
    // The client area keeps its size: the frame grows or shrinks around it.
    const RECT client = ClientRectOnScreen(*window);
    window->style = style;
    SetClientRectOnScreen(*window, client);
    System().Backend().ApplyStyle(window);
}

bool ShowWindow(HWND window, int command) {
    if (!Live(window)) {
        return false;
    }
    const bool wasVisible = window->visible;
    window->visible = command != SW_HIDE;
    window->style = window->visible ? (window->style | WS_VISIBLE) : (window->style & ~WS_VISIBLE);
    System().Backend().ApplyVisibility(window);
    return wasVisible;
}

bool IsIconic(HWND window) {
    if (!Live(window)) {
        return false;
    }
    System().Backend().RefreshGeometry(window);
    return window->minimized;
}

std::int16_t GetKeyState(int virtualKey) {
    return System().Keys().State(virtualKey);
}

bool ClipCursor(const RECT* rect) {
    return System().Backend().ClipCursor(rect);
}

HCURSOR LoadCursor(HINSTANCE, int cursorId) {
    return cursorId == IDC_ARROW ? WindowSystem::ArrowCursor() : nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    return System().ChangeCursorShape(cursor);
}

int ShowCursor(bool show) {
    return System().ChangeCursorCount(show);
}

bool GetCursorPos(POINT* point) {
    return point && System().Backend().GetCursorPos(point);
}

bool ScreenToClient(HWND window, POINT* point) {
    if (!Live(window) || !point) {
        return false;
    }
    System().Backend().RefreshGeometry(window);
    const RECT client = ClientRectOnScreen(*window);
    point->x -= client.left;
    point->y -= client.top;
    return true;
}

bool ClientToScreen(HWND window, POINT* point) {
    if (!Live(window) || !point) {
        return false;
    }
    System().Backend().RefreshGeometry(window);
    const RECT client = ClientRectOnScreen(*window);
    point->x += client.left;
    point->y += client.top;
    return true;
}

}  // namespace win32
