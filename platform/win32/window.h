#pragma once
// Windows, the message queue, accelerators, the cursor and message boxes.
//
// Two back ends: SDL2 (a real window; SDL events become window messages) and headless
// (ZUMBO_HEADLESS=1: windows exist only as objects, messages come from Post/SendMessage).
// Message numbers, styles and flags keep their Win32 values.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "platform/win32/types.h"

namespace win32 {

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_POWERBROADCAST = 0x0218;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;

constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;

constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_MONITORPOWER = 0xF170;
constexpr LRESULT HTCLIENT = 1;
constexpr WPARAM PBT_APMQUERYSUSPEND = 0x0000;
constexpr WPARAM PBT_APMRESUMESUSPEND = 0x0007;

constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_VISIBLE = 0x10000000u;
constexpr DWORD WS_CAPTION = 0x00C00000u;
constexpr DWORD WS_SYSMENU = 0x00080000u;
constexpr DWORD WS_THICKFRAME = 0x00040000u;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000u;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000u;
constexpr DWORD WS_CHILD = 0x40000000u;

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOW = 5;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_SHOWWINDOW = 0x0040;

// Virtual-key codes carried in wParam of key messages.
constexpr WPARAM VK_BACK = 0x08;
constexpr WPARAM VK_TAB = 0x09;
constexpr WPARAM VK_RETURN = 0x0D;
constexpr WPARAM VK_SHIFT = 0x10;
constexpr WPARAM VK_CONTROL = 0x11;
constexpr WPARAM VK_MENU = 0x12;
constexpr WPARAM VK_ESCAPE = 0x1B;
constexpr WPARAM VK_SPACE = 0x20;
constexpr WPARAM VK_LEFT = 0x25;
constexpr WPARAM VK_UP = 0x26;
constexpr WPARAM VK_RIGHT = 0x27;
constexpr WPARAM VK_DOWN = 0x28;
constexpr WPARAM VK_F1 = 0x70;
constexpr WPARAM VK_F2 = 0x71;
constexpr WPARAM VK_F3 = 0x72;
constexpr WPARAM VK_F4 = 0x73;
constexpr WPARAM VK_F10 = 0x79;
constexpr WPARAM VK_LSHIFT = 0xA0;
constexpr WPARAM VK_RSHIFT = 0xA1;
constexpr WPARAM VK_LCONTROL = 0xA2;
constexpr WPARAM VK_RCONTROL = 0xA3;
constexpr WPARAM VK_LMENU = 0xA4;
constexpr WPARAM VK_RMENU = 0xA5;

// Key flags in wParam of mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr int WHEEL_DELTA = 120;

// Bits of lParam in key messages.
constexpr LPARAM KF_EXTENDED_BIT = 1 << 24;
constexpr LPARAM KF_ALTDOWN_BIT = 1 << 29;
constexpr LPARAM KF_REPEAT_BIT = 1 << 30;
constexpr LPARAM KF_UP_BIT = LPARAM{1} << 31;

constexpr WORD LOWORD(std::uintptr_t value) {
    return static_cast<WORD>(value & 0xFFFF);
}
constexpr WORD HIWORD(std::uintptr_t value) {
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}
constexpr LPARAM MAKELPARAM(WORD low, WORD high) {
    return static_cast<LPARAM>(static_cast<DWORD>(low) | (static_cast<DWORD>(high) << 16));
}

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

// True when ZUMBO_HEADLESS=1 or no display can be opened.
bool IsHeadless();

// Creates a top-level window whose outer size is width x height at the default position.
// WM_CREATE is sent before it returns. Null on failure.
HWND CreateWindow(std::string_view title, DWORD style, int width, int height, WNDPROC proc);
// Sends WM_DESTROY and frees the window.
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);
bool SetWindowText(HWND window, std::string_view title);
// The window's title; empty for a window that does not exist.
std::string GetWindowText(HWND window);
// The name of the display that windows open on (for example ":0"); empty when none is named.
std::string DisplayName();

// Takes the next message, pumping the back end's events first; false when none waits.
bool PeekMessage(MSG* message, bool remove);
// Waits for the next message; false when it is WM_QUIT.
bool GetMessage(MSG* message);
LRESULT DispatchMessage(const MSG* message);
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool GetClientRect(HWND window, RECT* rect);  // left and top are 0
bool GetWindowRect(HWND window, RECT* rect);  // screen coordinates
bool AdjustWindowRect(RECT* rect, DWORD style, bool hasMenu);
bool SetWindowPos(HWND window, int x, int y, int width, int height, UINT flags);
DWORD GetWindowStyle(HWND window);
void SetWindowStyle(HWND window, DWORD style);
bool ShowWindow(HWND window, int command);
bool IsIconic(HWND window);

// The key's state as of the last key message taken from the queue: the high bit (negative
// result) while it is down, the low bit toggled by every press.
std::int16_t GetKeyState(int virtualKey);

struct HCURSOR__;
using HCURSOR = HCURSOR__*;
constexpr int IDC_ARROW = 32512;

bool ClipCursor(const RECT* rect);  // null releases the clip
// The display counter: the cursor shows while it is not negative. Returns the new count.
int ShowCursor(bool show);
// Only IDC_ARROW exists.
HCURSOR LoadCursor(HINSTANCE instance, int cursorId);
// The shape over the program's windows; null hides the cursor until a shape is set again,
// which DefWindowProc does with the arrow on WM_SETCURSOR. Returns the previous shape.
HCURSOR SetCursor(HCURSOR cursor);
bool GetCursorPos(POINT* point);
bool ScreenToClient(HWND window, POINT* point);
bool ClientToScreen(HWND window, POINT* point);

constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;
struct ACCEL {
    BYTE fVirt = 0;
    WORD key = 0;
    WORD cmd = 0;
};
HACCEL CreateAcceleratorTable(std::span<const ACCEL> entries);
bool DestroyAcceleratorTable(HACCEL table);
// When the message is a key press matching an entry, sends WM_COMMAND with the entry's
// command to the window and returns true.
bool TranslateAccelerator(HWND window, HACCEL table, const MSG* message);

constexpr UINT MB_OK = 0x00;
constexpr UINT MB_OKCANCEL = 0x01;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
// Shows a message box (SDL), or writes caption and text to standard error when headless
// or without a display and returns the default button.
int MessageBox(HWND owner, std::string_view text, std::string_view caption, UINT type);

}  // namespace win32
